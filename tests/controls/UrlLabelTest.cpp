#include "controls/UrlLabel.h"

#include <QApplication>
#include <QBitmap>
#include <QClipboard>
#include <QDesktopServices>
#include <QMenu>
#include <QPointer>
// Mouse events take the platform's road (window, implicit grab, context menu on the
// right button) instead of going straight to the widget.
#define QTEST_QPA_MOUSE_HANDLING
#include <QTest>
#include <QTimer>
#include <QUrl>

#include <gtest/gtest.h>

#include <memory>

// Takes what the shell would hand to the desktop, through Qt's own per-scheme
// handlers, so no browser or mail program starts.
class LinkRecorder : public QObject {
    Q_OBJECT
public:
    LinkRecorder()
    {
        for (const char *scheme : {"http", "https", "mailto", "file"})
            QDesktopServices::setUrlHandler(QString::fromLatin1(scheme), this, "Open");
    }
    ~LinkRecorder() override
    {
        for (const char *scheme : {"http", "https", "mailto", "file"})
            QDesktopServices::unsetUrlHandler(QString::fromLatin1(scheme));
    }

    QStringList Opened;
    std::function<void()> OnOpen;

public slots:
    void Open(const QUrl &url)
    {
        Opened.append(url.toString());
        if (OnOpen)
            OnOpen();
    }
};

namespace {

class UrlLabelTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        FWindow = std::make_unique<QWidget>();
        FWindow->resize(300, 100);
        FLabel = new TUrlLabel(FWindow.get());
        FLabel->setGeometry(20, 20, 160, 20);
    }
    void TearDown() override { FWindow.reset(); }

    void Show()
    {
        FWindow->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(FWindow.get()));
    }

    // Pixels of the rendered label that are nearest to the given colour.
    static int CountPixels(const QImage &image, const QColor &color)
    {
        int n = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                if (image.pixel(x, y) == color.rgb())
                    ++n;
        return n;
    }

    LinkRecorder FRecorder;
    std::unique_ptr<QWidget> FWindow;
    TUrlLabel *FLabel = nullptr;
};

} // namespace

TEST_F(UrlLabelTest, LooksLikeALinkWithTheHandCursor)
{
    EXPECT_EQ(FLabel->FontColor(), QColor(0, 0, 255));
    EXPECT_EQ(FLabel->ActiveColor(), QColor(128, 0, 128));
    EXPECT_TRUE(FLabel->font().underline());
    EXPECT_TRUE(FLabel->URL().isEmpty());

    const QCursor cursor = FLabel->cursor();
    EXPECT_EQ(cursor.shape(), Qt::BitmapCursor);
    EXPECT_EQ(cursor.hotSpot(), QPoint(5, 0));
    const QImage hand = cursor.pixmap().toImage().convertToFormat(QImage::Format_ARGB32);
    EXPECT_EQ(hand.size(), QSize(32, 32));
    // Monochrome: black, white and transparent only, with the finger tip at the hot spot.
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) {
            const QRgb p = hand.pixel(x, y);
            EXPECT_TRUE(qAlpha(p) == 0 || p == qRgb(0, 0, 0) || p == qRgb(255, 255, 255)) << x << "," << y;
        }
    EXPECT_EQ(hand.pixel(5, 0), qRgb(0, 0, 0));
    EXPECT_EQ(qAlpha(hand.pixel(0, 0)), 0);

    ASSERT_NE(FLabel->PopupMenu(), nullptr);
    ASSERT_EQ(FLabel->PopupMenu()->actions().size(), 1);
    EXPECT_EQ(FLabel->PopupMenu()->actions().first()->text(), QStringLiteral("Copy"));

    FLabel->SetCaption(QStringLiteral("Corvane Software"));
    const QImage image = FLabel->grab().toImage();
    EXPECT_GT(CountPixels(image, QColor(0, 0, 255)), 20) << "the caption is drawn in blue";
}

namespace {

struct ClickRow {
    const char *name;
    const char *url;
    const char *caption;
    const char *opened; // empty: nothing opens
};

class UrlLabelClick : public UrlLabelTest, public ::testing::WithParamInterface<ClickRow> {};

} // namespace

