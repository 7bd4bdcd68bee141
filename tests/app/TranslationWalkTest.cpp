#include "TranslationWalk.h"

#include "app/AboutBox.h"
#include "app/Disclaim.h"
#include "app/Main.h"
#include "app/Profile.h"
#include "app/Qrchart.h"
#include "app/SplashScreen.h"
#include "i18n/Translations.h"
#include "platform/core/Exceptions.h"
#include "platform/core/HelpFile.h"
#include "platform/gui/HelpViewer.h"
#include "platform/gui/Printers.h"
#include "report/Preview.h"
#include "report/QRPrinter.h"

#include <QAction>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

namespace {

using TranslationWalk::Foreign;
using Check = std::function<void(QWidget &)>;

// One window of the program: how to bring it on screen and what on it comes from outside.
struct WalkRow {
    const char *Name;
    std::function<void(const Check &check)> WhileShown;
    Foreign Outside = {};
};

void PrintTo(const WalkRow &row, std::ostream *os)
{
    *os << row.Name;
}

class TranslationWalkTest : public ::testing::TestWithParam<WalkRow> {};

const QString HelpPath = QStringLiteral(TALLOWMERE_SOURCE_DIR "/help/tlm.hlp");

QString ProgramDir()
{
    static QTemporaryDir folder;
    return folder.path() + QLatin1Char('/');
}

// A window that shows on its own, checked once it is on screen.
template <typename Window>
void Shown(const Check &check, const std::function<void(Window &)> &prepare = {})
{
    Window window;
    if (prepare)
        prepare(window);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    check(window);
}

void MainWindow(const Check &check)
{
    TfrmMain window(ProgramDir());
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    check(window);
}

void Profile(const Check &check)
{
    TfrmProfile window;
    Npv::CashFlows flows{};
    flows.fill(1000);
    flows[0] = -5000;
    window.SetValues(flows, {4, 5, 6, 7, 8});
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    check(window);
}

// The calculator's preview as the Print command shows it.
void CalculatorPreview(const Check &check)
{
    TfrmMain window(ProgramDir());
    TQRPaymentChart chart;
    TfrmPreview preview;
    window.SetReportWindows(&chart, &preview);
    window.CalculateDCF(nullptr);
    QRPrinter()->SetShowProgress(false);
    EXPECT_TRUE(TranslationWalk::WhileModal([&] { window.actPrint->trigger(); }, check));
    QRPrinter()->SetShowProgress(true);
    QRPrinter()->ClearPages();
}

void PrintSetup(const Check &check)
{
    EXPECT_TRUE(TranslationWalk::WhileModal([] { Printers::ExecSetupDialog(nullptr); }, check));
}

void ProfileSaveDialog(const Check &check)
{
    TfrmProfile window;
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    EXPECT_TRUE(TranslationWalk::WhileModal([&] { window.btnSave->click(); }, check));
}

void MathErrorBox(const Check &check)
{
    TfrmMain window(ProgramDir());
    EXPECT_TRUE(TranslationWalk::WhileModal([&] { window.AppOnException(nullptr, EZeroDivide(QString())); }, check));
}

void HelpWindow(const Check &check)
{
    ASSERT_TRUE(HelpViewer::WinHelp(nullptr, HelpPath, HELP_CONTENTS, 0));
    for (QWidget *w : QApplication::topLevelWidgets()) {
        if (qobject_cast<HelpViewer *>(w) && w->isVisible()) {
            ASSERT_TRUE(QTest::qWaitForWindowExposed(w));
            check(*w);
        }
    }
    HelpViewer::WinHelp(nullptr, HelpPath, HELP_QUIT, 0);
}

// The help file's topics are translated with the help file, not with the program.
Foreign HelpTopics()
{
    HelpFile help;
    help.Load(HelpPath);
    Foreign outside;
    for (const HelpFile::Topic &topic : help.Topics())
        outside.Texts << topic.Title;
    return outside;
}

} // namespace

TEST_P(TranslationWalkTest, ShowsOnlyTranslatedTexts)
{
    TranslationWalk::TPseudoTranslator pseudo;
    ASSERT_TRUE(pseudo.Loaded());
    bool checked = false;
    GetParam().WhileShown([&](QWidget &window) {
        checked = true;
        const QStringList faults = TranslationWalk::Untranslated(window, GetParam().Outside);
        EXPECT_TRUE(faults.isEmpty()) << faults.join(QLatin1Char('\n')).toStdString();
    });
    EXPECT_TRUE(checked) << "the window never showed";
}

INSTANTIATE_TEST_SUITE_P(
    Windows, TranslationWalkTest,
    ::testing::Values(WalkRow{"SplashScreen", [](const Check &check) { Shown<TSplashScreen>(check); }},
                      WalkRow{"AboutBox", [](const Check &check) { Shown<TAboutBox>(check); }},
                      WalkRow{"Disclaimer", [](const Check &check) { Shown<TfrmDisclaim>(check); }},
                      WalkRow{"MainWindow", MainWindow}, WalkRow{"NpvProfile", Profile},
                      WalkRow{"CalculatorPreview", CalculatorPreview}, WalkRow{"PrintSetup", PrintSetup},
                      WalkRow{"ProfileSaveDialog", ProfileSaveDialog}, WalkRow{"MathErrorBox", MathErrorBox},
                      WalkRow{"HelpViewer", HelpWindow, HelpTopics()}),
    [](const ::testing::TestParamInfo<WalkRow> &info) { return std::string(info.param.Name); });

// The walk itself: a text the code shows as written is found, a translated one is not.
TEST(TranslationWalk, FindsATextThatMissedTheTranslator)
{
    TranslationWalk::TPseudoTranslator pseudo;
    QWidget window;
    window.setWindowTitle(QCoreApplication::translate("TfrmMain", "Net Present Value"));
    auto *label = new QLabel(QStringLiteral("Net present value 1234.50, tlm.ini, Tallowmere"), &window);
    label->setToolTip(QCoreApplication::translate("TfrmMain", "Discount rate %1").arg(12));
    const QStringList faults = TranslationWalk::Untranslated(window);
    ASSERT_EQ(faults.size(), 2) << faults.join(QLatin1Char('\n')).toStdString();
    EXPECT_TRUE(faults[0].endsWith(QStringLiteral(": Net present value"))) << faults[0].toStdString();
}
