#include "ReportTestSupport.h"
#include "WindowLayout.h"

#include "platform/core/Exceptions.h"
#include "platform/gui/Application.h"
#include "report/QRPrinter.h"
#include "report/QRPreview.h"
#include "report/QRStandardPreview.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QWindow>
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

namespace {

// Runs act on the built-in preview once its window is on screen.
void WhenShown(const std::function<void(TQRStandardPreview &)> &act)
{
    auto *poll = new QTimer;
    auto tries = std::make_shared<int>(0);
    QObject::connect(poll, &QTimer::timeout, poll, [poll, tries, act] {
        TQRStandardPreview *preview = QRPrinter()->StandardPreview();
        if (preview && preview->Window() && preview->Window()->isVisible()) {
            poll->deleteLater();
            act(*preview);
            return;
        }
        if (++*tries > 2000)
            poll->deleteLater();
    });
    poll->start(0);
}

// A report of pages pages, each page holding one tall detail band.
class PagedForm : public TestForm {
public:
    explicit PagedForm(int pages)
    {
        TQRBand *detail = AddBand(QStringLiteral("D"), rbDetail, 700);
        TQRLabel *label = AddLabel(detail, QStringLiteral("L"), QString(), 20, 20);
        label->OnPrint = [this](QObject *, QString &text) {
            text = QStringLiteral("Detail %1").arg(Report->DetailNo());
        };
        auto left = std::make_shared<int>(pages);
        Report->OnNeedData = [left](QObject *, bool &more) { more = (*left)-- > 0; };
    }
};

// Answers the next file dialog with a file, checking how the dialog was set up.
void AnswerFileDialog(const QString &file, bool save, int &asked)
{
    TQRStandardPreview::SetOnFileDialog([file, save, &asked](QFileDialog &dialog) {
        ++asked;
        EXPECT_EQ(dialog.nameFilters(), QStringList{QStringLiteral("Report files (*.QRP)")});
        EXPECT_EQ(dialog.defaultSuffix(), QStringLiteral("QRP"));
        EXPECT_EQ(dialog.acceptMode(), save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
        EXPECT_EQ(dialog.fileMode(), save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
        EXPECT_FALSE(dialog.testOption(QFileDialog::DontConfirmOverwrite));
        if (file.isEmpty()) {
            dialog.reject();
            return;
        }
        dialog.selectFile(file);
        static_cast<QDialog &>(dialog).accept();
    });
}

class StandardPreview : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(QRPrinter()->PrinterOK());
        QRPrinter()->OnPreview = nullptr;
        QRPrinter()->SetShowProgress(false);
    }
    void TearDown() override
    {
        TQRStandardPreview::SetOnFileDialog(nullptr);
        Application::Instance()->OnException = nullptr;
        QRPrinter()->SetShowProgress(true);
    }

    // A page file of pages pages, written through the printer.
    QString MakeFile(const QString &name, int pages)
    {
        const QString path = Dir.filePath(name);
        PagedForm form(pages);
        QRPrinter()->OnPreview = [path] { QRPrinter()->Save(path); };
        form.Report->Preview();
        QRPrinter()->OnPreview = nullptr;
        return path;
    }

    PrinterScope Scope;
    QTemporaryDir Dir;
};

} // namespace

