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

TEST_F(UpdateTest, UpdateCenterLayout)
{
    TfrmUpdate form(FWfi.get());
    EXPECT_EQ(form.windowTitle(), "Corvane Software Update Center");
    EXPECT_EQ(form.size(), QSize(428, 231));
    EXPECT_FALSE(form.windowFlags().testFlag(Qt::WindowCloseButtonHint));

    struct Button {
        QToolButton *button;
        QRect geometry;
        const char *caption;
        const char *hint;
        bool visible;
        bool enabled;
    };
    const Button buttons[] = {
        {form.btnClose, QRect(295, 200, 115, 25), "Close", " Close Update Center", true, true},
        {form.btnRetrieveUpdate, QRect(157, 200, 115, 25), "Retrieve Update", " Retrieve Update", true, false},
        {form.btnCheckForUpdate, QRect(18, 200, 115, 25), "Check for Update", " Check for Update", false, true},
    };
    for (const Button &b : buttons) {
        EXPECT_EQ(b.button->geometry(), b.geometry) << b.caption;
        EXPECT_EQ(b.button->text(), b.caption);
        EXPECT_EQ(b.button->statusTip(), b.hint);
        EXPECT_FALSE(b.button->icon().pixmap(16, 16).isNull()) << b.caption;
        EXPECT_EQ(b.button->isVisibleTo(&form), b.visible) << b.caption;
        EXPECT_EQ(b.button->isEnabled(), b.enabled) << b.caption;
    }

    EXPECT_EQ(form.Panel1->geometry(), QRect(6, 6, 416, 186));
    EXPECT_EQ(form.Panel1->BevelInner(), bvRaised);
    EXPECT_EQ(form.Panel1->BevelOuter(), bvLowered);
    EXPECT_EQ(form.Panel1->Color(), QColor(Qt::white));
    EXPECT_EQ(form.Image1->geometry(), QRect(268, 25, 144, 155));
    ASSERT_FALSE(form.Image1->pixmap().isNull());
    EXPECT_EQ(form.Image1->pixmap().size(), QSize(144, 155));

    struct Label {
        QLabel *label;
        QPoint at;
        const char *caption;
        QColor color;
        bool visible;
    };
    const Label labels[] = {
        {form.Label7, {124, 14}, "Current Application", Black, true},
        {form.lblApplicationName, {124, 34}, " Tallowmere Calculator", Green, true},
        {form.lblDeveloper, {124, 53}, " Corvane Software", Green, true},
        {form.lblCurrentVersion, {124, 72}, "1.1.00", Green, true},
        {form.lblCurrentCompileDate, {124, 91}, "April 25, 1999", Green, true},
        {form.lblUpdateStatus, {124, 131}, "Update Status:  Unknown", Black, true},
        {form.lblVersion, {124, 153}, "Status Unknown", Silver, true},
        {form.Label5, {243, 95}, "Online Information:", Black, false},
        {form.lblReadMe, {339, 96}, "Status Unknown", Silver, false},
        {form.Label6, {257, 115}, "Download URL:", Black, false},
        {form.lblURL, {339, 115}, "Status Unknown", Silver, false},
        {form.Label3, {267, 134}, "Compile Date:", Black, false},
        {form.lblDate, {340, 134}, "Status Unknown", Silver, false},
    };
    for (const Label &l : labels) {
        EXPECT_EQ(l.label->pos(), l.at) << l.caption;
        EXPECT_EQ(l.label->text(), l.caption);
        EXPECT_EQ(TextColor(l.label), l.color) << l.caption;
        EXPECT_EQ(l.label->isVisibleTo(&form), l.visible) << l.caption;
        EXPECT_EQ(l.label->parentWidget(), form.Panel1) << l.caption;
    }
    EXPECT_TRUE(form.Label7->font().bold());
    EXPECT_TRUE(form.lblUpdateStatus->font().bold());
    EXPECT_FALSE(form.lblVersion->font().bold());
    EXPECT_TRUE(form.Label7->autoFillBackground());
    EXPECT_FALSE(form.lblVersion->autoFillBackground());
    EXPECT_EQ(form.lblReadMe->width(), 250);
    EXPECT_EQ(form.lblURL->width(), 250);

    struct Caption {
        QLabel *label;
        QRect box;
        const char *caption;
    };
    const Caption right[] = {
        {form.Label1, QRect(32, 34, 86, 0), "Application Name:"},
        {form.Label2, QRect(66, 53, 52, 0), "Developer:"},
        {form.Label8, QRect(38, 72, 80, 0), "Current Version:"},
        {form.Label10, QRect(14, 91, 104, 0), "Current Compile Date:"},
        {form.Label4, QRect(26, 153, 92, 0), "Version on Server:"},
    };
    for (const Caption &c : right) {
        // The right edge is as designed; a caption wider than its box grows to the left
        // and is never cut.
        EXPECT_EQ(c.label->x() + c.label->width(), c.box.left() + c.box.width()) << c.caption;
        EXPECT_EQ(c.label->y(), c.box.top()) << c.caption;
        EXPECT_GE(c.label->width(), c.box.width()) << c.caption;
        EXPECT_GE(c.label->width(), c.label->fontMetrics().horizontalAdvance(QString::fromLatin1(c.caption)))
            << c.caption;
        EXPECT_GE(c.label->x(), 0) << c.caption;
        EXPECT_EQ(c.label->text(), c.caption);
        EXPECT_TRUE(c.label->alignment().testFlag(Qt::AlignRight)) << c.caption;
    }
}

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
