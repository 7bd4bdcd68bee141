#include "app/Main.h"
#include "controls/FnpNumericEdit.h"
#include "controls/NumCtrl.h"
#include "platform/core/FormatSettings.h"
#include "platform/gui/Application.h"
#include "report/QRPrinter.h"
#include "support/BoxRecorder.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QDir>
#include <QFile>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

namespace {

// The calculator's own errors come as information boxes, each answered with OK.
class InformationBoxes : public TBoxRecorder {
public:
    InformationBoxes()
    {
        OnBox = [](const Box &box) {
            EXPECT_EQ(box.Caption, "Information");
            EXPECT_EQ(box.Icon, QMessageBox::Information);
        };
    }
};

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetFormatSettings(UnitedStatesFormatSettings());
        ASSERT_TRUE(FDir.isValid());
        FProgramDir = FDir.path() + "/";
    }

    void writeSettings(const QByteArray &content)
    {
        QFile f(FProgramDir + "tlm.ini");
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(content);
    }

    QByteArray readSettings()
    {
        QFile f(FProgramDir + "tlm.ini");
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    static void showActive(TfrmMain &w)
    {
        w.show();
        QApplication::setActiveWindow(&w);
        ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
        QApplication::processEvents();
    }

    static void typeInto(QWidget *field, const QString &text)
    {
        QTest::keyClicks(field, text);
        QTest::keyClick(field, Qt::Key_Tab);
        QApplication::processEvents();
    }

    QTemporaryDir FDir;
    QString FProgramDir;
};

} // namespace

TEST_F(MainWindowTest, StartsWithTheDefaultValuesAndPrintingDisabled)
{
    TfrmMain w(FProgramDir);
    showActive(w);
    EXPECT_EQ(w.windowTitle(), "Tallowmere, 1.1");
    EXPECT_EQ(QApplication::focusWidget(), w.edtDCFYear(1));
    for (int year = 1; year <= 10; ++year)
        EXPECT_EQ(w.edtDCFYear(year)->Value(), 0.0L);
    const char *rates[] = {"4.000", "5.000", "6.000", "7.000", "8.000"};
    for (int k = 1; k <= 5; ++k) {
        EXPECT_EQ(w.edtDiscountRate(k)->text(), rates[k - 1]);
        EXPECT_EQ(w.edtNPV(k)->text(), "$0.00");
    }
    EXPECT_FALSE(w.actPrint->isEnabled());
    EXPECT_FALSE(w.actReset->isEnabled());
    EXPECT_EQ(w.edtDCFYear(1)->accessibleName(), "Cash flow, year 1");
    EXPECT_EQ(w.edtDiscountRate(5)->accessibleName(), "Discount rate 5");
    EXPECT_EQ(w.edtNPV(2)->accessibleName(), "Net present value 2");
}

TEST_F(MainWindowTest, TypingFlowsAndARateShowsTheResultsAndTheyAreSaved)
{
    {
        TfrmMain w(FProgramDir);
        showActive(w);
        for (int year = 1; year <= 10; ++year) {
            ASSERT_EQ(QApplication::focusWidget(), w.edtDCFYear(year)) << year;
            typeInto(w.edtDCFYear(year), "1000");
        }
        ASSERT_EQ(QApplication::focusWidget(), w.edtDiscountRate(1));
        typeInto(w.edtDiscountRate(1), "10");
        EXPECT_EQ(QApplication::focusWidget(), w.edtDiscountRate(2));
        EXPECT_EQ(w.edtNPV(1)->text(), "$6,144.57");
        EXPECT_TRUE(w.actPrint->isEnabled());
        EXPECT_TRUE(w.actReset->isEnabled());
        EXPECT_TRUE(w.close());
    }
    EXPECT_EQ(readSettings(), "[LastValues]\nYear1=1000\nYear2=1000\nYear3=1000\nYear4=1000\nYear5=1000\n"
                              "Year6=1000\nYear7=1000\nYear8=1000\nYear9=1000\nYear10=1000\n"
                              "Rate1=10\nRate2=5\nRate3=6\nRate4=7\nRate5=8\n");

    // The next start finds the inputs again.
    TfrmMain again(FProgramDir);
    EXPECT_EQ(again.edtDCFYear(10)->Value(), 1000.0L);
    EXPECT_EQ(again.edtDiscountRate(1)->text(), "10.000");
}

TEST_F(MainWindowTest, ClosingWithoutChangesWritesTheDefaultsAndKeepsOtherLines)
{
    writeSettings("[Window]\nLeft=5\n[lastvalues]\nyear3=1234.56\nRate1=4.125\n");
    {
        TfrmMain w(FProgramDir);
        EXPECT_EQ(w.edtDiscountRate(1)->text(), "4.125");
        EXPECT_TRUE(w.close());
    }
    EXPECT_EQ(readSettings(), "[Window]\nLeft=5\n[lastvalues]\nyear3=1234.56000000052\nRate1=4.125\n"
                              "Year1=0\nYear2=0\nYear4=0\nYear5=0\nYear6=0\nYear7=0\nYear8=0\nYear9=0\n"
                              "Year10=0\nRate2=5\nRate3=6\nRate4=7\nRate5=8\n");
}

