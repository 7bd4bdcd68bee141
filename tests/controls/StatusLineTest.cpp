#include "controls/Nstatln.h"

#include "platform/core/FormatSettings.h"
#include "platform/core/Formatting.h"
#include "platform/gui/Application.h"

#include <QLabel>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <memory>

namespace {

// Keeps the process-wide regional settings and hint receiver as each test found them.
class StatusLineTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        FSavedSettings = FormatSettings();
        FSavedOnHint = Application::Instance()->OnHint;
        Application::Instance()->OnHint = nullptr;
        TFormatSettings fs = UnitedStatesFormatSettings();
        fs.ShortDateFormat = QStringLiteral("M/d/yyyy");
        fs.LongDateFormat = QStringLiteral("dddd, MMMM dd, yyyy");
        fs.ShortTimeFormat = QStringLiteral("h:mm AMPM");
        fs.LongTimeFormat = QStringLiteral("h:mm:ss AMPM");
        SetFormatSettings(fs);
        FWindow = std::make_unique<QWidget>();
        FWindow->resize(402, 335);
    }

    void TearDown() override
    {
        FWindow.reset();
        // The test's own receivers are gone by now: put the saved one back first.
        Application::Instance()->OnHint = FSavedOnHint;
        Application::Instance()->SetHint(QString());
        SetFormatSettings(FSavedSettings);
    }

    static void Tick(TNStatusLine &line)
    {
        QTimer *timer = line.findChild<QTimer *>();
        ASSERT_NE(timer, nullptr);
        QMetaObject::invokeMethod(timer, "timeout");
    }

    static QTimer *Timer(TNStatusLine &line) { return line.findChild<QTimer *>(); }

    // The clock may pass a second boundary between our reading and the control's.
    static bool ClockReads(const QString &text, const QString &format, const QDateTime &before, const QDateTime &after)
    {
        return text == format.arg(FormatDateTime(QStringLiteral("ddddd"), before),
                                  FormatDateTime(QStringLiteral("tt"), before)) ||
               text == format.arg(FormatDateTime(QStringLiteral("ddddd"), after),
                                  FormatDateTime(QStringLiteral("tt"), after));
    }

    TFormatSettings FSavedSettings;
    std::function<void()> FSavedOnHint;
    std::unique_ptr<QWidget> FWindow;
};

// Caption box from the left margin to Space before the clock box; clock box at the
// right margin; both VertMargin from the top and bottom.
void ExpectLayout(const TNStatusLine &line)
{
    const int w = line.width(), h = line.height();
    const QRect clock = line.ClockBox()->geometry();
    const QRect caption = line.CaptionBox()->geometry();
    EXPECT_EQ(clock.top(), line.VertMargin());
    EXPECT_EQ(clock.height(), h - 2 * line.VertMargin());
    EXPECT_EQ(clock.left(), w - line.HorizMargin() - clock.width());
    EXPECT_EQ(caption.left(), line.HorizMargin());
    EXPECT_EQ(caption.top(), line.VertMargin());
    EXPECT_EQ(caption.height(), h - 2 * line.VertMargin());
    if (clock.width() <= 0)
        EXPECT_EQ(caption.width(), w - 2 * line.HorizMargin());
    else
        EXPECT_EQ(caption.width(), clock.left() - line.Space() - line.HorizMargin());
}

} // namespace

TEST_F(StatusLineTest, CreationDocksToTheBottomAndStartsTheClock)
{
    TNStatusLine line(FWindow.get());
    // Hidden widgets get their resize events only when shown.
    FWindow->show();
    EXPECT_EQ(line.parentWidget(), FWindow.get());
    EXPECT_EQ(line.geometry().bottom(), FWindow->rect().bottom());
    EXPECT_EQ(line.width(), FWindow->width());
    EXPECT_EQ(line.focusPolicy(), Qt::NoFocus);
    EXPECT_TRUE(line.NeedsMeasure());

    // Before the first tick the clock box holds a sample date and time without the
    // extra blanks.
    const QDateTime now = QDateTime::currentDateTime();
    const int sample = line.fontMetrics().horizontalAdvance(
        FormatDateTime(QStringLiteral("ddddd"), now) + QLatin1Char(' ') + FormatDateTime(QStringLiteral("tt"), now));
    EXPECT_NEAR(line.ClockBox()->width(), sample, line.fontMetrics().horizontalAdvance(QStringLiteral("0")));
    ExpectLayout(line);

    QTimer *timer = Timer(line);
    ASSERT_NE(timer, nullptr);
    EXPECT_TRUE(timer->isActive());
    EXPECT_EQ(timer->interval(), 1000);

    // The owner's resizing carries the docked strip with it and lays the boxes out.
    const int height = line.height();
    FWindow->resize(500, 300);
    EXPECT_EQ(line.geometry(), QRect(0, 300 - height, 500, height));
    ExpectLayout(line);
}

