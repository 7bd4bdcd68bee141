#include "ReportTestSupport.h"
#include "WindowLayout.h"

#include "controls/ExplorerButton.h"
#include "controls/Panel.h"
#include "platform/gui/Application.h"
#include "platform/gui/HelpViewer.h"
#include "report/Preview.h"
#include "report/QRPreview.h"
#include "report/QRPrinter.h"

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QProgressBar>
#include <QScreen>
#include <QScrollBar>
#include <QTest>
#include <QTimer>
#include <QWindow>
#include <gtest/gtest.h>

#include <algorithm>

namespace {

void RecordPages(int count)
{
    TQRPrinter *printer = QRPrinter();
    printer->BeginDoc();
    for (int page = 1; page <= count; ++page) {
        if (page > 1)
            printer->NewPage();
        QFont font(QStringLiteral("Liberation Sans"));
        font.setPixelSize(60);
        printer->Canvas()->setFont(font);
        printer->Canvas()->drawText(QPointF(400, 400), QStringLiteral("Sheet %1").arg(page));
    }
    printer->EndDoc();
}

// The state the window shows: page, label, and which of prev/next are enabled.
struct Shown {
    int Page;
    QString Label;
    bool Prev;
    bool Next;
    bool operator==(const Shown &o) const
    {
        return Page == o.Page && Label == o.Label && Prev == o.Prev && Next == o.Next;
    }
};

std::ostream &operator<<(std::ostream &os, const Shown &s)
{
    return os << "page " << s.Page << " '" << s.Label.toStdString() << "' prev " << s.Prev << " next " << s.Next;
}

Shown StateOf(TfrmPreview &w)
{
    return {w.QRPreview1->PageNumber(), w.Label1->text(), w.bbPrev->Enabled(), w.bbNext->Enabled()};
}

class PreviewWindow : public ::testing::Test {
protected:
    void Open(int pages)
    {
        ASSERT_TRUE(QRPrinter()->PrinterOK());
        RecordPages(pages);
        Window = std::make_unique<TfrmPreview>();
        Window->show();
        QApplication::processEvents();
        Window->FormActivate();
    }
    void TearDown() override
    {
        if (Window)
            Window->close();
        Window.reset();
        QRPrinter()->ClearPages();
    }
    void Key(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QTest::keyClick(Window->QRPreview1, Qt::Key(key), modifiers);
    }
    PrinterScope Scope;
    std::unique_ptr<TfrmPreview> Window;
};

} // namespace

// The geometry is one of the window invariants; here the texts the design gives.
TEST_F(PreviewWindow, TitleCaptionsAndHints)
{
    Open(3);
    TfrmPreview &w = *Window;
    EXPECT_EQ(w.windowTitle(), QStringLiteral("Print Preview - Tallowmere Calculator - Corvane Software"));
    EXPECT_TRUE(w.isMaximized());
    // Sized to the work area by the window itself, so that a window manager that does not
    // maximise (or none at all) still leaves a page to read.
    EXPECT_EQ(w.normalGeometry().size(), WorkAreaClient(w));
    const QList<TExplorerButton *> buttons = {w.bbPrev,  w.bbNext,  w.bbZoomOut, w.bbZoomIn,
                                              w.bbZoomW, w.bbPrint, w.bbClose};
    QStringList captions, hints;
    for (TExplorerButton *button : buttons) {
        captions << button->Caption();
        hints << button->Hint();
    }
    EXPECT_EQ(captions, (QStringList{"", "", " Zoom &Out", " &100%", " Zoom &in", " &Print", " &Close"}));
    EXPECT_EQ(hints, (QStringList{"Displays previous page", "Displays next page", "Fits the full page into the window",
                                  "Displays page at actual size", "Fits the width of the page into the window",
                                  "Prints the document", "Exit print preview"}));
    EXPECT_TRUE(std::all_of(buttons.begin(), buttons.end(), [](TExplorerButton *b) { return !b->Bitmap().isNull(); }));
}

TEST_F(PreviewWindow, ShowStartsOnPageOneAtActualSize)
{
    Open(3);
    TfrmPreview &w = *Window;
    EXPECT_EQ(StateOf(w), (Shown{1, QStringLiteral("Page 1 of 3"), false, true}));
    EXPECT_EQ(w.QRPreview1->Zoom(), 100);
    EXPECT_FALSE(w.bbZoomIn->Enabled());
    EXPECT_TRUE(w.bbZoomOut->Enabled());
    EXPECT_TRUE(w.bbZoomW->Enabled());
}