// OnClick comes first, then the address opens: the URL, or else the caption.
TEST_P(UrlLabelClick, OpensTheUrlOrElseTheCaption)
{
    const ClickRow &row = GetParam();
    QStringList events;
    FLabel->SetURL(QString::fromLatin1(row.url));
    FLabel->SetCaption(QString::fromLatin1(row.caption));
    FLabel->OnClick = [&](QObject *sender) {
        EXPECT_EQ(sender, FLabel);
        events.append(QStringLiteral("OnClick"));
    };
    FRecorder.OnOpen = [&] { events.append(QStringLiteral("open")); };
    FLabel->Click();
    FRecorder.OnOpen = nullptr;
    const QString opened = QString::fromLatin1(row.opened);
    EXPECT_EQ(FRecorder.Opened, opened.isEmpty() ? QStringList() : QStringList{opened});
    EXPECT_EQ(events, opened.isEmpty() ? QStringList{QStringLiteral("OnClick")}
                                       : (QStringList{QStringLiteral("OnClick"), QStringLiteral("open")}));
}

INSTANTIATE_TEST_SUITE_P(
    Targets, UrlLabelClick,
    ::testing::Values(
        ClickRow{"Url", "https://www.corvane.example/", "www.corvane.example", "https://www.corvane.example/"},
        ClickRow{"CaptionWithoutUrl", "", "https://www.corvane.example/suggest.htm",
                 "https://www.corvane.example/suggest.htm"},
        ClickRow{"MailCaptionBlankUrl", "   ", "mailto:comments@corvane.example", "mailto:comments@corvane.example"},
        ClickRow{"MailUrl", "mailto:support@corvane.example", "emailSupport", "mailto:support@corvane.example"},
        // A bare host name is a web page.
        ClickRow{"BareHostCaption", "", "www.corvane.example", "http://www.corvane.example"},
        ClickRow{"Nothing", "", "", ""}, ClickRow{"OnlyBlanks", "  ", "   ", ""}),
    [](const ::testing::TestParamInfo<ClickRow> &info) { return std::string(info.param.name); });

TEST_F(UrlLabelTest, AHiddenLabelStillOpensItsTargetWhenClickedByCode)
{
    FLabel->hide();
    FLabel->SetURL(QStringLiteral("https://www.corvane.example/freeware.htm"));
    FLabel->SetCaption(QStringLiteral("freeware.htm"));
    FLabel->Click();
    EXPECT_EQ(FRecorder.Opened, QStringList{QStringLiteral("https://www.corvane.example/freeware.htm")});
}

TEST_F(UrlLabelTest, OnClickMayDestroyTheLabel)
{
    FLabel->SetURL(QStringLiteral("https://www.corvane.example/"));
    QPointer<TUrlLabel> guard(FLabel);
    FLabel->OnClick = [this](QObject *) { delete FLabel; };
    FLabel->Click();
    EXPECT_TRUE(guard.isNull());
    EXPECT_TRUE(FRecorder.Opened.isEmpty());
}

