#pragma once

#include <QString>
#include <QStringList>

class THttpCli;

// The command line of tallowmere-fetch: what it asks for, read and checked before
// anything is opened or sent. A header line only needs its colon here; whether the
// client will send it is the client's decision (a refused one fails the request).
class TFetchOptions {
public:
    enum TKind { Fetch, Help, Version, Bad };
    static constexpr int MaxTimeoutSeconds = 86400;

    // The arguments as main() has them, the program's name first.
    static TFetchOptions Parse(const QStringList &arguments);
    static QString VersionText();

    // Puts the request's settings on the client: URL, time-out, trust, proxy, SOCKS,
    // credentials and header lines. The output and the events stay the caller's.
    void ApplyTo(THttpCli &client) const;

    TKind Kind = Bad;
    // Why the command line is wrong (Bad), or the help text (Help).
    QString Error;
    QString HelpText;

    QString Url;
    // Without -o the body goes to standard output.
    bool HasOutput = false;
    QString OutputFile;
    QString ProxyHost;
    QString ProxyPort;
    QString ProxyUser;
    QString ProxyPassword;
    QString SocksHost;
    QString SocksPort;
    // "4", "4A" or "5".
    QString SocksLevel = QStringLiteral("5");
    QString SocksUser;
    QString SocksPassword;
    // A SOCKS password was given: SOCKS 5 offers user/password authentication.
    bool SocksAuthenticate = false;
    // Given on the command line; otherwise the URL's or none.
    bool HasUser = false;
    QString User;
    bool HasPassword = false;
    QString Password;
    int TimeoutSeconds = 60;
    QString CAFile;
    bool Quiet = false;
    // "Name: value", in the order given.
    QStringList Headers;
};