// The geometry is one of the window invariants; here the texts and states the design gives.
TEST_F(StandardPreview, WindowAndToolbarAsDesigned)
{
    PagedForm form(5);
    bool ran = false;
    WhenShown([&](TQRStandardPreview &p) {
        ran = true;
        QDialog *window = p.Window();
        EXPECT_EQ(window->windowTitle(), QRPrinter()->PreviewCaption());
        EXPECT_TRUE(window->windowState() & Qt::WindowMaximized);
        EXPECT_EQ(window->normalGeometry().size(), WorkAreaClient(*window));
        const QList<QToolButton *> buttons = {p.FitButton(),  p.ActualSizeButton(), p.WidthButton(), p.FirstButton(),
                                              p.PrevButton(), p.NextButton(),       p.LastButton(),  p.PrintButton(),
                                              p.SaveButton(), p.LoadButton()};
        QStringList hints;
        for (QToolButton *button : buttons)
            hints << button->toolTip();
        EXPECT_EQ(hints, (QStringList{"Fit in Window", "100%", "Page Width", "First page", "Previous page", "Next page",
                                      "Last page", "Print report", "Save report", "Load report"}));
        // Every speed button carries a glyph of its own.
        EXPECT_TRUE(std::all_of(buttons.begin(), buttons.end(), [](QToolButton *b) { return !b->icon().isNull(); }));
        EXPECT_EQ(p.ExitButton()->text(), QStringLiteral("&Exit"));
        EXPECT_EQ(p.PagePanel()->frameShadow(), QFrame::Sunken);
        EXPECT_TRUE(p.FitButton()->isChecked());
        EXPECT_EQ(p.Preview()->ZoomMode(), TQRPreview::zmFitPage);
        // Esc is the Exit button's key.
        QTest::keyClick(p.Preview(), Qt::Key_Escape);
    });
    form.Report->Preview();
    EXPECT_TRUE(ran);
    EXPECT_EQ(QRPrinter()->StandardPreview(), nullptr);
    EXPECT_EQ(QRPrinter()->Status(), stIdle);
}

TEST_F(StandardPreview, PagingButtonsAndPagePanelOnFivePages)
{
    PagedForm form(5);
    bool ran = false;
    WhenShown([&](TQRStandardPreview &p) {
        ran = true;
        struct Expect {
            const char *Panel;
            bool First, Prev, Next, Last;
        };
        auto check = [&p](const Expect &e, const char *step) {
            EXPECT_EQ(p.PagePanel()->text(), QString::fromUtf8(e.Panel)) << step;
            EXPECT_EQ(p.FirstButton()->isEnabled(), e.First) << step;
            EXPECT_EQ(p.PrevButton()->isEnabled(), e.Prev) << step;
            EXPECT_EQ(p.NextButton()->isEnabled(), e.Next) << step;
            EXPECT_EQ(p.LastButton()->isEnabled(), e.Last) << step;
            EXPECT_EQ(QRPrinter()->CurrentPage(), p.Preview()->PageNumber()) << step;
        };
        check({"Page 1 of 5", false, false, true, true}, "start");
        QTest::mouseClick(p.NextButton(), Qt::LeftButton);
        check({"Page 2 of 5", true, true, true, true}, "next");
        QTest::mouseClick(p.LastButton(), Qt::LeftButton);
        check({"Page 5 of 5", true, true, false, false}, "last");
        p.NextClick();
        check({"Page 5 of 5", true, true, false, false}, "next past the end");
        QTest::mouseClick(p.PrevButton(), Qt::LeftButton);
        check({"Page 4 of 5", true, true, true, true}, "previous");
        QTest::mouseClick(p.FirstButton(), Qt::LeftButton);
        check({"Page 1 of 5", false, false, true, true}, "first");
        p.PrevClick();
        check({"Page 1 of 5", false, false, true, true}, "previous before the start");
        EXPECT_TRUE(p.PrintButton()->isEnabled());
        EXPECT_TRUE(p.SaveButton()->isEnabled());
        QTest::mouseClick(p.ExitButton(), Qt::LeftButton);
    });
    form.Report->Preview();
    EXPECT_TRUE(ran);
}

