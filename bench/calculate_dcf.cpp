// Prints microseconds per CalculateDCF run: five results computed and shown in the
// result fields, on the offscreen platform unless QT_QPA_PLATFORM says otherwise.
#include "app/Main.h"
#include "app/core/Npv.h"
#include "controls/NumCtrl.h"
#include "platform/core/FormatSettings.h"
#include "platform/gui/Application.h"

#include <QGuiApplication>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

int main(int argc, char **argv)
{
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    Application app(argc, argv);
    SetFormatSettings(UnitedStatesFormatSettings());
    QTemporaryDir dir;
    TfrmMain w(dir.path() + "/");
    w.show();
    QApplication::processEvents();
    for (int year = 1; year <= Npv::YearCount; ++year)
        w.edtDCFYear(year)->SetValue(1000.0L * year - 3500.25L);

    using Clock = std::chrono::steady_clock;
    using Micro = std::chrono::duration<double, std::micro>;
    constexpr int Rounds = 15;
    constexpr int PerRound = 1000;
    std::vector<double> computeOnly, withPaint;
    for (int round = 0; round < Rounds; ++round) {
        Micro compute{}, painted{};
        for (int i = 0; i < PerRound; ++i) {
            // A different first flow each time, so every result field really changes.
            w.edtDCFYear(1)->SetValue(1000.0L + (i & 1));
            QCoreApplication::sendPostedEvents(&w, QEvent::UpdateRequest);

            // The run itself: read, compute, format and set the five result texts.
            auto start = Clock::now();
            w.CalculateDCF(nullptr);
            compute += Clock::now() - start;

            // What the user sees: the same run followed by painting its five results.
            w.edtDCFYear(1)->SetValue(1000.0L + ((i + 1) & 1));
            QCoreApplication::sendPostedEvents(&w, QEvent::UpdateRequest);
            start = Clock::now();
            w.CalculateDCF(nullptr);
            QCoreApplication::sendPostedEvents(&w, QEvent::UpdateRequest);
            painted += Clock::now() - start;
        }
        computeOnly.push_back(compute.count() / PerRound);
        withPaint.push_back(painted.count() / PerRound);
    }
    std::sort(computeOnly.begin(), computeOnly.end());
    std::sort(withPaint.begin(), withPaint.end());
    std::printf("CalculateDCF, five results computed and their texts set: median %.2f us (best %.2f, worst %.2f)\n",
                computeOnly[Rounds / 2], computeOnly.front(), computeOnly.back());
    std::printf("CalculateDCF plus painting the five result fields:      median %.2f us (best %.2f, worst %.2f)\n",
                withPaint[Rounds / 2], withPaint.front(), withPaint.back());
    std::printf("(%d rounds of %d runs, platform %s)\n", Rounds, PerRound, qPrintable(QGuiApplication::platformName()));
    return 0;
}
