// Prints the milliseconds the NPV profile window takes to redraw after a recomputation
// (the profile computed afresh and the window painted at once) and to write its SVG and
// PNG files, as medians over random sets of ten yearly cash flows.
#include "app/Profile.h"
#include "app/profile/ProfilePicture.h"
#include "platform/gui/Application.h"

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <vector>

namespace {

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    Application app(argc, argv);
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 200;
    std::mt19937_64 random(30);
    std::uniform_int_distribution<long> cents(-1000000, 1000000);
    auto flows = [&] {
        Npv::CashFlows set{};
        for (auto &flow : set)
            flow = cents(random) / 100.0L;
        set[0] = -std::fabs(set[0]);
        return set;
    };
    const std::array<double, Npv::RateCount> rates{4, 5, 6, 7, 8};

    TfrmProfile window;
    window.show();
    QApplication::processEvents();
    std::vector<double> redraw, svg, png;
    QTemporaryDir dir;
    QElapsedTimer timer;
    for (int i = 0; i < runs; ++i) {
        timer.start();
        window.SetValues(flows(), rates);
        window.Chart->repaint();
        redraw.push_back(timer.nsecsElapsed() / 1e6);
    }
    for (int i = 0; i < std::max(1, runs / 4); ++i) {
        const TNpvProfile profile(flows(), rates);
        timer.start();
        ProfilePicture::Save(profile, dir.filePath(QStringLiteral("profile.svg")));
        svg.push_back(timer.nsecsElapsed() / 1e6);
        timer.start();
        ProfilePicture::Save(profile, dir.filePath(QStringLiteral("profile.png")));
        png.push_back(timer.nsecsElapsed() / 1e6);
    }
    std::printf("platform %s, chart %dx%d\n", qPrintable(QGuiApplication::platformName()), window.Chart->width(),
                window.Chart->height());
    std::printf("redraw after a recomputation: median %.2f ms (best %.2f, worst %.2f) over %d runs\n", Median(redraw),
                *std::min_element(redraw.begin(), redraw.end()), *std::max_element(redraw.begin(), redraw.end()), runs);
    std::printf("write the SVG (800x520): median %.2f ms; the PNG: median %.2f ms\n", Median(svg), Median(png));
    return 0;
}