TEST_F(PreviewWindow, PageKeysOnThreePages)
{
    Open(3);
    TfrmPreview &w = *Window;
    const Shown first{1, QStringLiteral("Page 1 of 3"), false, true};
    const Shown second{2, QStringLiteral("Page 2 of 3"), true, true};
    const Shown last{3, QStringLiteral("Page 3 of 3"), true, false};
    const struct {
        int Key;
        Qt::KeyboardModifiers Modifiers;
        Shown Expected;
    } rows[] = {
        {Qt::Key_PageDown, Qt::NoModifier, second},
        {Qt::Key_PageDown, Qt::NoModifier, last},
        {Qt::Key_PageDown, Qt::NoModifier, last},
        {Qt::Key_End, Qt::NoModifier, last},
        {Qt::Key_Home, Qt::NoModifier, first},
        {Qt::Key_Home, Qt::NoModifier, first},
        {Qt::Key_PageUp, Qt::NoModifier, first},
        {Qt::Key_End, Qt::NoModifier, last},
        {Qt::Key_PageUp, Qt::NoModifier, second},
        {Qt::Key_PageUp, Qt::ControlModifier, first},
        {Qt::Key_PageDown, Qt::ControlModifier, last},
        {Qt::Key_Home, Qt::ShiftModifier, first},
        // Ctrl with Shift is not Ctrl alone: one page on, as Page Down.
        {Qt::Key_PageDown, Qt::ControlModifier | Qt::ShiftModifier, second},
        {Qt::Key_PageUp, Qt::ControlModifier | Qt::ShiftModifier, first},
    };
    int row = 0;
    for (const auto &r : rows) {
        Key(r.Key, r.Modifiers);
        EXPECT_EQ(StateOf(w), r.Expected) << "row " << row;
        EXPECT_EQ(QRPrinter()->CurrentPage(), r.Expected.Page) << "row " << row;
        ++row;
    }
}

TEST_F(PreviewWindow, OnePageChangesNothing)
{
    Open(1);
    TfrmPreview &w = *Window;
    const Shown only{1, QStringLiteral("Page 1 of 1"), false, false};
    EXPECT_EQ(StateOf(w), only);
    for (int key : {Qt::Key_PageDown, Qt::Key_PageUp, Qt::Key_Home, Qt::Key_End}) {
        Key(key);
        Key(key, Qt::ControlModifier);
        EXPECT_EQ(StateOf(w), only);
    }
    QTest::mouseClick(w.bbNext, Qt::LeftButton);
    EXPECT_EQ(StateOf(w), only);
}

TEST_F(PreviewWindow, PagingButtons)
{
    Open(3);
    TfrmPreview &w = *Window;
    QTest::mouseClick(w.bbNext, Qt::LeftButton);
    EXPECT_EQ(StateOf(w), (Shown{2, QStringLiteral("Page 2 of 3"), true, true}));
    QTest::mouseClick(w.bbNext, Qt::LeftButton);
    EXPECT_EQ(StateOf(w), (Shown{3, QStringLiteral("Page 3 of 3"), true, false}));
    // A disabled button does nothing.
    QTest::mouseClick(w.bbNext, Qt::LeftButton);
    EXPECT_EQ(StateOf(w), (Shown{3, QStringLiteral("Page 3 of 3"), true, false}));
    QTest::mouseClick(w.bbPrev, Qt::LeftButton);
    QTest::mouseClick(w.bbPrev, Qt::LeftButton);
    EXPECT_EQ(StateOf(w), (Shown{1, QStringLiteral("Page 1 of 3"), false, true}));
}

