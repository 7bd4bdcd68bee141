#include "net/HttpProt.h"
#include "net/HttpUtil.h"
#include "platform/core/Exceptions.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QSaveFile>
#include <QSocketNotifier>
#include <QTextStream>

#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <memory>
#include <optional>
#include <unistd.h>

namespace {

enum TExitCode { ExitOk = 0, ExitFailed = 1, ExitUsage = 2 };

QTextStream &Err()
{
    static QTextStream stream(stderr);
    return stream;
}

// A one-line bar on the terminal, redrawn at most ten times a second.
class TProgressBar {
public:
    explicit TProgressBar(bool enabled) : FEnabled(enabled) { FClock.start(); }

    void Update(qint64 received, qint64 total, bool force = false)
    {
        if (!FEnabled || (!force && FClock.elapsed() - FLastDraw < 100))
            return;
        FLastDraw = FClock.elapsed();
        QString line;
        if (total > 0) {
            const int width = 30;
            const double share = qBound(0.0, double(received) / total, 1.0);
            const int filled = int(share * width);
            line = QStringLiteral("[%1%2] %3% %4 of %5")
                       .arg(QString(filled, QLatin1Char('#')), QString(width - filled, QLatin1Char(' ')))
                       .arg(int(share * 100), 3)
                       .arg(Size(received), Size(total));
        } else {
            line = QStringLiteral("%1 received").arg(Size(received));
        }
        Err() << '\r' << line << "\x1b[K";
        Err().flush();
        FDrawn = true;
    }

    void Finish()
    {
        if (FDrawn) {
            Err() << '\r' << "\x1b[K";
            Err().flush();
        }
    }

private:
    static QString Size(qint64 bytes)
    {
        if (bytes >= 1024 * 1024)
            return QStringLiteral("%1 MB").arg(double(bytes) / (1024 * 1024), 0, 'f', 1);
        if (bytes >= 1024)
            return QStringLiteral("%1 KB").arg(double(bytes) / 1024, 0, 'f', 1);
        return QStringLiteral("%1 B").arg(bytes);
    }

    bool FEnabled;
    bool FDrawn = false;
    QElapsedTimer FClock;
    qint64 FLastDraw = -1000;
};

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

constexpr int MaxTimeoutSeconds = 86400;

// Text from the network as it may reach a terminal: a server's control bytes would
// otherwise move the cursor, clear or recolour the screen, or overwrite a warning.
// C0 controls except tab, DEL and the C1 controls show as \xNN.
QString Printable(const QString &text)
{
    QString shown;
    shown.reserve(text.size());
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if ((u < 0x20 && u != u'\t') || (u >= 0x7F && u <= 0x9F))
            shown += QStringLiteral("\\x") + QString::number(uint(u), 16).toUpper().rightJustified(2, QLatin1Char('0'));
        else
            shown += c;
    }
    return shown;
}

// A closed output pipe ends the request through the failed write (sockets send
// without the signal); the handler only notes why, so the tool can say so.
volatile std::sig_atomic_t OutputClosed = 0;

void NoteOutputClosed(int)
{
    OutputClosed = 1;
}

// SIGINT and SIGTERM reach the event loop through this pipe, so the partial output
// file is removed by the same code that removes it after a failure.
int StopPipe[2] = {-1, -1};
// Without an output file there is nothing to remove: the handler ends the tool itself,
// also when it waits in a write to a full pipe.
volatile std::sig_atomic_t StopInHandler = 1;

void Stop(int signal)
{
    if (StopInHandler)
        ::_exit(128 + signal);
    const char number = char(signal);
    if (::write(StopPipe[1], &number, 1) < 0)
        ::_exit(128 + signal);
}

