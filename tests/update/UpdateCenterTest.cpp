#include "UpdateFixture.h"

#include "controls/Panel.h"
#include "update/Update.h"

#include <QLabel>
#include <QTest>
#include <QToolButton>

namespace {

QColor TextColor(const QLabel *label)
{
    return label->palette().color(QPalette::WindowText);
}

const QColor Green(0x00, 0x80, 0x00);
const QColor Silver(0xC0, 0xC0, 0xC0);
const QColor Blue(0x00, 0x00, 0xFF);
const QColor Red(0xFF, 0x00, 0x00);
const QColor Black(0, 0, 0);

} // namespace

TEST_F(UpdateTest, UpdateCenterHasNoCloseBox)
{
    TfrmUpdate form(FWfi.get());
    EXPECT_EQ(form.windowTitle(), "Corvane Software Update Center");
    EXPECT_FALSE(form.windowFlags().testFlag(Qt::WindowCloseButtonHint));
}

namespace {

// How a control of the Update Center looks before anything has been read.
struct ButtonRow {
    const char *Name;
    QToolButton *TfrmUpdate::*Button;
    const char *Caption;
    const char *Hint;
    bool Visible;
    bool Enabled;
};

struct LabelRow {
    const char *Name;
    QLabel *TfrmUpdate::*Label;
    const char *Caption;
    QColor Color;
    bool Visible;
};

class UpdateCenterButton : public UpdateTest, public ::testing::WithParamInterface<ButtonRow> {};
class UpdateCenterLabel : public UpdateTest, public ::testing::WithParamInterface<LabelRow> {};

template <typename Row>
std::string RowName(const ::testing::TestParamInfo<Row> &info)
{
    return info.param.Name;
}

} // namespace

TEST_P(UpdateCenterButton, StartsAsDesigned)
{
    TfrmUpdate form(FWfi.get());
    const ButtonRow &row = GetParam();
    QToolButton *button = form.*row.Button;
    EXPECT_EQ(button->text(), row.Caption);
    EXPECT_EQ(button->statusTip(), row.Hint);
    EXPECT_FALSE(button->icon().pixmap(16, 16).isNull());
    EXPECT_EQ(button->isVisibleTo(&form), row.Visible);
    EXPECT_EQ(button->isEnabled(), row.Enabled);
}

INSTANTIATE_TEST_SUITE_P(Buttons, UpdateCenterButton,
                         ::testing::Values(ButtonRow{"Close", &TfrmUpdate::btnClose, "Close", " Close Update Center",
                                                     true, true},
                                           ButtonRow{"RetrieveUpdate", &TfrmUpdate::btnRetrieveUpdate,
                                                     "Retrieve Update", " Retrieve Update", true, false},
                                           ButtonRow{"CheckForUpdate", &TfrmUpdate::btnCheckForUpdate,
                                                     "Check for Update", " Check for Update", false, true}),
                         RowName<ButtonRow>);

TEST_P(UpdateCenterLabel, StartsAsDesigned)
{
    TfrmUpdate form(FWfi.get());
    const LabelRow &row = GetParam();
    QLabel *label = form.*row.Label;
    EXPECT_EQ(label->text(), row.Caption);
    EXPECT_EQ(TextColor(label), row.Color);
    EXPECT_EQ(label->isVisibleTo(&form), row.Visible);
}