TEST_F(StatusLineTest, BevelsAreDrawnRaisedOutsideAndLoweredAroundTheBoxes)
{
    TNStatusLine line(FWindow.get());
    const QImage image = line.grab().toImage();
    const QRgb light = line.palette().color(QPalette::Light).rgb();
    const QRgb dark = line.palette().color(QPalette::Dark).rgb();
    const QRgb face = line.palette().color(QPalette::Button).rgb();
    EXPECT_EQ(image.pixel(0, 0), light);
    EXPECT_EQ(image.pixel(0, 12), light);
    EXPECT_EQ(image.pixel(100, 0), light);
    EXPECT_EQ(image.pixel(line.width() - 1, 12), dark);
    EXPECT_EQ(image.pixel(100, line.height() - 1), dark);
    EXPECT_EQ(image.pixel(1, 1), face);
    // The caption box starts 3 pixels in; its bevel is lowered: shadow top-left.
    EXPECT_EQ(image.pixel(3, 3), dark);
    EXPECT_EQ(image.pixel(3, 10), dark);
    EXPECT_EQ(image.pixel(20, 3), dark);
    const QRect caption = line.CaptionBox()->geometry();
    EXPECT_EQ(image.pixel(caption.right(), 10), light);
    EXPECT_EQ(image.pixel(20, caption.bottom()), light);
    EXPECT_EQ(image.pixel(2, 2), face);
}

TEST_F(StatusLineTest, ClockShowsDateAndTimeAndIsMeasuredOnlyWhenNeeded)
{
    TNStatusLine line(FWindow.get());
    const QDateTime before = QDateTime::currentDateTime();
    line.SetShowDate(true);
    const QDateTime after = QDateTime::currentDateTime();
    const QString text = line.ClockBox()->Caption();
    EXPECT_TRUE(ClockReads(text, QStringLiteral("%1 %2"), before, after)) << text.toStdString();
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^\\d{1,2}/\\d{1,2}/\\d{4} \\d{1,2}:\\d{2}:\\d{2} (AM|PM)$"))
                    .match(text)
                    .hasMatch())
        << text.toStdString();
    EXPECT_FALSE(line.NeedsMeasure());
    const int measured = line.fontMetrics().horizontalAdvance(QStringLiteral("  ") + text + QStringLiteral("  "));
    EXPECT_EQ(line.ClockBox()->width(), measured);
    ExpectLayout(line);

    // A longer time format does not widen the box until something asks for a measure.
    TFormatSettings fs = FormatSettings();
    fs.LongTimeFormat = QStringLiteral("hh:mm:ss 'o clock' AMPM");
    SetFormatSettings(fs);
    Tick(line);
    EXPECT_TRUE(line.ClockBox()->Caption().contains(QStringLiteral("o clock")))
        << line.ClockBox()->Caption().toStdString();
    EXPECT_EQ(line.ClockBox()->width(), measured);

    line.SetSpace(8);
    EXPECT_TRUE(line.NeedsMeasure());
    Tick(line);
    EXPECT_FALSE(line.NeedsMeasure());
    const QString longer = line.ClockBox()->Caption();
    EXPECT_EQ(line.ClockBox()->width(),
              line.fontMetrics().horizontalAdvance(QStringLiteral("  ") + longer + QStringLiteral("  ")));
    ExpectLayout(line);
}

TEST_F(StatusLineTest, ShowDateShowTimeAndFormatsChooseTheClockText)
{
    struct Row {
        bool showDate, showTime;
        TFormatDate formatDate;
        TFormatTime formatTime;
        QString pattern;
    };
    const QString shortDate = QStringLiteral("\\d{1,2}/\\d{1,2}/\\d{4}");
    const QString longDate = QStringLiteral("[A-Z][a-z]+day, [A-Z][a-z]+ \\d{2}, \\d{4}");
    const QString longTime = QStringLiteral("\\d{1,2}:\\d{2}:\\d{2} (AM|PM)");
    const QString shortTime = QStringLiteral("\\d{1,2}:\\d{2} (AM|PM)");
    const Row rows[] = {
        {true, true, fdShort, ftFull, shortDate + QLatin1Char(' ') + longTime},
        {true, false, fdShort, ftFull, shortDate},
        {false, true, fdShort, ftFull, longTime},
        {true, true, fdFull, ftShort, longDate + QLatin1Char(' ') + shortTime},
        {false, true, fdFull, ftShort, shortTime},
        {true, false, fdFull, ftShort, longDate},
        {false, false, fdFull, ftFull, QString()},
    };
    for (const Row &row : rows) {
        TNStatusLine line(FWindow.get());
        line.SetFormatDate(row.formatDate);
        line.SetFormatTime(row.formatTime);
        line.SetShowDate(row.showDate);
        line.SetShowTime(row.showTime);
        const QString text = line.ClockBox()->Caption();
        EXPECT_TRUE(QRegularExpression(QLatin1Char('^') + row.pattern + QLatin1Char('$')).match(text).hasMatch())
            << "date " << row.showDate << " time " << row.showTime << ": " << text.toStdString();
        if (!row.showDate && !row.showTime)
            EXPECT_EQ(line.ClockBox()->width(), 0);
        else
            EXPECT_EQ(line.ClockBox()->width(),
                      line.fontMetrics().horizontalAdvance(QStringLiteral("  ") + text + QStringLiteral("  ")));
        ExpectLayout(line);
    }
}

