<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="en">
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
    <name>TNpvProfile</name>
    <message numerus="yes">
        <source>Internal rates: %1.</source>
        <translation>
            <numerusform>Internal rate: %1.</numerusform>
            <numerusform>Internal rates: %1.</numerusform>
        </translation>
    </message>
</context>
</TS>
