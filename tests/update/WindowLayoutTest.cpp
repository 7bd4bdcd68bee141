#include "UpdateFixture.h"
#include "WindowInvariants.h"

#include "platform/gui/Fonts.h"
#include "update/Update.h"
#include "update/WebDlProgress.h"
#include "update/WfiWindows.h"

#include <QScreen>
#include <QTest>
#include <QToolButton>

namespace {

QFont UiFont()
{
    return Fonts::Make(QStringLiteral("Arial"), -11);
}

struct WindowRow {
    const char *Name;
    std::function<std::unique_ptr<QWidget>(TWebFileInfo *)> Make;
    // Evaluated once the application runs: some windows take their size from the screen.
    std::function<QSize()> DesignedClient;
    // Whether the window shows what it came up to show.
    std::function<bool(QWidget &)> Settled = [](QWidget &) { return true; };

    void PrintTo(const WindowRow &row, std::ostream *os) { *os << row.Name; }
};

class UpdateWindowLayout : public UpdateTest, public ::testing::WithParamInterface<WindowRow> {};

QSize FourFifthsOfTheScreen()
{
    const QSize screen = QGuiApplication::primaryScreen()->geometry().size();
    return WfiWindowFrame::ClientSize(screen.width() * 4 / 5, screen.height() * 4 / 5);
}

} // namespace

// The Update Center is checked once it has read a newer version: its longest texts show then.
TEST_P(UpdateWindowLayout, KeepsTheInvariants)
{
    Publish(QStringLiteral("1.1.01"), QStringLiteral("/files/tlm11.exe"), QStringLiteral("/tlm11.txt"));
    const std::unique_ptr<QWidget> window = GetParam().Make(FWfi.get());
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    ASSERT_TRUE(WaitUntil([&] { return GetParam().Settled(*window); }));
    const QStringList faults = WindowInvariants::LayoutFaults(*window, GetParam().DesignedClient());
    EXPECT_TRUE(faults.isEmpty()) << faults.join(QLatin1Char('\n')).toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Windows, UpdateWindowLayout,
    ::testing::Values(WindowRow{"UpdateCenter", [](TWebFileInfo *wfi) { return std::make_unique<TfrmUpdate>(wfi); },
                                [] { return QSize(428, 231); },
                                [](QWidget &w) { return static_cast<TfrmUpdate &>(w).btnRetrieveUpdate->isEnabled(); }},
                      WindowRow{"DownloadProgress",
                                [](TWebFileInfo *) {
                                    auto window = std::make_unique<TWebDlProgress>(nullptr, UiFont());
                                    window->UpdateProgress(3000000000LL, 3000000000LL);
                                    window->FlushProgress();
                                    return window;
                                },
                                [] { return QSize(272, 123); }},
                      WindowRow{"PleaseWait",
                                [](TWebFileInfo *) {
                                    return std::make_unique<TWfiWaitWindow>(
                                        QCoreApplication::translate("TWebFileInfo", "Checking For Update..."),
                                        UiFont());
                                },
                                [] { return WfiWindowFrame::ClientSize(240, 100); }},
                      WindowRow{"ReadMe",
                                [](TWebFileInfo *) {
                                    return std::make_unique<TWfiReadMeWindow>(QStringLiteral("Line one\nLine two"),
                                                                              UiFont());
                                },
                                FourFifthsOfTheScreen}),
    [](const ::testing::TestParamInfo<WindowRow> &info) { return std::string(info.param.Name); });