void InstallHandler(int signal, void (*handler)(int))
{
    struct sigaction action = {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    ::sigaction(signal, &action, nullptr);
}

// The tool's options, as --help lists them.
struct TFetchOptions {
    const QCommandLineOption output{{QStringLiteral("o"), QStringLiteral("output")},
                                    QStringLiteral("Write the body to FILE (kept only when the request succeeds)."),
                                    QStringLiteral("FILE")};
    const QCommandLineOption proxy{QStringLiteral("proxy"), QStringLiteral("Send the request through this HTTP proxy."),
                                   QStringLiteral("HOST:PORT")};
    const QCommandLineOption proxyUser{QStringLiteral("proxy-user"), QStringLiteral("User name for the HTTP proxy."),
                                       QStringLiteral("NAME")};
    const QCommandLineOption proxyPassword{QStringLiteral("proxy-password"),
                                           QStringLiteral("Password for the HTTP proxy."), QStringLiteral("PW")};
    const QCommandLineOption socks{QStringLiteral("socks"), QStringLiteral("Connect through this SOCKS server."),
                                   QStringLiteral("HOST:PORT")};
    const QCommandLineOption socksLevel{QStringLiteral("socks-level"),
                                        QStringLiteral("SOCKS version: 4, 4A or 5 (default 5)."),
                                        QStringLiteral("LEVEL"), QStringLiteral("5")};
    const QCommandLineOption socksUser{
        QStringLiteral("socks-user"),
        QStringLiteral("User name for the SOCKS server (SOCKS 5 asks for a password, SOCKS 4 sends it as user id)."),
        QStringLiteral("NAME")};
    const QCommandLineOption socksPassword{QStringLiteral("socks-password"),
                                           QStringLiteral("Password for the SOCKS 5 server."), QStringLiteral("PW")};
    const QCommandLineOption user{QStringLiteral("user"), QStringLiteral("User name for the web server (Basic)."),
                                  QStringLiteral("NAME")};
    const QCommandLineOption password{QStringLiteral("password"), QStringLiteral("Password for the web server."),
                                      QStringLiteral("PW")};
    const QCommandLineOption timeout{
        QStringLiteral("timeout"),
        QStringLiteral("Give up after SECONDS without news from the network (default 60, 0 = never, "
                       "at most 86400)."),
        QStringLiteral("SECONDS"), QStringLiteral("60")};
    const QCommandLineOption caFile{QStringLiteral("cacert"),
                                    QStringLiteral("Trust the certificates in this PEM file for https instead of the "
                                                   "system's store."),
                                    QStringLiteral("FILE")};
    const QCommandLineOption quiet{{QStringLiteral("q"), QStringLiteral("quiet")},
                                   QStringLiteral("Print neither the status line nor the progress bar.")};

    void AddTo(QCommandLineParser &parser) const
    {
        parser.addOptions({output, proxy, proxyUser, proxyPassword, socks, socksLevel, socksUser, socksPassword, user,
                           password, timeout, caFile, quiet});
    }
};

// What the arguments say beyond the options themselves.
struct TFetchSettings {
    QString SocksHost;
    QString SocksPort;
    QString ProxyHost;
    QString ProxyPort;
    QString Level;
    int TimeoutSeconds = 0;
};

// Reads and checks the command line; an exit code when the tool ends here (help,
// version, usage errors), nothing when the fetch goes ahead.
std::optional<int> ReadArguments(QCommandLineParser &parser, const TFetchOptions &o, TFetchSettings &settings)
{
    const QCommandLineOption &socks = o.socks, &proxy = o.proxy, &socksLevel = o.socksLevel, &timeout = o.timeout;
    if (!parser.parse(QCoreApplication::arguments())) {
        Err() << "tallowmere-fetch: " << parser.errorText() << "\n";
        return ExitUsage;
    }
    if (parser.isSet(QStringLiteral("help"))) {
        QTextStream(stdout) << parser.helpText();
        return ExitOk;
    }
    if (parser.isSet(QStringLiteral("version"))) {
        QTextStream(stdout) << "tallowmere-fetch " << QCoreApplication::applicationVersion() << "\n";
        return ExitOk;
    }
    if (parser.positionalArguments().size() != 1) {
        Err() << "tallowmere-fetch: exactly one URL is needed (see --help)\n";
        return ExitUsage;
    }

    if (parser.isSet(socks) && !SplitHostPort(parser.value(socks), &settings.SocksHost, &settings.SocksPort)) {
        Err() << "tallowmere-fetch: --socks wants HOST:PORT with a port from 1 to 65535\n";
        return ExitUsage;
    }
    if (parser.isSet(proxy) && !SplitHostPort(parser.value(proxy), &settings.ProxyHost, &settings.ProxyPort)) {
        Err() << "tallowmere-fetch: --proxy wants HOST:PORT with a port from 1 to 65535\n";
        return ExitUsage;
    }
    const QString level = parser.value(socksLevel);
    settings.Level = level.toUpper();
    if (level != QLatin1String("4") && level.toUpper() != QLatin1String("4A") && level != QLatin1String("5")) {
        Err() << "tallowmere-fetch: --socks-level must be 4, 4A or 5\n";
        return ExitUsage;
    }
    bool timeoutOk = false;
    const int timeoutSeconds = parser.value(timeout).toInt(&timeoutOk);
    settings.TimeoutSeconds = timeoutSeconds;
    if (!timeoutOk || timeoutSeconds < 0 || timeoutSeconds > MaxTimeoutSeconds) {
        Err() << "tallowmere-fetch: --timeout wants a number of seconds from 0 to " << MaxTimeoutSeconds << "\n";
        return ExitUsage;
    }
    return std::nullopt;
}

// Addresses, proxies, SOCKS and credentials as the arguments give them.
void ConfigureClient(THttpCli &client, const QCommandLineParser &parser, const TFetchOptions &o,
                     const TFetchSettings &settings, QIODevice *sink)
{
    client.SetURL(parser.positionalArguments().first());
    client.SetTimeout(settings.TimeoutSeconds);
    client.SetReceiveStream(sink);
    client.SetCAFile(parser.value(o.caFile));
    // A redirect from https to http is followed here, as other fetching tools do, but
    // never silently: what follows it travels unprotected.
    client.SetAllowDowngrade(true);
    if (parser.isSet(o.proxy)) {
        client.SetProxy(settings.ProxyHost);
        client.SetProxyPort(settings.ProxyPort);
    }
    client.SetProxyUsername(parser.value(o.proxyUser));
    client.SetProxyPassword(parser.value(o.proxyPassword));
    if (parser.isSet(o.user))
        client.SetUsername(parser.value(o.user));
    if (parser.isSet(o.password))
        client.SetPassword(parser.value(o.password));

    if (!settings.SocksHost.isEmpty()) {
        client.SetSocksServer(settings.SocksHost);
        client.SetSocksPort(settings.SocksPort);
        client.SetSocksLevel(settings.Level);
        client.SetSocksUsercode(parser.value(o.socksUser));
        client.SetSocksPassword(parser.value(o.socksPassword));
        client.SetSocksAuthentication(parser.isSet(o.socksPassword) ? socksAuthenticateUsercode
                                                                    : socksNoAuthentication);
    }
}

// The body's destination: FILE through a QSaveFile that is kept only when the request
// succeeds, else standard output; null after saying why it cannot be written.
QIODevice *OpenSink(bool toFile, const QString &fileName, std::unique_ptr<QSaveFile> &file, QFile &standardOutput)
{
    if (toFile) {
        // From here a stop goes through the event loop, which removes the partial file.
        StopInHandler = 0;
        // Unbuffered, so that a write the system refuses (a full disk, a file size
        // limit) fails the request at once with its reason.
        file = std::make_unique<QSaveFile>(fileName);
        if (!file->open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
            Err() << "tallowmere-fetch: cannot write " << fileName << ": " << file->errorString() << "\n";
            return nullptr;
        }
        return file.get();
    }
    if (!standardOutput.open(STDOUT_FILENO, QIODevice::WriteOnly | QIODevice::Unbuffered,
                             QFileDevice::DontCloseHandle)) {
        Err() << "tallowmere-fetch: cannot write to standard output\n";
        return nullptr;
    }
    return &standardOutput;
}

// While FILE is written, SIGINT and SIGTERM remove it and end the tool with 128 + the
// signal's number; null when there is nothing to watch.
std::unique_ptr<QSocketNotifier> WatchStop(QSaveFile *file)
{
    if (!file || StopPipe[0] < 0)
        return nullptr;
    auto stopNotifier = std::make_unique<QSocketNotifier>(StopPipe[0], QSocketNotifier::Read);
    QSocketNotifier *notifier = stopNotifier.get();
    QObject::connect(notifier, &QSocketNotifier::activated, [notifier, file] {
        char number = 0;
        if (::read(StopPipe[0], &number, 1) != 1)
            return;
        notifier->setEnabled(false);
        // A commit after the cancel removes what was written so far.
        file->cancelWriting();
        file->commit();
        QCoreApplication::exit(128 + number);
    });
    return stopNotifier;
}

// Prints each reply's status line as it comes (one per redirect hop) unless quiet, the
// progress bar, and a warning when a redirect leaves https.
void ReportProgress(THttpCli &client, TProgressBar &progress, bool showStatus)
{
    const auto replyStart = std::make_shared<qsizetype>(0);
    client.OnHeaderBegin = [&client, replyStart](QObject *) { *replyStart = client.ReceivedHeader().size(); };
    const auto wasSecure = std::make_shared<bool>(IsHttpsUrl(client.URL()));
    client.OnLocationChange = [&client, &progress, wasSecure](QObject *) {
        if (*wasSecure && !client.Secure()) {
            // On a line of its own, whatever was drawn before it.
            progress.Finish();
            Err() << "tallowmere-fetch: warning: redirected from https to http; the rest is not protected\n";
        }
        *wasSecure = client.Secure();
    };
    client.OnHeaderData = [&client, replyStart, showStatus](QObject *) {
        if (showStatus && client.ReceivedHeader().size() == *replyStart + 1) {
            Err() << Printable(client.ReceivedHeader().last()) << "\n";
            Err().flush();
        }
    };
    client.OnDocData = [&client, &progress](QObject *, const char *, int) {
        progress.Update(client.ReceivedCount(), client.ContentLength());
    };
}

// Saves or flushes the body and says how the request ended; true for success.
bool FinishRequest(THttpCli &client, quint16 error, QSaveFile *file, QFile &standardOutput)
{
    bool success = error == 0 && client.StatusCode() < 400;
    QString saveError;
    if (file) {
        if (success && !file->commit()) {
            success = false;
            saveError = QStringLiteral("cannot save %1: %2").arg(file->fileName(), file->errorString());
        } else if (!success) {
            file->cancelWriting();
        }
    } else if (!standardOutput.flush()) {
        success = false;
        saveError = QStringLiteral("cannot write to standard output: ") + standardOutput.errorString();
    }
    if (OutputClosed && !file) {
        success = false;
        Err() << "tallowmere-fetch: output closed\n";
    } else if (!saveError.isEmpty()) {
        Err() << "tallowmere-fetch: " << saveError << "\n";
    } else if (!success) {
        Err() << "tallowmere-fetch: ";
        if (!client.ReasonPhrase().isEmpty())
            Err() << Printable(client.ReasonPhrase());
        else
            Err() << "request failed";
        Err() << " (status " << client.StatusCode();
        if (error != 0)
            Err() << ", error " << error;
        Err() << ")\n";
    }
    Err().flush();
    return success;
}

} // namespace

