#include "WindowInvariants.h"

#include "app/AboutBox.h"
#include "app/Disclaim.h"
#include "app/Main.h"
#include "app/SplashScreen.h"
#include "controls/ExplorerButton.h"
#include "platform/core/FormatSettings.h"

#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

namespace {

// The explorer button draws its caption beside its glyph, inside a two-pixel margin.
std::optional<WindowInvariants::Caption> ExplorerCaption(const QWidget &w)
{
    const auto *button = qobject_cast<const TExplorerButton *>(&w);
    if (!button || (button->Options() & boIconOnly))
        return std::nullopt;
    const bool beside = button->Layout() == blBitmapLeft || button->Layout() == blBitmapRight;
    const bool mark = (button->Options() & boPopupMark) && button->DropDownMenu();
    const int glyph = button->Bitmap().isNull() || !beside ? 0 : button->Bitmap().width() + 2;
    return WindowInvariants::Caption{WindowInvariants::Shown(button->Caption()), 4 + glyph + (mark ? 10 : 0)};
}

struct WindowRow {
    const char *Name;
    std::function<std::unique_ptr<QWidget>()> Make;
    QSize DesignedClient;
};

class AppWindowLayout : public ::testing::TestWithParam<WindowRow> {};

} // namespace

TEST_P(AppWindowLayout, KeepsTheInvariants)
{
    const std::unique_ptr<QWidget> window = GetParam().Make();
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    const QStringList faults = WindowInvariants::LayoutFaults(*window, GetParam().DesignedClient, ExplorerCaption);
    EXPECT_TRUE(faults.isEmpty()) << faults.join(QLatin1Char('\n')).toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Windows, AppWindowLayout,
    ::testing::Values(WindowRow{"SplashScreen", [] { return std::make_unique<TSplashScreen>(); }, QSize(326, 184)},
                      WindowRow{"AboutBox", [] { return std::make_unique<TAboutBox>(); }, QSize(416, 269)},
                      WindowRow{"Disclaimer", [] { return std::make_unique<TfrmDisclaim>(); }, QSize(224, 165)},
                      // The client area below the menu bar.
                      WindowRow{"MainWindow",
                                [] {
                                    SetFormatSettings(UnitedStatesFormatSettings());
                                    static QTemporaryDir settings;
                                    return std::make_unique<TfrmMain>(settings.path() + QLatin1Char('/'));
                                },
                                QSize(402, 335)}),
    [](const ::testing::TestParamInfo<WindowRow> &info) { return std::string(info.param.Name); });