TEST_F(StandardPreview, ZoomButtonsShowTheirModeAndResizingRefits)
{
    PagedForm form(2);
    bool ran = false;
    WhenShown([&](TQRStandardPreview &p) {
        ran = true;
        const TQRPrinter *printer = QRPrinter();
        QTest::mouseClick(p.ActualSizeButton(), Qt::LeftButton);
        EXPECT_EQ(p.Preview()->Zoom(), 100);
        EXPECT_EQ(p.Preview()->ZoomMode(), TQRPreview::zmFixed);
        EXPECT_TRUE(p.ActualSizeButton()->isChecked());
        EXPECT_FALSE(p.FitButton()->isChecked());
        QTest::mouseClick(p.WidthButton(), Qt::LeftButton);
        EXPECT_EQ(p.Preview()->ZoomMode(), TQRPreview::zmPageWidth);
        EXPECT_EQ(p.Preview()->Zoom(), QRRound(p.Preview()->width() / double(printer->SheetWidth()) * 98));
        QTest::mouseClick(p.FitButton(), Qt::LeftButton);
        EXPECT_EQ(p.Preview()->ZoomMode(), TQRPreview::zmFitPage);
        EXPECT_TRUE(p.FitButton()->isChecked());

        p.Window()->showNormal();
        p.Window()->resize(600, 500);
        QCoreApplication::processEvents();
        EXPECT_EQ(p.Preview()->size(), QSize(600, 468));
        EXPECT_EQ(p.Preview()->Zoom(),
                  std::min(QRRound(600.0 / printer->SheetWidth() * 95), QRRound(468.0 / printer->SheetHeight() * 95)));
        p.ExitClick();
    });
    form.Report->Preview();
    EXPECT_TRUE(ran);
}

TEST_F(StandardPreview, PrintSendsEveryPageAndComesBack)
{
    PagedForm form(5);
    bool ran = false;
    WhenShown([&](TQRStandardPreview &p) {
        ran = true;
        QTest::mouseClick(p.PrintButton(), Qt::LeftButton);
        // The button is back once printing is over; the window stays open.
        EXPECT_TRUE(p.PrintButton()->isEnabled());
        EXPECT_TRUE(p.Window()->isVisible());
        p.ExitClick();
    });
    form.Report->Preview();
    EXPECT_TRUE(ran);
    EXPECT_EQ(Scope.Asked, 1);
    EXPECT_EQ(PdfPageCount(Scope.NextFile), 5);
    EXPECT_TRUE(PdfText(Scope.NextFile).contains(QStringLiteral("Detail 5")));
}

TEST_F(StandardPreview, SaveAndLoadGoThroughTheFileDialogs)
{
    const QString two = MakeFile(QStringLiteral("two.QRP"), 2);
    const QString bad = Dir.filePath(QStringLiteral("bad.QRP"));
    {
        QFile file(bad);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(QByteArray(400, '\x01'));
    }
    QStringList messages;
    Application::Instance()->OnException = [&](QObject *, const Exception &e) { messages << e.Message(); };

    PagedForm form(5);
    bool ran = false;
    int asked = 0;
    WhenShown([&](TQRStandardPreview &p) {
        ran = true;
        // Saved under the chosen name, the default extension added.
        AnswerFileDialog(Dir.filePath(QStringLiteral("saved")), true, asked);
        QTest::mouseClick(p.SaveButton(), Qt::LeftButton);
        EXPECT_EQ(asked, 1);
        EXPECT_TRUE(QFile::exists(Dir.filePath(QStringLiteral("saved.QRP"))));

        // A cancelled dialog changes nothing.
        AnswerFileDialog(QString(), false, asked);
        QTest::mouseClick(p.LoadButton(), Qt::LeftButton);
        EXPECT_EQ(p.PagePanel()->text(), QStringLiteral("Page 1 of 5"));

        QTest::mouseClick(p.NextButton(), Qt::LeftButton);
        QTest::mouseClick(p.NextButton(), Qt::LeftButton);
        AnswerFileDialog(two, false, asked);
        QTest::mouseClick(p.LoadButton(), Qt::LeftButton);
        EXPECT_EQ(p.PagePanel()->text(), QStringLiteral("Page 1 of 2"));
        EXPECT_EQ(p.Preview()->PageNumber(), 1);
        EXPECT_FALSE(p.PrevButton()->isEnabled());
        EXPECT_TRUE(p.NextButton()->isEnabled());

        // A file that will not load is reported; the report on screen stays as it was,
        // on the page it was showing.
        QTest::mouseClick(p.NextButton(), Qt::LeftButton);
        AnswerFileDialog(bad, false, asked);
        QTest::mouseClick(p.LoadButton(), Qt::LeftButton);
        EXPECT_EQ(messages, QStringList{QStringLiteral("%1 is not a report file, or it is damaged.").arg(bad)});
        EXPECT_EQ(p.PagePanel()->text(), QStringLiteral("Page 2 of 2"));
        EXPECT_EQ(p.Preview()->PageNumber(), 2);
        EXPECT_EQ(QRPrinter()->Status(), stFinished);
        EXPECT_EQ(QRPrinter()->PageCount(), 2);
        EXPECT_NE(QRPrinter()->Page(), nullptr);
        EXPECT_TRUE(p.PrevButton()->isEnabled());
        EXPECT_TRUE(p.SaveButton()->isEnabled());
        EXPECT_TRUE(p.LoadButton()->isEnabled());

        // The file saved earlier brings the five pages back.
        AnswerFileDialog(Dir.filePath(QStringLiteral("saved.QRP")), false, asked);
        QTest::mouseClick(p.LoadButton(), Qt::LeftButton);
        EXPECT_EQ(p.PagePanel()->text(), QStringLiteral("Page 1 of 5"));
        EXPECT_TRUE(p.SaveButton()->isEnabled());
        p.ExitClick();
    });
    form.Report->Preview();
    EXPECT_TRUE(ran);
    EXPECT_EQ(asked, 5);
    // The pages the preview ended with are discarded with it.
    EXPECT_EQ(QRPrinter()->Status(), stIdle);
}

