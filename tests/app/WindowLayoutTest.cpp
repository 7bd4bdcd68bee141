#include "ControlCaptions.h"

#include "app/AboutBox.h"
#include "app/Disclaim.h"
#include "app/Main.h"
#include "app/SplashScreen.h"
#include "platform/core/FormatSettings.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

using WindowInvariants::WindowRow;

class AppWindowLayout : public ::testing::TestWithParam<WindowRow> {};

} // namespace

TEST_P(AppWindowLayout, KeepsTheInvariants)
{
    const std::unique_ptr<QWidget> window = GetParam().Make();
    const QStringList faults = WindowInvariants::ShownLayoutFaults(*window, GetParam().DesignedClient, ControlCaption);
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
