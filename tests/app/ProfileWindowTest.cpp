#include "app/Main.h"
#include "app/Profile.h"
#include "controls/NumCtrl.h"
#include "platform/core/FormatSettings.h"
#include "platform/gui/Application.h"
#include "report/QRPrinter.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QPaintEvent>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace {

// Counts the chart's paintings.
class PaintCounter : public QObject {
public:
    int Paints = 0;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            ++Paints;
        return false;
    }
};

class ProfileWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetFormatSettings(UnitedStatesFormatSettings());
        QRPrinter()->OnPreview = nullptr;
    }
    void TearDown() override { QRPrinter()->OnPreview = nullptr; }
    QTemporaryDir FDir;
};

QList<TfrmProfile *> ProfileWindows()
{
    QList<TfrmProfile *> found;
    for (QWidget *widget : QApplication::topLevelWidgets())
        if (auto *profile = qobject_cast<TfrmProfile *>(widget); profile && profile->isVisible())
            found << profile;
    return found;
}

} // namespace

// Ctrl+G from the calculator opens one profile window and raises it again; the File
// menu has the command after Print, enabled from the start.
TEST_F(ProfileWindowTest, CtrlGOpensOneWindowAndTheMenuHasIt)
{
    TfrmMain w(FDir.path() + QLatin1Char('/'));
    w.show();
    QApplication::setActiveWindow(&w);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));

    QMenu *file = w.menuBar()->findChild<QMenu *>(QStringLiteral("File1"));
    ASSERT_NE(file, nullptr);
    QStringList names;
    for (QAction *action : file->actions())
        names << action->objectName();
    EXPECT_EQ(names.indexOf(QStringLiteral("mnuFileProfile")), names.indexOf(QStringLiteral("mnuFilePrint")) + 1);
    QAction *item = file->actions().at(names.indexOf(QStringLiteral("mnuFileProfile")));
    EXPECT_EQ(item->text(), QStringLiteral("&NPV Profile..."));
    EXPECT_EQ(item->shortcut(), QKeySequence(QStringLiteral("Ctrl+G")));
    EXPECT_TRUE(item->isEnabled());

    QTest::keyClick(w.edtDCFYear(1), Qt::Key_G, Qt::ControlModifier);
    QApplication::processEvents();
    ASSERT_EQ(ProfileWindows().size(), 1);
    TfrmProfile *profile = ProfileWindows().first();
    EXPECT_EQ(profile->windowTitle(), QStringLiteral("NPV Profile"));
    EXPECT_FALSE(profile->isModal());
    QApplication::setActiveWindow(&w);
    QTest::keyClick(w.edtDCFYear(1), Qt::Key_G, Qt::ControlModifier);
    QApplication::processEvents();
    EXPECT_EQ(ProfileWindows(), QList<TfrmProfile *>{profile});
    EXPECT_EQ(w.Profile(), profile);
}

// Leaving a field recomputes and the open profile draws the new values: its points are
// the calculator's results and its description says so.
TEST_F(ProfileWindowTest, RedrawsAfterAFieldIsLeft)
{
    TfrmMain w(FDir.path() + QLatin1Char('/'));
    w.show();
    QApplication::setActiveWindow(&w);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    w.actProfile->trigger();
    TfrmProfile *profile = w.Profile();
    ASSERT_NE(profile, nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(profile));
    EXPECT_TRUE(profile->Chart->accessibleDescription().startsWith(
        QStringLiteral("No internal rate: all cash flows are zero. At 4.000 %: $0.00")))
        << profile->Chart->accessibleDescription().toStdString();
    PaintCounter counter;
    profile->Chart->installEventFilter(&counter);

    QApplication::setActiveWindow(&w);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    w.edtDCFYear(1)->setFocus();
    QTest::keyClicks(w.edtDCFYear(1), QStringLiteral("-1000"));
    QTest::keyClick(w.edtDCFYear(1), Qt::Key_Tab);
    w.edtDCFYear(2)->setFocus();
    QTest::keyClicks(w.edtDCFYear(2), QStringLiteral("1100"));
    QTest::keyClick(w.edtDCFYear(2), Qt::Key_Tab);
    ASSERT_TRUE(QTest::qWaitFor([&] { return counter.Paints > 0; }, 5000));
    for (int k = 1; k <= Npv::RateCount; ++k)
        EXPECT_EQ(profile->Profile().PointAt(k - 1).Value, w.edtNPV(k)->Value()) << k;
    // -1000 / 1.1 + 1100 / 1.1^2 = 0 at 10 %.
    EXPECT_TRUE(profile->Chart->accessibleDescription().startsWith(
        QStringLiteral("Internal rate: 10.000 %. At 4.000 %: ") + w.edtNPV(1)->text() + QLatin1Char(';')))
        << profile->Chart->accessibleDescription().toStdString();
}

// Print goes through the program's preview hook with one page of its own.
TEST_F(ProfileWindowTest, PrintsThroughThePreview)
{
    TfrmMain w(FDir.path() + QLatin1Char('/'));
    w.actProfile->trigger();
    ASSERT_NE(w.Profile(), nullptr);
    int previews = 0;
    QRPrinter()->OnPreview = [&] {
        ++previews;
        EXPECT_EQ(QRPrinter()->PageCount(), 1);
        EXPECT_EQ(QRPrinter()->PreviewCaption(), QStringLiteral("NPV Profile"));
    };
    w.Profile()->btnPrint->click();
    EXPECT_EQ(previews, 1);
}