INSTANTIATE_TEST_SUITE_P(
    Labels, UpdateCenterLabel,
    ::testing::Values(LabelRow{"CurrentApplication", &TfrmUpdate::Label7, "Current Application", Black, true},
                      LabelRow{"ApplicationNameCaption", &TfrmUpdate::Label1, "Application Name:", Black, true},
                      LabelRow{"ApplicationName", &TfrmUpdate::lblApplicationName, " Tallowmere Calculator", Green,
                               true},
                      LabelRow{"DeveloperCaption", &TfrmUpdate::Label2, "Developer:", Black, true},
                      LabelRow{"Developer", &TfrmUpdate::lblDeveloper, " Corvane Software", Green, true},
                      LabelRow{"CurrentVersionCaption", &TfrmUpdate::Label8, "Current Version:", Black, true},
                      LabelRow{"CurrentVersion", &TfrmUpdate::lblCurrentVersion, "1.1.00", Green, true},
                      LabelRow{"CurrentCompileDateCaption", &TfrmUpdate::Label10, "Current Compile Date:", Black, true},
                      LabelRow{"CurrentCompileDate", &TfrmUpdate::lblCurrentCompileDate, "April 25, 1999", Green, true},
                      LabelRow{"UpdateStatus", &TfrmUpdate::lblUpdateStatus, "Update Status:  Unknown", Black, true},
                      LabelRow{"VersionOnServerCaption", &TfrmUpdate::Label4, "Version on Server:", Black, true},
                      LabelRow{"VersionOnServer", &TfrmUpdate::lblVersion, "Status Unknown", Silver, true},
                      LabelRow{"OnlineInformationCaption", &TfrmUpdate::Label5, "Online Information:", Black, false},
                      LabelRow{"OnlineInformation", &TfrmUpdate::lblReadMe, "Status Unknown", Silver, false},
                      LabelRow{"DownloadUrlCaption", &TfrmUpdate::Label6, "Download URL:", Black, false},
                      LabelRow{"DownloadUrl", &TfrmUpdate::lblURL, "Status Unknown", Silver, false},
                      LabelRow{"CompileDateCaption", &TfrmUpdate::Label3, "Compile Date:", Black, false},
                      LabelRow{"CompileDate", &TfrmUpdate::lblDate, "Status Unknown", Silver, false}),
    RowName<LabelRow>);

TEST_F(UpdateTest, UpdateCenterOffersANewerVersion)
{
    Publish(QStringLiteral("1.1.01"), QStringLiteral("/files/tlm11.exe"), QStringLiteral("/tlm11.txt"));
    TBoxRecorder boxes;
    TfrmUpdate form(FWfi.get());
    form.show();
    form.activateWindow();
    ASSERT_TRUE(WaitUntil([&] { return form.btnRetrieveUpdate->isEnabled(); }));
    EXPECT_EQ(form.lblUpdateStatus->text(), "Update Information");
    EXPECT_EQ(TextColor(form.lblUpdateStatus), Red);
    EXPECT_EQ(form.lblVersion->text(), "1.1.01");
    EXPECT_EQ(form.lblDate->text(), "May 2, 1999");
    EXPECT_EQ(form.lblURL->text(), FServer.Url(QStringLiteral("/files/tlm11.exe")));
    EXPECT_EQ(form.lblReadMe->text(), FServer.Url(QStringLiteral("/tlm11.txt")));
    for (QLabel *label : {form.lblVersion, form.lblDate, form.lblURL, form.lblReadMe})
        EXPECT_EQ(TextColor(label), Blue);
    EXPECT_TRUE(form.IsUpdateAvailable());
    EXPECT_TRUE(boxes.Boxes().isEmpty());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(UpdateTest, UpdateCenterWithTheSameVersion)
{
    Publish(QStringLiteral("1.1.00"), QStringLiteral("/files/tlm11.exe"));
    TfrmUpdate form(FWfi.get());
    form.show();
    form.activateWindow();
    ASSERT_TRUE(WaitUntil([&] { return form.lblUpdateStatus->text() == "No Update Available"; }));
    EXPECT_EQ(TextColor(form.lblUpdateStatus), Red);
    EXPECT_EQ(form.lblVersion->text(), "1.1.00");
    EXPECT_FALSE(form.btnRetrieveUpdate->isEnabled());
    EXPECT_FALSE(form.IsUpdateAvailable());

    // Retrieve Update on a current version says so.
    TBoxRecorder boxes;
    form.RetrieveUpdate();
    EXPECT_EQ(boxes.Captions(), QStringList{"No Update Found"});
}

TEST_F(UpdateTest, UpdateCenterWithTheServerDown)
{
    FWfi->SetHomeURL(QStringLiteral("http://127.0.0.1:%1/tallowmere.htm").arg(ClosedPort()));
    TBoxRecorder boxes;
    TfrmUpdate form(FWfi.get());
    form.show();
    form.activateWindow();
    // No status came from a server that is not there, so no bare status box either.
    ASSERT_TRUE(WaitUntil([&] { return boxes.Boxes().size() == 1; }));
    EXPECT_EQ(boxes.Boxes()[0].Caption, "Tallowmere");
    EXPECT_EQ(boxes.Boxes()[0].Text, "Get Info failed due to:\r\n" + FWfi->LastError());
    EXPECT_TRUE(FWfi->LastError().endsWith("(Error #10061)"));
    EXPECT_EQ(boxes.Boxes()[0].Icon, QMessageBox::NoIcon);
    EXPECT_FALSE(form.btnRetrieveUpdate->isEnabled());
    EXPECT_EQ(form.lblVersion->text(), "Status Unknown");
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);

    // Neither the boxes nor the wait window closing start the check again.
    WaitUntil([] { return false; }, 300);
    EXPECT_EQ(boxes.Boxes().size(), 1);

    // The hidden button checks again, now successfully.
    Publish(QStringLiteral("2.0"));
    FWfi->SetHomeURL(FServer.Url(QStringLiteral("/tallowmere.htm")));
    form.btnCheckForUpdate->click();
    EXPECT_TRUE(form.btnRetrieveUpdate->isEnabled());
    EXPECT_EQ(form.lblVersion->text(), "2.0");
}