TEST_F(PreviewWindow, ZoomButtonsAndResizing)
{
    Open(2);
    TfrmPreview &w = *Window;
    TQRPreview &preview = *w.QRPreview1;
    const TQRPrinter *p = QRPrinter();
    auto fit = [&] {
        return std::min(QRRound(preview.width() / double(p->SheetWidth()) * 95),
                        QRRound(preview.height() / double(p->SheetHeight()) * 95));
    };
    QTest::mouseClick(w.bbZoomOut, Qt::LeftButton);
    EXPECT_EQ(preview.Zoom(), fit());
    EXPECT_FALSE(w.bbZoomOut->Enabled());
    EXPECT_TRUE(w.bbZoomIn->Enabled());
    EXPECT_TRUE(w.bbZoomW->Enabled());

    // While fitting, a new window size fits again.
    w.showNormal();
    w.resize(500, 400);
    QApplication::processEvents();
    EXPECT_EQ(preview.height(), 370);
    EXPECT_EQ(preview.Zoom(), fit());
    EXPECT_EQ(w.bbClose->x(), 500 - 76);
    EXPECT_EQ(w.bbPrint->x(), 500 - 144);

    QTest::mouseClick(w.bbZoomW, Qt::LeftButton);
    EXPECT_EQ(preview.Zoom(), QRRound(500.0 / p->SheetWidth() * 98));
    EXPECT_FALSE(w.bbZoomW->Enabled());
    EXPECT_TRUE(w.bbZoomOut->Enabled());
    EXPECT_TRUE(w.bbZoomIn->Enabled());
    w.resize(600, 400);
    QApplication::processEvents();
    EXPECT_EQ(preview.Zoom(), QRRound(600.0 / p->SheetWidth() * 98));

    QTest::mouseClick(w.bbZoomIn, Qt::LeftButton);
    EXPECT_EQ(preview.Zoom(), 100);
    EXPECT_FALSE(w.bbZoomIn->Enabled());
    EXPECT_TRUE(w.bbZoomOut->Enabled());
    EXPECT_TRUE(w.bbZoomW->Enabled());
    w.resize(450, 350);
    QApplication::processEvents();
    EXPECT_EQ(preview.Zoom(), 100);

    // Arrow keys scroll by 50 pixels.
    QScrollBar *vertical = preview.verticalScrollBar();
    QScrollBar *horizontal = preview.horizontalScrollBar();
    ASSERT_GT(vertical->maximum(), 100);
    ASSERT_GT(horizontal->maximum(), 100);
    Key(Qt::Key_Down);
    Key(Qt::Key_Down);
    EXPECT_EQ(vertical->value(), 100);
    Key(Qt::Key_Up);
    EXPECT_EQ(vertical->value(), 50);
    Key(Qt::Key_Right);
    EXPECT_EQ(horizontal->value(), 50);
    Key(Qt::Key_Left);
    Key(Qt::Key_Left);
    EXPECT_EQ(horizontal->value(), 0);
    // Esc does not close the window.
    Key(Qt::Key_Escape);
    EXPECT_TRUE(w.isVisible());
}

TEST_F(PreviewWindow, PrintSendsEveryPageAndCloses)
{
    Open(3);
    TfrmPreview &w = *Window;
    Key(Qt::Key_End);
    QTest::mouseClick(w.bbPrint, Qt::LeftButton);
    EXPECT_FALSE(w.isVisible());
    EXPECT_EQ(Scope.Asked, 1);
    EXPECT_EQ(PdfPageCount(Scope.NextFile), 3);
    const QString text = PdfText(Scope.NextFile);
    EXPECT_LT(text.indexOf(QStringLiteral("Sheet 1")), text.indexOf(QStringLiteral("Sheet 3")));
    EXPECT_EQ(w.Tag(), 1);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    // Closing went back to page 1.
    EXPECT_EQ(w.QRPreview1->PageNumber(), 1);
    EXPECT_FALSE(w.bbPrev->Enabled());
    EXPECT_EQ(QRPrinter()->CurrentPage(), 1);
}

TEST_F(PreviewWindow, CopiesFromTheTag)
{
    Open(1);
    TfrmPreview &w = *Window;
    w.SetTag(3);
    int jobs = 0;
    Printers::SetOnAskFileName([&](QString &fileName) {
        fileName = Scope.Dir.filePath(QStringLiteral("copy%1.pdf").arg(++jobs));
        return true;
    });
    w.bbPrintClick();
    EXPECT_EQ(jobs, 3);
    EXPECT_EQ(w.Tag(), 1);
}

TEST_F(PreviewWindow, ModalShowingEndsWithCloseAndTheNextStartsClean)
{
    RecordPages(3);
    TfrmPreview w;
    QTimer::singleShot(0, &w, [&w] {
        QTest::keyClick(w.QRPreview1, Qt::Key_End);
        QTest::mouseClick(w.bbZoomW, Qt::LeftButton);
        w.QRPreview1->verticalScrollBar()->setValue(80);
        QTest::mouseClick(w.bbClose, Qt::LeftButton);
    });
    w.exec();
    QApplication::processEvents();
    EXPECT_FALSE(w.isVisible());
    EXPECT_EQ(w.QRPreview1->PageNumber(), 1);
    EXPECT_FALSE(w.bbPrev->Enabled());
    EXPECT_EQ(w.QRPreview1->verticalScrollBar()->value(), 0);

    // The next showing: page 1 at 100 %, buttons as at the start.
    Shown seen{};
    int zoom = 0;
    QTimer::singleShot(0, &w, [&] {
        seen = StateOf(w);
        zoom = w.QRPreview1->Zoom();
        w.bbCloseClick();
    });
    w.exec();
    EXPECT_EQ(seen, (Shown{1, QStringLiteral("Page 1 of 3"), false, true}));
    EXPECT_EQ(zoom, 100);
    QRPrinter()->ClearPages();
}

