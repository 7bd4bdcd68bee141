#include "i18n/Translations.h"
#include "net/HttpProt.h"
#include "net/HttpUtil.h"
#include "platform/core/Exceptions.h"
#include "tools/fetch/FetchOptions.h"

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
            line = QCoreApplication::translate("tallowmere-fetch", "[%1%2] %3% %4 of %5")
                       .arg(QString(filled, QLatin1Char('#')), QString(width - filled, QLatin1Char(' ')))
                       .arg(int(share * 100), 3)
                       .arg(Size(received), Size(total));
        } else {
            line = QCoreApplication::translate("tallowmere-fetch", "%1 received").arg(Size(received));
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
            Err() << "tallowmere-fetch: "
                  << QCoreApplication::translate("tallowmere-fetch", "cannot write %1: %2")
                         .arg(fileName, file->errorString())
                  << "\n";
            return nullptr;
        }
        return file.get();
    }
    if (!standardOutput.open(STDOUT_FILENO, QIODevice::WriteOnly | QIODevice::Unbuffered,
                             QFileDevice::DontCloseHandle)) {
        Err() << "tallowmere-fetch: "
              << QCoreApplication::translate("tallowmere-fetch", "cannot write to standard output") << "\n";
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
            Err() << "tallowmere-fetch: "
                  << QCoreApplication::translate("tallowmere-fetch",
                                                 "warning: redirected from https to http; the rest is not protected")
                  << "\n";
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
            saveError = QCoreApplication::translate("tallowmere-fetch", "cannot save %1: %2")
                            .arg(file->fileName(), file->errorString());
        } else if (!success) {
            file->cancelWriting();
        }
    } else if (!standardOutput.flush()) {
        success = false;
        saveError = QCoreApplication::translate("tallowmere-fetch", "cannot write to standard output: %1")
                        .arg(standardOutput.errorString());
    }
    if (OutputClosed && !file) {
        success = false;
        Err() << "tallowmere-fetch: " << QCoreApplication::translate("tallowmere-fetch", "output closed") << "\n";
    } else if (!saveError.isEmpty()) {
        Err() << "tallowmere-fetch: " << saveError << "\n";
    } else if (!success) {
        Err() << "tallowmere-fetch: ";
        if (!client.ReasonPhrase().isEmpty())
            Err() << Printable(client.ReasonPhrase());
        else
            Err() << QCoreApplication::translate("tallowmere-fetch", "request failed");
        // The status and the client's error code, for whoever diagnoses the request.
        Err() << ' '
              << (error != 0 ? QCoreApplication::translate("tallowmere-fetch", "(status %1, error %2)")
                                   .arg(client.StatusCode())
                                   .arg(error)
                             : QCoreApplication::translate("tallowmere-fetch", "(status %1)").arg(client.StatusCode()))
              << "\n";
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
    Translations::Install();

    const TFetchOptions options = TFetchOptions::Parse(QCoreApplication::arguments());
    switch (options.Kind) {
    case TFetchOptions::Bad: Err() << "tallowmere-fetch: " << options.Error << "\n"; return ExitUsage;
    case TFetchOptions::Help: QTextStream(stdout) << options.HelpText; return ExitOk;
    case TFetchOptions::Version: QTextStream(stdout) << TFetchOptions::VersionText(); return ExitOk;
    case TFetchOptions::Fetch: break;
    }

    std::unique_ptr<QSaveFile> file;
    QFile standardOutput;
    QIODevice *sink = OpenSink(options.HasOutput, options.OutputFile, file, standardOutput);
    if (!sink)
        return ExitFailed;

    const std::unique_ptr<QSocketNotifier> stopNotifier = WatchStop(file.get());

    const bool showStatus = !options.Quiet;
    TProgressBar progress(showStatus && ::isatty(STDERR_FILENO));

    THttpCli client;
    options.ApplyTo(client);
    client.SetReceiveStream(sink);
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