TEST_F(StatusLineTest, FormatChangesWaitForTheNextTick)
{
    TNStatusLine line(FWindow.get());
    Tick(line);
    const QString shortText = line.ClockBox()->Caption();
    line.SetFormatDate(fdFull);
    EXPECT_TRUE(line.NeedsMeasure());
    EXPECT_EQ(line.ClockBox()->Caption().size(), shortText.size());
    Tick(line);
    EXPECT_TRUE(line.ClockBox()->Caption().contains(QStringLiteral("day, ")))
        << line.ClockBox()->Caption().toStdString();
    EXPECT_FALSE(line.NeedsMeasure());

    // Setting the same format again is no change and asks for no measure.
    line.SetFormatDate(fdFull);
    line.SetFormatTime(ftFull);
    EXPECT_FALSE(line.NeedsMeasure());
    line.SetFormatTime(ftShort);
    EXPECT_TRUE(line.NeedsMeasure());
}

TEST_F(StatusLineTest, MarginsAndFontAskForAMeasureAndApplyAtTheNextUpdate)
{
    TNStatusLine line(FWindow.get());
    FWindow->show();
    Tick(line);
    line.SetVertMargin(1);
    line.SetHorizMargin(1);
    EXPECT_TRUE(line.NeedsMeasure());
    Tick(line);
    EXPECT_EQ(line.CaptionBox()->geometry().topLeft(), QPoint(1, 1));
    ExpectLayout(line);

    QFont bigger = line.font();
    bigger.setPixelSize(15);
    line.setFont(bigger);
    EXPECT_TRUE(line.NeedsMeasure());
    Tick(line);
    const QString text = line.ClockBox()->Caption();
    EXPECT_EQ(line.ClockBox()->width(),
              QFontMetrics(bigger).horizontalAdvance(QStringLiteral("  ") + text + QStringLiteral("  ")));

    // A resize re-lays out at once, without a tick.
    line.resize(300, 22);
    ExpectLayout(line);
}

TEST_F(StatusLineTest, IntervalRoundsToWholeSecondsAboveOneSecond)
{
    struct Row {
        int interval;
        int timerPeriod;
        int ticksPerRun;
    };
    const Row rows[] = {
        {1000, 1000, 1}, {500, 500, 1},   {100, 100, 1},   {1499, 1000, 1},
        {1500, 1000, 2}, {2400, 1000, 2}, {2500, 1000, 3}, {10000, 1000, 10},
    };
    for (const Row &row : rows) {
        TNStatusLine line(FWindow.get());
        int runs = 0;
        line.OnTimerRun = [&](QObject *sender) {
            EXPECT_EQ(sender, &line);
            ++runs;
        };
        // Start from a value different from the one under test, so it is a change.
        line.SetInterval(row.interval == 1000 ? 900 : 1000);
        line.SetInterval(quint16(row.interval));
        EXPECT_EQ(line.Interval(), row.interval);
        EXPECT_EQ(Timer(line)->interval(), row.timerPeriod);
        EXPECT_TRUE(Timer(line)->isActive());
        for (int tick = 1; tick <= 3 * row.ticksPerRun; ++tick) {
            Tick(line);
            EXPECT_EQ(runs, tick / row.ticksPerRun) << "interval " << row.interval << " tick " << tick;
        }
    }
}

TEST_F(StatusLineTest, IntervalBelow100OrUnchangedIsIgnored)
{
    TNStatusLine line(FWindow.get());
    line.SetInterval(50);
    EXPECT_EQ(line.Interval(), 1000);
    EXPECT_EQ(Timer(line)->interval(), 1000);
    line.SetInterval(99);
    EXPECT_EQ(line.Interval(), 1000);

    // Equal value: the running count toward the next notification is kept.
    line.SetInterval(3000);
    int runs = 0;
    line.OnTimerRun = [&](QObject *) { ++runs; };
    Tick(line);
    line.SetInterval(3000);
    Tick(line);
    Tick(line);
    EXPECT_EQ(runs, 1);

    // Without a handler the ticks still run the clock.
    line.OnTimerRun = nullptr;
    line.SetShowDate(false);
    Tick(line);
    EXPECT_FALSE(line.ClockBox()->Caption().contains(QLatin1Char('/')));
}

