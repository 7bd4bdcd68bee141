#include "tools/fetch/FetchOptions.h"

#include "net/HttpProt.h"

#include <QCoreApplication>
#include <QCommandLineParser>

namespace {

// HOST:PORT with a port from 1 to 65535 in decimal digits.
bool SplitHostPort(const QString &text, QString *host, QString *port)
{
    const qsizetype colon = text.lastIndexOf(QLatin1Char(':'));
    if (colon <= 0 || colon == text.size() - 1)
        return false;
    const QString digits = text.mid(colon + 1);
    for (const QChar c : digits)
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    bool ok = false;
    const int number = digits.toInt(&ok);
    if (!ok || number < 1 || number > 65535)
        return false;
    *host = text.left(colon);
    *port = digits;
    return true;
}

TFetchOptions Refused(TFetchOptions options, const QString &error)
{
    options.Kind = TFetchOptions::Bad;
    options.Error = error;
    return options;
}

} // namespace

QString TFetchOptions::VersionText()
{
    return QStringLiteral("tallowmere-fetch " TALLOWMERE_VERSION "\n");
}

TFetchOptions TFetchOptions::Parse(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QCoreApplication::translate(
        "TFetchOptions",
        "Fetches one URL over HTTP/1.0 (http or https) with Tallowmere's own client and writes the body to FILE "
        "or to standard output. The status line, and a progress bar when standard error is a "
        "terminal, go to standard error. Exits 0 when the reply was complete, its status below 400 and "
        "the body saved whole; 1 for any other outcome (with the reason); 2 for a usage error; 130 and 143 "
        "when interrupted or terminated (FILE is left as it was)."));
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    parser.addPositionalArgument(
        QCoreApplication::translate("TFetchOptions", "URL"),
        QCoreApplication::translate("TFetchOptions", "The address to fetch (http://host[:port]/path)."));
    const QCommandLineOption output(
        {QStringLiteral("o"), QStringLiteral("output")},
        QCoreApplication::translate("TFetchOptions", "Write the body to FILE (kept only when the request succeeds)."),
        QCoreApplication::translate("TFetchOptions", "FILE"));
    const QCommandLineOption header(
        {QStringLiteral("H"), QStringLiteral("header")},
        QCoreApplication::translate(
            "TFetchOptions", "Send this header line (repeatable). It replaces the client's own line of the same name "
                             "(User-Agent, Accept, ...) and goes only to the URL's server, not to another one a "
                             "redirect names. Host, Content-Length, Transfer-Encoding and lines with control "
                             "characters are refused."),
        QCoreApplication::translate("TFetchOptions", "NAME: VALUE"));
    const QCommandLineOption proxy(
        QStringLiteral("proxy"),
        QCoreApplication::translate("TFetchOptions", "Send the request through this HTTP proxy."),
        QCoreApplication::translate("TFetchOptions", "HOST:PORT"));
    const QCommandLineOption proxyUser(QStringLiteral("proxy-user"),
                                       QCoreApplication::translate("TFetchOptions", "User name for the HTTP proxy."),
                                       QCoreApplication::translate("TFetchOptions", "NAME"));
    const QCommandLineOption proxyPassword(QStringLiteral("proxy-password"),
                                           QCoreApplication::translate("TFetchOptions", "Password for the HTTP proxy."),
                                           QCoreApplication::translate("TFetchOptions", "PW"));
    const QCommandLineOption socks(QStringLiteral("socks"),
                                   QCoreApplication::translate("TFetchOptions", "Connect through this SOCKS server."),
                                   QCoreApplication::translate("TFetchOptions", "HOST:PORT"));
    const QCommandLineOption socksLevel(
        QStringLiteral("socks-level"),
        QCoreApplication::translate("TFetchOptions", "SOCKS version: 4, 4A or 5 (default 5)."),
        QCoreApplication::translate("TFetchOptions", "LEVEL"), QStringLiteral("5"));
    const QCommandLineOption socksUser(
        QStringLiteral("socks-user"),
        QCoreApplication::translate(
            "TFetchOptions",
            "User name for the SOCKS server (SOCKS 5 asks for a password, SOCKS 4 sends it as user id)."),
        QCoreApplication::translate("TFetchOptions", "NAME"));
    const QCommandLineOption socksPassword(
        QStringLiteral("socks-password"),
        QCoreApplication::translate("TFetchOptions", "Password for the SOCKS 5 server."),
        QCoreApplication::translate("TFetchOptions", "PW"));
    const QCommandLineOption user(QStringLiteral("user"),
                                  QCoreApplication::translate("TFetchOptions", "User name for the web server (Basic)."),
                                  QCoreApplication::translate("TFetchOptions", "NAME"));
    const QCommandLineOption password(QStringLiteral("password"),
                                      QCoreApplication::translate("TFetchOptions", "Password for the web server."),
                                      QCoreApplication::translate("TFetchOptions", "PW"));
    const QCommandLineOption timeout(
        QStringLiteral("timeout"),
        QCoreApplication::translate("TFetchOptions",
                                    "Give up after SECONDS without news from the network (default 60, 0 = never, "
                                    "at most 86400)."),
        QCoreApplication::translate("TFetchOptions", "SECONDS"), QStringLiteral("60"));
    const QCommandLineOption caFile(
        QStringLiteral("cacert"),
        QCoreApplication::translate("TFetchOptions", "Trust the certificates in this PEM file for https instead of the "
                                                     "system's store."),
        QCoreApplication::translate("TFetchOptions", "FILE"));
    const QCommandLineOption quiet(
        {QStringLiteral("q"), QStringLiteral("quiet")},
        QCoreApplication::translate("TFetchOptions", "Print neither the status line nor the progress bar."));
    parser.addOptions({output, header, proxy, proxyUser, proxyPassword, socks, socksLevel, socksUser, socksPassword,
                       user, password, timeout, caFile, quiet});

    TFetchOptions options;
    if (!parser.parse(arguments))
        return Refused(options, parser.errorText());
    if (parser.isSet(help) || parser.isSet(QStringLiteral("help-all"))) {
        options.Kind = Help;
        options.HelpText = parser.helpText();
        return options;
    }
    if (parser.isSet(version)) {
        options.Kind = Version;
        return options;
    }
    if (parser.positionalArguments().size() != 1)
        return Refused(options, QCoreApplication::translate("TFetchOptions", "exactly one URL is needed (see --help)"));
    options.Url = parser.positionalArguments().first();

    if (parser.isSet(socks) && !SplitHostPort(parser.value(socks), &options.SocksHost, &options.SocksPort))
        return Refused(options, QCoreApplication::translate("TFetchOptions",
                                                            "--socks wants HOST:PORT with a port from 1 to 65535"));
    if (parser.isSet(proxy) && !SplitHostPort(parser.value(proxy), &options.ProxyHost, &options.ProxyPort))
        return Refused(options, QCoreApplication::translate("TFetchOptions",
                                                            "--proxy wants HOST:PORT with a port from 1 to 65535"));
    const QString level = parser.value(socksLevel).toUpper();
    if (level != QLatin1String("4") && level != QLatin1String("4A") && level != QLatin1String("5"))
        return Refused(options, QCoreApplication::translate("TFetchOptions", "--socks-level must be 4, 4A or 5"));
    options.SocksLevel = level;
    bool timeoutOk = false;
    options.TimeoutSeconds = parser.value(timeout).toInt(&timeoutOk);
    if (!timeoutOk || options.TimeoutSeconds < 0 || options.TimeoutSeconds > MaxTimeoutSeconds)
        return Refused(options,
                       QCoreApplication::translate("TFetchOptions", "--timeout wants a number of seconds from 0 to %1")
                           .arg(MaxTimeoutSeconds));
    for (const QString &line : parser.values(header)) {
        if (!line.contains(QLatin1Char(':')))
            return Refused(
                options,
                QCoreApplication::translate("TFetchOptions", "-H wants \"Name: value\", not \"%1\"").arg(line));
        options.Headers << line;
    }

    options.HasOutput = parser.isSet(output);
    options.OutputFile = parser.value(output);
    options.ProxyUser = parser.value(proxyUser);
    options.ProxyPassword = parser.value(proxyPassword);
    options.SocksUser = parser.value(socksUser);
    options.SocksPassword = parser.value(socksPassword);
    options.SocksAuthenticate = parser.isSet(socksPassword);
    options.HasUser = parser.isSet(user);
    options.User = parser.value(user);
    options.HasPassword = parser.isSet(password);
    options.Password = parser.value(password);
    options.CAFile = parser.value(caFile);
    options.Quiet = parser.isSet(quiet);
    options.Kind = Fetch;
    return options;
}

void TFetchOptions::ApplyTo(THttpCli &client) const
{
    client.SetURL(Url);
    client.SetTimeout(TimeoutSeconds);
    client.SetCAFile(CAFile);
    // A redirect from https to http is followed here, as other fetching tools do, but
    // never silently: the tool warns that what follows travels unprotected.
    client.SetAllowDowngrade(true);
    if (!ProxyHost.isEmpty()) {
        client.SetProxy(ProxyHost);
        client.SetProxyPort(ProxyPort);
    }
    client.SetProxyUsername(ProxyUser);
    client.SetProxyPassword(ProxyPassword);
    if (HasUser)
        client.SetUsername(User);
    if (HasPassword)
        client.SetPassword(Password);
    if (!SocksHost.isEmpty()) {
        client.SetSocksServer(SocksHost);
        client.SetSocksPort(SocksPort);
        client.SetSocksLevel(SocksLevel);
        client.SetSocksUsercode(SocksUser);
        client.SetSocksPassword(SocksPassword);
        client.SetSocksAuthentication(SocksAuthenticate ? socksAuthenticateUsercode : socksNoAuthentication);
    }
    client.SetExtraHeaders(Headers);
}
