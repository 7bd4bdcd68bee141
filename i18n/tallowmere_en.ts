<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="en">
<context>
    <name>TCustomSocksWSocket</name>
    <message numerus="yes">
        <source>No answer from the SOCKS server within %n seconds</source>
        <translation>
            <numerusform>No answer from the SOCKS server within %n second</numerusform>
            <numerusform>No answer from the SOCKS server within %n seconds</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>TDiscountSchedule</name>
    <message numerus="yes">
        <source>Several rates give a net present value of zero: the cash flows change sign %n times.</source>
        <translation>
            <numerusform>Several rates give a net present value of zero: the cash flows change sign once.</numerusform>
            <numerusform>Several rates give a net present value of zero: the cash flows change sign %n times.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>No rate gives zero, although the cash flows change sign %n times.</source>
        <translation>
            <numerusform>No rate gives zero, although the cash flows change sign once.</numerusform>
            <numerusform>No rate gives zero, although the cash flows change sign %n times.</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>THttpCli</name>
    <message numerus="yes">
        <source>No complete reply within %n seconds</source>
        <translation>
            <numerusform>No complete reply within %n second</numerusform>
            <numerusform>No complete reply within %n seconds</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Timeout: no answer from the server for %n seconds</source>
        <translation>
            <numerusform>Timeout: no answer from the server for %n second</numerusform>
            <numerusform>Timeout: no answer from the server for %n seconds</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Reply larger than %1 bytes</source>
        <translation>
            <numerusform>Reply larger than %1 byte</numerusform>
            <numerusform>Reply larger than %1 bytes</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Connection closed after %1 of %2 bytes</source>
        <translation>
            <numerusform>Connection closed after %1 of %2 byte</numerusform>
            <numerusform>Connection closed after %1 of %2 bytes</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>TNpvProfile</name>
    <message numerus="yes">
        <source>Internal rates: %1.</source>
        <translation>
            <numerusform>Internal rate: %1.</numerusform>
            <numerusform>Internal rates: %1.</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>TWebDlProgress</name>
    <message numerus="yes">
        <source>%1 of %2 bytes received.</source>
        <translation>
            <numerusform>%1 of %2 byte received.</numerusform>
            <numerusform>%1 of %2 bytes received.</numerusform>
        </translation>
    </message>
</context>
</TS>