int main(int argc, char **argv)
{
    // Past a file size limit the system would end the program with a signal; ignored,
    // the write fails with EFBIG and the request reports it.
    std::signal(SIGXFSZ, SIG_IGN);
    InstallHandler(SIGPIPE, NoteOutputClosed);
    if (::pipe2(StopPipe, O_CLOEXEC | O_NONBLOCK) == 0) {
        InstallHandler(SIGINT, Stop);
        InstallHandler(SIGTERM, Stop);
    }
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("tallowmere-fetch"));
    QCoreApplication::setApplicationVersion(QStringLiteral(TALLOWMERE_VERSION));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Fetches one URL over HTTP/1.0 (http or https) with Tallowmere's own client and writes the body to FILE "
        "or to standard output. The status line, and a progress bar when standard error is a "
        "terminal, go to standard error. Exits 0 when the reply was complete, its status below 400 and "
        "the body saved whole; 1 for any other outcome (with the reason); 2 for a usage error; 130 and 143 "
        "when interrupted or terminated (FILE is left as it was)."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("URL"),
                                 QStringLiteral("The address to fetch (http://host[:port]/path)."));
    const TFetchOptions options;
    options.AddTo(parser);
    TFetchSettings settings;
    if (const std::optional<int> exitCode = ReadArguments(parser, options, settings))
        return *exitCode;

    std::unique_ptr<QSaveFile> file;
    QFile standardOutput;
    QIODevice *sink = OpenSink(parser.isSet(options.output), parser.value(options.output), file, standardOutput);
    if (!sink)
        return ExitFailed;

    const std::unique_ptr<QSocketNotifier> stopNotifier = WatchStop(file.get());

    const bool showStatus = !parser.isSet(options.quiet);
    TProgressBar progress(showStatus && ::isatty(STDERR_FILENO));

    THttpCli client;
    ConfigureClient(client, parser, options, settings, sink);
    ReportProgress(client, progress, showStatus);
    client.OnRequestDone = [&](QObject *, THttpRequest, quint16 error) {
        progress.Update(client.ReceivedCount(), client.ContentLength(), true);
        progress.Finish();
        const bool success = FinishRequest(client, error, file.get(), standardOutput);
        QCoreApplication::exit(success ? ExitOk : ExitFailed);
    };

    try {
        client.StartGet();
    } catch (const Exception &e) {
        Err() << "tallowmere-fetch: " << e.Message() << "\n";
        return ExitFailed;
    }
    return app.exec();
}