TEST_F(UrlLabelTest, TheLeftButtonShowsTheActiveColourUntilReleased)
{
    FLabel->SetCaption(QStringLiteral("Corvane Software"));
    FLabel->SetURL(QStringLiteral("https://www.corvane.example/"));
    FLabel->SetFontColor(QColor(0, 0, 0));
    FLabel->SetActiveColor(QColor(0, 0, 255));
    Show();

    QTest::mousePress(FLabel, Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_EQ(FLabel->FontColor(), QColor(0, 0, 255));
    EXPECT_GT(CountPixels(FLabel->grab().toImage(), QColor(0, 0, 255)), 20);
    QTest::mouseRelease(FLabel, Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_EQ(FLabel->FontColor(), QColor(0, 0, 0));
    EXPECT_EQ(FRecorder.Opened, QStringList{QStringLiteral("https://www.corvane.example/")});

    // Released off the label: the colour comes back, nothing opens.
    FRecorder.Opened.clear();
    QTest::mousePress(FLabel, Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_EQ(FLabel->FontColor(), QColor(0, 0, 255));
    QTest::mouseRelease(FLabel, Qt::LeftButton, {}, QPoint(200, 60));
    EXPECT_EQ(FLabel->FontColor(), QColor(0, 0, 0));
    EXPECT_TRUE(FRecorder.Opened.isEmpty());

    // The middle button changes nothing.
    QTest::mousePress(FLabel, Qt::MiddleButton, {}, QPoint(10, 10));
    EXPECT_EQ(FLabel->FontColor(), QColor(0, 0, 0));
    QTest::mouseRelease(FLabel, Qt::MiddleButton, {}, QPoint(10, 10));
    EXPECT_TRUE(FRecorder.Opened.isEmpty());
}

TEST_F(UrlLabelTest, TheRightButtonOpensTheCopyMenuWhichCopiesTheCaption)
{
    FLabel->SetCaption(QStringLiteral("Corvane Software"));
    FLabel->SetURL(QStringLiteral("https://www.corvane.example/"));
    Show();

    QGuiApplication::clipboard()->setText(QStringLiteral("before"));
    QTest::mouseClick(FLabel, Qt::RightButton, {}, QPoint(10, 10));
    EXPECT_EQ(FLabel->FontColor(), QColor(0, 0, 255)) << "no colour change on a right click";
    for (int i = 0; i < 200 && !FLabel->PopupMenu()->isVisible(); ++i)
        QTest::qWait(10);
    ASSERT_TRUE(FLabel->PopupMenu()->isVisible());
    EXPECT_TRUE(FRecorder.Opened.isEmpty());

    FLabel->PopupMenu()->actions().first()->trigger();
    FLabel->PopupMenu()->hide();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("Corvane Software"));
    EXPECT_TRUE(FRecorder.Opened.isEmpty());
}

TEST_F(UrlLabelTest, HintGoesToTheStatusTipAndToTheTooltipOnlyWhenShown)
{
    FLabel->SetHint(QStringLiteral(" Click to visit our website ..."));
    EXPECT_EQ(FLabel->statusTip(), QStringLiteral(" Click to visit our website ..."));
    EXPECT_TRUE(FLabel->toolTip().isEmpty());
    FLabel->SetShowHint(true);
    EXPECT_EQ(FLabel->toolTip(), QStringLiteral(" Click to visit our website ..."));
    FLabel->SetShowHint(false);
    EXPECT_TRUE(FLabel->toolTip().isEmpty());
}

#include "UrlLabelTest.moc"

namespace {

struct GestureRow {
    const char *name;
    bool doubleClick;
};

class UrlLabelGesture : public UrlLabelTest, public ::testing::WithParamInterface<GestureRow> {};

} // namespace

// A click and a double click are each one gesture: the page (or mail) opens once, and
// the colour is the label's own again afterwards.
TEST_P(UrlLabelGesture, OpensTheTargetOnce)
{
    FLabel->SetCaption(QStringLiteral("Corvane Software"));
    FLabel->SetURL(QStringLiteral("mailto:support@corvane.example"));
    FLabel->SetFontColor(QColor(0, 0, 0));
    Show();
    if (GetParam().doubleClick)
        QTest::mouseDClick(FLabel, Qt::LeftButton, {}, QPoint(10, 10));
    else
        QTest::mouseClick(FLabel, Qt::LeftButton, {}, QPoint(10, 10));
    QApplication::processEvents();
    EXPECT_EQ(FRecorder.Opened, QStringList{QStringLiteral("mailto:support@corvane.example")});
    EXPECT_EQ(FLabel->FontColor(), QColor(0, 0, 0));
}

INSTANTIATE_TEST_SUITE_P(Gestures, UrlLabelGesture,
                         ::testing::Values(GestureRow{"Click", false}, GestureRow{"DoubleClick", true}),
                         [](const ::testing::TestParamInfo<GestureRow> &info) { return std::string(info.param.name); });
