// Start-up cost of the calculator next to a minimal Qt window (a QMainWindow with twenty
// QLineEdits), both measured in the same run: milliseconds from process start to the
// window's first paint, and peak resident memory at that moment.
//
//   bench_startup [runs]          measures both, several runs each, prints medians
//   bench_startup --child calc|minimal   (internal) shows one window, reports, exits
#include "app/Main.h"
#include "platform/gui/Application.h"

#include <QElapsedTimer>
#include <QGridLayout>
#include <QLineEdit>
#include <QMainWindow>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <sys/resource.h>
#include <vector>

namespace {

// Reports the first paint of a window and ends the process.
class FirstPaintWatcher : public QObject {
public:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && !FDone) {
            FDone = true;
            QMetaObject::invokeMethod(
                this,
                [] {
                    rusage usage{};
                    getrusage(RUSAGE_SELF, &usage);
                    std::printf("painted %ld\n", usage.ru_maxrss);
                    std::fflush(stdout);
                    QCoreApplication::exit(0);
                },
                Qt::QueuedConnection);
        }
        return QObject::eventFilter(watched, event);
    }
    bool FDone = false;
};

int runChild(int argc, char **argv, const char *which)
{
    Application app(argc, argv);
    FirstPaintWatcher watcher;
    QTemporaryDir dir;
    std::unique_ptr<QMainWindow> window;
    if (std::strcmp(which, "calc") == 0) {
        window = std::make_unique<TfrmMain>(dir.path() + "/");
    } else {
        window = std::make_unique<QMainWindow>();
        auto *central = new QWidget;
        auto *grid = new QGridLayout(central);
        for (int i = 0; i < 20; ++i)
            grid->addWidget(new QLineEdit, i % 10, i / 10);
        window->setCentralWidget(central);
    }
    window->installEventFilter(&watcher);
    window->show();
    return app.exec();
}

struct Sample {
    double Ms;
    long RssKb;
};

Sample measure(const QString &self, const char *which)
{
    QProcess child;
    QElapsedTimer timer;
    timer.start();
    child.start(self, {QStringLiteral("--child"), QString::fromLatin1(which)});
    double ms = -1;
    long rss = -1;
    while (child.waitForReadyRead(30000)) {
        const QByteArray line = child.readLine().trimmed();
        if (line.startsWith("painted ")) {
            ms = timer.nsecsElapsed() / 1e6;
            rss = line.mid(8).toLong();
            break;
        }
    }
    child.waitForFinished(30000);
    return {ms, rss};
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

} // namespace

int main(int argc, char **argv)
{
    if (argc >= 3 && std::strcmp(argv[1], "--child") == 0)
        return runChild(argc, argv, argv[2]);

    const int runs = argc >= 2 ? std::max(1, std::atoi(argv[1])) : 9;
    QCoreApplication app(argc, argv);
    const QString self = QCoreApplication::applicationFilePath();
    const char *platform = std::getenv("QT_QPA_PLATFORM");
    std::printf("platform: %s, %d runs each, medians\n", platform ? platform : "(default)", runs);
    double ratios[2] = {};
    double figures[2][2] = {};
    const char *names[2] = {"minimal", "calc"};
    for (int which = 0; which < 2; ++which) {
        std::vector<double> ms, kb;
        measure(self, names[which]); // warm the caches
        for (int i = 0; i < runs; ++i) {
            const Sample s = measure(self, names[which]);
            ms.push_back(s.Ms);
            kb.push_back(double(s.RssKb));
        }
        figures[which][0] = median(ms);
        figures[which][1] = median(kb);
        std::printf("%-22s %8.1f ms to first paint, %8.0f KiB peak resident\n",
                    which ? "tallowmere main window" : "minimal Qt window", figures[which][0], figures[which][1]);
    }
    ratios[0] = figures[1][0] / figures[0][0];
    ratios[1] = figures[1][1] / figures[0][1];
    std::printf("ratio calculator/minimal: time %.2f, memory %.2f\n", ratios[0], ratios[1]);
    return 0;
}