namespace {

struct PrintToFileRow {
    const char *name;
    bool decline;
};

class PrintToFile : public PreviewWindow, public ::testing::WithParamInterface<PrintToFileRow> {};

bool ProgressWindowShown()
{
    for (QWidget *top : QApplication::topLevelWidgets()) {
        if (top->isVisible() && top->findChild<QProgressBar *>())
            return true;
    }
    return false;
}

} // namespace

// The file name is asked before anything shows progress; declining it cancels the print
// and keeps the preview open where the user was, giving it prints and closes.
TEST_P(PrintToFile, AsksFirstAndClosesOnlyAfterPrinting)
{
    Open(3);
    TfrmPreview &w = *Window;
    Key(Qt::Key_PageDown);
    bool progressWhileAsking = true;
    Printers::SetOnAskFileName([&](QString &fileName) {
        progressWhileAsking = ProgressWindowShown();
        fileName = Scope.Dir.filePath(QStringLiteral("chosen.pdf"));
        return !GetParam().decline;
    });
    QTest::mouseClick(w.bbPrint, Qt::LeftButton);
    QApplication::processEvents();
    EXPECT_FALSE(progressWhileAsking);
    EXPECT_FALSE(ProgressWindowShown());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    const bool declined = GetParam().decline;
    EXPECT_EQ(w.isVisible(), declined);
    EXPECT_EQ(QFile::exists(Scope.Dir.filePath(QStringLiteral("chosen.pdf"))), !declined);
    EXPECT_EQ(w.QRPreview1->PageNumber(), declined ? 2 : 1);
    EXPECT_EQ(QRPrinter()->Status(), stFinished);
}

INSTANTIATE_TEST_SUITE_P(Answers, PrintToFile,
                         ::testing::Values(PrintToFileRow{"Declined", true}, PrintToFileRow{"Given", false}),
                         [](const ::testing::TestParamInfo<PrintToFileRow> &info) {
                             return std::string(info.param.name);
                         });

// F1 in the modal preview opens the topic of its help context, in a help window that takes
// the keyboard while the preview is still up.
TEST(PreviewWindowHelp, F1ShowsThePreviewTopicInAHelpWindowThatTakesKeys)
{
    Application *app = Application::Instance();
    const QString helpBefore = app->HelpFile();
    app->SetHelpFile(QStringLiteral(TALLOWMERE_SOURCE_DIR "/help/tlm.hlp"));
    PrinterScope scope;
    RecordPages(2);
    TfrmPreview w;
    QString topic;
    QString typed;
    bool previewUp = false;
    QTimer::singleShot(0, &w, [&] {
        QTest::keyClick(w.QRPreview1, Qt::Key_F1);
        QPointer<HelpViewer> viewer = HelpViewer::Current();
        if (viewer) {
            topic = viewer->CurrentTopicId();
            viewer->ShowIndex();
            viewer->SearchField()->clear();
            QApplication::setActiveWindow(viewer);
            // Through the window system's road, where a window a modal one blocks gets nothing.
            for (char c : std::string("pre"))
                QTest::keyClick(viewer->windowHandle(), c);
            typed = viewer->SearchField()->text();
            previewUp = w.isVisible();
            viewer->close();
        }
        w.bbCloseClick();
    });
    w.exec();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    app->SetHelpFile(helpBefore);
    QRPrinter()->ClearPages();
    EXPECT_EQ(topic, QStringLiteral("preview"));
    EXPECT_EQ(typed, QStringLiteral("pre"));
    EXPECT_TRUE(previewUp);
}

// Without a window manager the window may never be activated: it takes the work area as
// it is shown all the same.
TEST(PreviewWindowShown, TakesTheWorkAreaWithoutAnActivation)
{
    PrinterScope scope;
    RecordPages(1);
    TfrmPreview w;
    w.setAttribute(Qt::WA_ShowWithoutActivating);
    w.show();
    const QRect area = w.screen()->availableGeometry().marginsRemoved(w.windowHandle()->frameMargins());
    EXPECT_EQ(w.normalGeometry(), area);
    EXPECT_EQ(w.bbClose->x(), area.width() - 76);
    w.close();
    QRPrinter()->ClearPages();
}

INSTANTIATE_TEST_SUITE_P(Calculator, ReportWindowLayout,
                         ::testing::Values(ReportWindowRow{"PrintPreview",
                                                           [](const std::function<void(QWidget &)> &check) {
                                                               RecordPages(3);
                                                               TfrmPreview w;
                                                               w.show();
                                                               QApplication::processEvents();
                                                               w.FormActivate();
                                                               check(w);
                                                               w.close();
                                                           }}),
                         ReportWindowName);