TEST_F(MainWindowTest, ABadSavedValueShowsTheMessageAndKeepsTheLayoutValues)
{
    writeSettings("[LastValues]\nYear1=11\nYear6=66\nYear7=abc\nYear8=88\nRate1=9\n");
    InformationBoxes boxes;
    TfrmMain w(FProgramDir);
    ASSERT_EQ(boxes.Texts(), QStringList{"An unidentified error has occurred."});
    EXPECT_EQ(w.edtDCFYear(1)->Value(), 0.0L);
    EXPECT_EQ(w.edtDiscountRate(1)->text(), "4.000");
    EXPECT_EQ(w.Saved().Value(0), 11.0L);
    EXPECT_EQ(w.Saved().Value(5), 66.0L);
    EXPECT_EQ(w.Saved().Value(7), 0.0L);
    EXPECT_EQ(w.Saved().Value(10), 0.0L);
    EXPECT_TRUE(w.close());
    EXPECT_TRUE(readSettings().contains("Year1=11\n"));
    EXPECT_TRUE(readSettings().contains("Year8=0\n"));
    EXPECT_TRUE(readSettings().contains("Rate1=0\n"));
}

TEST_F(MainWindowTest, AValueBeyondTheStorageRangeShowsTheMathMessage)
{
    writeSettings("[LastValues]\nYear2=1e40\n");
    InformationBoxes boxes;
    TfrmMain w(FProgramDir);
    EXPECT_EQ(boxes.Texts(), QStringList{TfrmMain::MathErrorText()});
    EXPECT_TRUE(TfrmMain::MathErrorText().startsWith("Results of this calculation cannot be determined\n\r"));
}

TEST_F(MainWindowTest, MinusOneHundredPercentStopsAtThatRate)
{
    writeSettings("[LastValues]\nYear1=100\nRate3=-100\n");
    InformationBoxes boxes;
    TfrmMain w(FProgramDir);
    showActive(w);
    ASSERT_TRUE(boxes.Texts().isEmpty());
    QTest::keyClick(w.edtDCFYear(1), Qt::Key_Tab);
    QApplication::processEvents();
    EXPECT_EQ(boxes.Texts(), QStringList{TfrmMain::MathErrorText()});
    EXPECT_EQ(w.edtNPV(1)->text(), "$96.15");
    EXPECT_EQ(w.edtNPV(2)->text(), "$95.24");
    EXPECT_EQ(w.edtNPV(3)->text(), "$0.00");
    EXPECT_EQ(w.edtNPV(4)->text(), "$0.00");
    EXPECT_TRUE(w.actPrint->isEnabled());
    EXPECT_TRUE(w.actReset->isEnabled());
    EXPECT_EQ(w.Saved().Value(12), -100.0L);
}

TEST_F(MainWindowTest, ResetFromARateFieldEndsWithEverythingClearedAndDisabled)
{
    TfrmMain w(FProgramDir);
    showActive(w);
    typeInto(w.edtDCFYear(1), "500");
    w.edtDiscountRate(3)->setFocus();
    QApplication::processEvents();
    ASSERT_TRUE(w.actReset->isEnabled());
    w.actReset->trigger();
    QApplication::processEvents();
    EXPECT_EQ(QApplication::focusWidget(), w.edtDCFYear(1));
    for (int k = 1; k <= 5; ++k)
        EXPECT_EQ(w.edtNPV(k)->text(), "$0.00");
    EXPECT_EQ(w.edtDiscountRate(1)->text(), "4.000");
    EXPECT_EQ(w.edtDiscountRate(5)->text(), "8.000");
    EXPECT_FALSE(w.actPrint->isEnabled());
    EXPECT_FALSE(w.actReset->isEnabled());
    // The recomputation on leaving the rate field stored the reset values.
    EXPECT_EQ(w.Saved().Value(0), 0.0L);
}

TEST_F(MainWindowTest, AFailedSaveKeepsTheWindowOpen)
{
    QDir().mkpath(FProgramDir + "tlm.ini"); // a folder where the file should be
    InformationBoxes boxes;
    TfrmMain w(FProgramDir);
    showActive(w);
    EXPECT_FALSE(w.close());
    EXPECT_TRUE(w.isVisible());
    EXPECT_EQ(boxes.Texts(), QStringList{"An unidentified error has occurred."});
}

TEST_F(MainWindowTest, TabCyclesRatesThenYearsAndSkipsTheResults)
{
    TfrmMain w(FProgramDir);
    showActive(w);
    w.edtDiscountRate(5)->setFocus();
    QApplication::processEvents();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), w.edtDCFYear(1));
    w.edtDCFYear(10)->setFocus();
    QApplication::processEvents();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), w.edtDiscountRate(1));
}

// The application and the report printer outlive the window: once it is gone, an
// activation, an error or a preview request must not reach it.
TEST_F(MainWindowTest, AClosedWindowLeavesNoHookBehind)
{
    auto *app = Application::Instance();
    ASSERT_NE(app, nullptr);
    {
        TfrmMain w(FProgramDir);
        EXPECT_TRUE(bool(app->OnActivate));
        EXPECT_TRUE(bool(app->OnException));
        EXPECT_TRUE(bool(QRPrinter()->OnPreview));
    }
    EXPECT_FALSE(bool(app->OnActivate));
    EXPECT_FALSE(bool(app->OnException));
    EXPECT_FALSE(bool(QRPrinter()->OnPreview));
}