TEST_F(StatusLineTest, TheRealTimerRaisesOnTimerRun)
{
    TNStatusLine line(FWindow.get());
    line.SetInterval(100);
    int runs = 0;
    line.OnTimerRun = [&](QObject *) { ++runs; };
    for (int i = 0; i < 200 && runs < 3; ++i)
        QTest::qWait(20);
    EXPECT_GE(runs, 3);
    EXPECT_FALSE(line.ClockBox()->Caption().isEmpty());
}

TEST_F(StatusLineTest, OnTimerRunMayDestroyTheStatusLine)
{
    auto *line = new TNStatusLine(FWindow.get());
    QPointer<TNStatusLine> guard(line);
    line->OnTimerRun = [line](QObject *) { delete line; };
    Tick(*line);
    EXPECT_TRUE(guard.isNull());
}

TEST_F(StatusLineTest, CaptionGetsOneLeadingBlank)
{
    TNStatusLine line(FWindow.get());
    line.SetCaption(QStringLiteral("Ready"));
    EXPECT_EQ(line.Caption(), QStringLiteral(" Ready"));
    EXPECT_EQ(line.CaptionBox()->Caption(), QStringLiteral(" Ready"));
    line.SetCaption(QString());
    EXPECT_EQ(line.Caption(), QStringLiteral(" "));
}

TEST_F(StatusLineTest, ApplicationHintShowsExactlyInTheCaptionBox)
{
    Application *app = Application::Instance();
    TNStatusLine line(FWindow.get());
    auto *exitButton = new QLabel(QStringLiteral("X"), FWindow.get());
    exitButton->setGeometry(10, 10, 40, 40);
    exitButton->setStatusTip(QStringLiteral(" Exit"));
    auto *plain = new QLabel(QStringLiteral("Y"), FWindow.get());
    plain->setGeometry(100, 10, 40, 40);
    FWindow->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(FWindow.get()));

    QTest::mouseMove(FWindow.get(), QPoint(5, 100));
    QTest::mouseMove(exitButton, QPoint(20, 20));
    EXPECT_EQ(line.Caption(), QStringLiteral(" Exit"));
    EXPECT_EQ(app->Hint(), QStringLiteral(" Exit"));
    QTest::mouseMove(plain, QPoint(20, 20));
    EXPECT_EQ(line.Caption(), QString());

    // Set by code, without an added blank.
    app->SetHint(QStringLiteral("Working"));
    EXPECT_EQ(line.Caption(), QStringLiteral("Working"));
}

TEST_F(StatusLineTest, TheLastStatusLineCreatedReceivesTheHint)
{
    Application *app = Application::Instance();
    int earlierHandlerCalls = 0;
    app->OnHint = [&] { ++earlierHandlerCalls; };

    auto first = std::make_unique<TNStatusLine>(FWindow.get());
    app->SetHint(QStringLiteral("one"));
    EXPECT_EQ(first->Caption(), QStringLiteral("one"));
    EXPECT_EQ(earlierHandlerCalls, 0);

    auto second = std::make_unique<TNStatusLine>(FWindow.get());
    app->SetHint(QStringLiteral("two"));
    EXPECT_EQ(second->Caption(), QStringLiteral("two"));
    EXPECT_EQ(first->Caption(), QStringLiteral("one"));

    // A destroyed status line no longer receives; the one before it takes over again.
    second.reset();
    app->SetHint(QStringLiteral("three"));
    EXPECT_EQ(first->Caption(), QStringLiteral("three"));

    first.reset();
    app->SetHint(QStringLiteral("four"));
    EXPECT_EQ(earlierHandlerCalls, 1);
}

TEST_F(StatusLineTest, StatusLinesMayBeDestroyedInAnyOrder)
{
    Application *app = Application::Instance();
    auto first = std::make_unique<TNStatusLine>(FWindow.get());
    auto second = std::make_unique<TNStatusLine>(FWindow.get());
    auto third = std::make_unique<TNStatusLine>(FWindow.get());

    // The middle one goes first: the newest still receives.
    second.reset();
    app->SetHint(QStringLiteral("a"));
    EXPECT_EQ(third->Caption(), QStringLiteral("a"));
    EXPECT_EQ(first->Caption(), QString());

    third.reset();
    app->SetHint(QStringLiteral("b"));
    EXPECT_EQ(first->Caption(), QStringLiteral("b"));

    first.reset();
    app->SetHint(QStringLiteral("c"));
    EXPECT_FALSE(app->OnHint) << "no receiver is left once every status line is gone";
}