TEST_F(UpdateTest, UpdateCenterWithAMissingPage)
{
    FWfi->SetHomeURL(FServer.Url(QStringLiteral("/moved-away.htm")));
    TBoxRecorder boxes;
    TfrmUpdate form(FWfi.get());
    form.show();
    form.activateWindow();
    ASSERT_TRUE(WaitUntil([&] { return boxes.Boxes().size() == 2; }));
    EXPECT_EQ(boxes.Boxes()[0].Text, "404");
    EXPECT_EQ(boxes.Boxes()[1].Text, "Get Info failed due to:\r\nNot Found");
    EXPECT_EQ(form.lblUpdateStatus->text(), "Update Status:  Unknown");
    EXPECT_FALSE(form.btnRetrieveUpdate->isEnabled());
    WaitUntil([] { return false; }, 300);
    EXPECT_EQ(FServer.RequestLines().size(), 1);
}

TEST_F(UpdateTest, RetrieveUpdateNeedsTheInformation)
{
    TBoxRecorder boxes;
    TfrmUpdate form(FWfi.get());
    form.RetrieveUpdate(); // nothing read yet: nothing happens
    EXPECT_TRUE(boxes.Boxes().isEmpty());
    EXPECT_TRUE(FServer.RequestLines().isEmpty());

    form.lblVersion->setText(QStringLiteral("1.1"));
    EXPECT_TRUE(form.IsUpdateAvailable());
    form.lblVersion->setText(QStringLiteral("1.1.00.9"));
    EXPECT_FALSE(form.IsUpdateAvailable());
}

TEST_F(UpdateTest, ShowUpdateCenterShowsAFreshWindowEachTime)
{
    Publish(QStringLiteral("1.1.01"), QStringLiteral("/files/tlm11.exe"));
    QList<QPointer<TfrmUpdate>> shown;
    QStringList versions;
    TModalDriver driver([&](QWidget *window) {
        auto *form = qobject_cast<TfrmUpdate *>(window);
        if (!form)
            return false;
        shown.append(form);
        const QPointer<TfrmUpdate> guard(form);
        // Close once the check has filled the window.
        auto *poll = new QTimer(form);
        QObject::connect(poll, &QTimer::timeout, form, [guard, &versions] {
            if (guard && guard->btnRetrieveUpdate->isEnabled()) {
                versions.append(guard->lblVersion->text());
                QTest::mouseClick(guard->btnClose, Qt::LeftButton);
            }
        });
        poll->start(10);
        return true;
    });
    QWidget mainWindow;
    TfrmUpdate::ShowUpdateCenter(FWfi.get(), &mainWindow);
    TfrmUpdate::ShowUpdateCenter(FWfi.get(), nullptr);
    ASSERT_EQ(shown.size(), 2);
    EXPECT_EQ(shown[0], nullptr); // destroyed after closing
    EXPECT_EQ(shown[1], nullptr);
    EXPECT_EQ(versions, (QStringList{"1.1.01", "1.1.01"}));
    EXPECT_EQ(FServer.RequestLines().size(), 1); // the second showing used the cached answer
}