// Without a usable printer Print stays disabled. The printer's state cannot come back
// once lost, so this runs in a process of its own.
TEST(StandardPreviewWithoutPrinter, PrintIsDisabled)
{
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("TALLOWMERE_REPORT_NO_PRINTER"), QStringLiteral("1"));
    child.setProcessEnvironment(env);
    child.start(QCoreApplication::applicationFilePath(),
                {QStringLiteral("--gtest_filter=StandardPreviewNoPrinterChild.*")});
    ASSERT_TRUE(child.waitForFinished(120000));
    const QString output = QString::fromUtf8(child.readAllStandardOutput());
    EXPECT_EQ(child.exitCode(), 0) << output.toStdString();
    EXPECT_TRUE(output.contains(QStringLiteral("[  PASSED  ] 1 test"))) << output.toStdString();
}

TEST(StandardPreviewNoPrinterChild, PrintIsDisabled)
{
    if (!qEnvironmentVariableIsSet("TALLOWMERE_REPORT_NO_PRINTER"))
        GTEST_SKIP() << "runs inside StandardPreviewWithoutPrinter only";
    PrinterScope scope(QStringList{});
    // The first look at the printer finds none (the program's list is never empty,
    // it always has "Print to PDF").
    QRPrinter()->ComputeMetrics();
    QRPrinter()->OnPreview = nullptr;
    PagedForm form(2);
    form.Report->SetShowProgress(false);
    bool ran = false;
    WhenShown([&](TQRStandardPreview &p) {
        ran = true;
        EXPECT_FALSE(QRPrinter()->PrinterOK());
        EXPECT_FALSE(p.PrintButton()->isEnabled());
        EXPECT_TRUE(p.SaveButton()->isEnabled());
        EXPECT_EQ(p.PagePanel()->text(), QStringLiteral("Page 1 of 2"));
        p.ExitClick();
    });
    form.Report->Preview();
    EXPECT_TRUE(ran);
}

INSTANTIATE_TEST_SUITE_P(BuiltIn, ReportWindowLayout,
                         ::testing::Values(ReportWindowRow{"StandardPreview",
                                                           [](const std::function<void(QWidget &)> &check) {
                                                               QRPrinter()->OnPreview = nullptr;
                                                               QRPrinter()->SetShowProgress(false);
                                                               PagedForm form(5);
                                                               WhenShown([&](TQRStandardPreview &p) {
                                                                   check(*p.Window());
                                                                   p.ExitClick();
                                                               });
                                                               form.Report->Preview();
                                                               QRPrinter()->SetShowProgress(true);
                                                           }}),
                         ReportWindowName);
