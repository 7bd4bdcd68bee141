#include "WindowLayout.h"
#include "ControlCaptions.h"

#include "report/QRPrinter.h"

#include <QScreen>
#include <QWindow>

QSize WorkAreaClient(const QWidget &window)
{
    return window.screen()->availableGeometry().marginsRemoved(window.windowHandle()->frameMargins()).size();
}

void ReportWindowLayout::SetUp()
{
    ASSERT_TRUE(QRPrinter()->PrinterOK());
}

void ReportWindowLayout::TearDown()
{
    QRPrinter()->ClearPages();
}

std::string ReportWindowName(const ::testing::TestParamInfo<ReportWindowRow> &info)
{
    return info.param.Name;
}

TEST_P(ReportWindowLayout, KeepsTheInvariants)
{
    bool checked = false;
    GetParam().WhileShown([&](QWidget &window) {
        checked = true;
        const QStringList faults = WindowInvariants::LayoutFaults(window, WorkAreaClient(window), ControlCaption);
        EXPECT_TRUE(faults.isEmpty()) << faults.join(QLatin1Char('\n')).toStdString();
    });
    EXPECT_TRUE(checked) << "the window never showed";
}
