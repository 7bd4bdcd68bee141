// Prints microseconds per CalculateDCF run: five results computed and shown in the
// result fields, on the offscreen platform unless QT_QPA_PLATFORM says otherwise.
#include "app/Main.h"
#include "controls/NumCtrl.h"
#include "platform/core/FormatSettings.h"
#include "platform/gui/Application.h"

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
    for (int year = 1; year <= TfrmMain::YearCount; ++year)
        w.edtDCFYear(year)->SetValue(1000.0L * year - 3500.25L);

    using Clock = std::chrono::steady_clock;
    constexpr int Rounds = 15;
    constexpr int PerRound = 2000;
    std::vector<double> perCall;
    for (int round = 0; round < Rounds; ++round) {
        const auto start = Clock::now();
        for (int i = 0; i < PerRound; ++i) {
            // A different first flow each time, so every result field really changes.
            w.edtDCFYear(1)->SetValue(1000.0L + (i & 1));
            w.CalculateDCF(nullptr);
        }
        const std::chrono::duration<double, std::micro> spent = Clock::now() - start;
        perCall.push_back(spent.count() / PerRound);
    }
    std::sort(perCall.begin(), perCall.end());
    std::printf("CalculateDCF (five results, display update): median %.2f us, best %.2f us, worst %.2f us "
                "per run (%d rounds of %d)\n",
                perCall[Rounds / 2], perCall.front(), perCall.back(), Rounds, PerRound);
    return 0;
}
