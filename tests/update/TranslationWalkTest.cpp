#include "TranslationWalk.h"
#include "UpdateFixture.h"

#include "platform/gui/Fonts.h"
#include "update/Update.h"
#include "update/UpdateSaveDialog.h"
#include "update/WebDlProgress.h"
#include "update/WfiWindows.h"

#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <QToolButton>

namespace {

using Check = std::function<void(QWidget &)>;
using TranslationWalk::Foreign;

// One window of the update service: how to bring it on screen against the fixture's
// server, and what on it came from that server.
struct WalkRow {
    const char *Name;
    std::function<void(TWebFileInfo &wfi, const Check &check, Foreign &outside)> WhileShown;
};

void PrintTo(const WalkRow &row, std::ostream *os)
{
    *os << row.Name;
}

class UpdateTranslationWalk : public UpdateTest, public ::testing::WithParamInterface<WalkRow> {};

QFont UiFont()
{
    return Fonts::Make(QStringLiteral("Arial"), -11);
}

// A window that shows on its own, checked once it is on screen.
void Shown(QWidget &window, const Check &check)
{
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    check(window);
}

// Runs work, which shows message boxes one after another; each is checked and closed,
// which answers it with its escape button (No, or its only button).
void WhileBoxesShown(const std::function<void()> &work, const Check &check)
{
    int boxes = 0;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box || !box->isVisible() || box->property("walked").toBool())
            return;
        box->setProperty("walked", true);
        ++boxes;
        check(*box);
        box->close();
    });
    poll.start(5);
    work();
    EXPECT_GT(boxes, 0) << "no message box showed";
}

void UpdateCenter(TWebFileInfo &wfi, const Check &check, Foreign &outside)
{
    TfrmUpdate window(&wfi);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    ASSERT_TRUE(WaitUntil([&] { return window.btnRetrieveUpdate->isEnabled(); }));
    for (QLabel *fromServer : {window.lblVersion, window.lblDate, window.lblReadMe, window.lblURL})
        outside.Texts << fromServer->text();
    check(window);
}

} // namespace

TEST_P(UpdateTranslationWalk, ShowsOnlyTranslatedTexts)
{
    Publish(QStringLiteral("1.1.01"), QStringLiteral("/files/tlm11.exe"), QStringLiteral("/tlm11.txt"));
    TranslationWalk::TPseudoTranslator pseudo;
    ASSERT_TRUE(pseudo.Loaded());
    Foreign outside;
    bool checked = false;
    GetParam().WhileShown(
        *FWfi,
        [&](QWidget &window) {
            checked = true;
            const QStringList faults = TranslationWalk::Untranslated(window, outside);
            EXPECT_TRUE(faults.isEmpty()) << faults.join(QLatin1Char('\n')).toStdString();
        },
        outside);
    EXPECT_TRUE(checked) << "the window never showed";
}

INSTANTIATE_TEST_SUITE_P(
    Windows, UpdateTranslationWalk,
    ::testing::Values(
        WalkRow{"UpdateCenter", UpdateCenter},
        WalkRow{"DownloadProgress",
                [](TWebFileInfo &, const Check &check, Foreign &) {
                    TWebDlProgress window(nullptr, UiFont());
                    window.UpdateProgress(1500, 3000);
                    window.FlushProgress();
                    Shown(window, check);
                }},
        WalkRow{"PleaseWait",
                [](TWebFileInfo &, const Check &check, Foreign &) {
                    TWfiWaitWindow window(QCoreApplication::translate("TWebFileInfo", "Checking For Update..."),
                                          UiFont());
                    Shown(window, check);
                }},
        WalkRow{"ReadMe",
                [](TWebFileInfo &, const Check &check, Foreign &) {
                    TWfiReadMeWindow window(QStringLiteral("Read me, from the server"), UiFont());
                    Shown(window, check);
                }},
        WalkRow{"SaveAsDialog",
                [](TWebFileInfo &, const Check &check, Foreign &) {
                    TUpdateSaveDialog window(QStringLiteral("tlm11.exe"));
                    Shown(window, check);
                }},
        // The read-me question, then the offer of the update.
        WalkRow{"UpdateQuestions", [](TWebFileInfo &wfi, const Check &check,
                                      Foreign &) { WhileBoxesShown([&] { wfi.ExecuteUpdate(); }, check); }},
        WalkRow{"ConnectionErrorBox",
                [](TWebFileInfo &wfi, const Check &check, Foreign &outside) {
                    wfi.SetHomeURL(
                        QStringLiteral("http://127.0.0.1:%1/tallowmere.htm").arg(TRoutedServer::ClosedPort()));
                    outside.Texts << QStringLiteral("127.0.0.1");
                    WhileBoxesShown([&] { wfi.ExecuteUpdate(); }, check);
                }}),
    [](const ::testing::TestParamInfo<WalkRow> &info) { return std::string(info.param.Name); });
