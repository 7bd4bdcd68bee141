#include "controls/Nstatln.h"

#include "platform/core/Formatting.h"
#include "platform/gui/Application.h"
#include "platform/gui/Fonts.h"

#include <QDateTime>
#include <QEvent>
#include <QFontMetrics>
#include <QTimer>

// Installed as the application's OnHint, keeping the receiver it replaced. A status
// line unlinks its hook when destroyed, so the one before it receives again; should a
// hook ever outlive its status line, it passes the notification on.
struct TNStatusLine::HintHook {
    QPointer<TNStatusLine> Line;
    std::function<void()> Previous;

    void operator()() const
    {
        if (Line)
            Line->HintChanged();
        else if (Previous)
            Previous();
    }
};

TNStatusLine::TNStatusLine(QWidget *owner)
    : TPanel(owner), FCaptionBox(new TPanel(this)), FClockBox(new TPanel(this)), FTimer(new QTimer(this))
{
    setFocusPolicy(Qt::NoFocus);
    SetBevelOuter(bvRaised);
    SetBevelInner(bvNone);
    SetBevelWidth(1);
    SetBorderWidth(0);

    // 8-point "MS Sans Serif": 11 pixels on the screens the layouts were made for.
    setFont(Fonts::Make(QStringLiteral("MS Sans Serif"), -11));

    for (TPanel *box : {FCaptionBox, FClockBox}) {
        box->SetBevelOuter(bvLowered);
        box->SetBevelInner(bvNone);
        box->SetBevelWidth(1);
        box->SetParentColor(true);
    }
    FCaptionBox->setObjectName(QStringLiteral("CaptionBox"));
    FClockBox->setObjectName(QStringLiteral("ClockBox"));
    FCaptionBox->SetAlignment(Qt::AlignLeft);

    resize(owner ? owner->width() : width(), 25);
    SetAlign(alBottom);

    const QDateTime now = QDateTime::currentDateTime();
    const QString sample = FormatDateTime(QStringLiteral("ddddd"), now) + QLatin1Char(' ') +
                           FormatDateTime(QStringLiteral("tt"), now);
    FClockBox->resize(fontMetrics().horizontalAdvance(sample), FClockBox->height());
    LayoutBoxes();

    connect(FTimer, &QTimer::timeout, this, &TNStatusLine::TimerTick);
    FTimer->start(1000);
    RegisterHintReceiver();
    FNeedsMeasure = true;
}

TNStatusLine::~TNStatusLine()
{
    WithdrawHintReceiver();
}

void TNStatusLine::RegisterHintReceiver()
{
    Application *app = Application::Instance();
    if (!app)
        return;
    app->OnHint = HintHook{this, app->OnHint};
}

void TNStatusLine::WithdrawHintReceiver()
{
    Application *app = Application::Instance();
    if (!app)
        return;
    // Our hook may sit anywhere in the chain when status lines go in another order
    // than they came; unlink it where it is.
    std::function<void()> *link = &app->OnHint;
    while (HintHook *hook = link->target<HintHook>()) {
        if (hook->Line == this) {
            std::function<void()> previous = std::move(hook->Previous);
            *link = std::move(previous);
            return;
        }
        link = &hook->Previous;
    }
}

void TNStatusLine::HintChanged()
{
    if (Application *app = Application::Instance())
        FCaptionBox->SetCaption(app->Hint());
}

QString TNStatusLine::Caption() const
{
    return FCaptionBox->Caption();
}

void TNStatusLine::SetCaption(const QString &caption)
{
    FCaptionBox->SetCaption(QLatin1Char(' ') + caption);
}

void TNStatusLine::SetSpace(int space)
{
    if (space == FSpace)
        return;
    FSpace = space;
    FNeedsMeasure = true;
}

void TNStatusLine::SetVertMargin(int margin)
{
    if (margin == FVertMargin)
        return;
    FVertMargin = margin;
    FNeedsMeasure = true;
    update();
}

void TNStatusLine::SetHorizMargin(int margin)
{
    if (margin == FHorizMargin)
        return;
    FHorizMargin = margin;
    FNeedsMeasure = true;
}

void TNStatusLine::SetInterval(quint16 interval)
{
    if (interval == FInterval || interval < 100)
        return;
    FTimer->stop();
    FInterval = interval;
    if (interval <= 1000) {
        FTimer->setInterval(interval);
        FTicksPerRun = 1;
    } else {
        FTimer->setInterval(1000);
        FTicksPerRun = interval / 1000 + (interval % 1000 >= 500 ? 1 : 0);
    }
    FTickCount = FTicksPerRun;
    FTimer->start();
}

void TNStatusLine::SetShowDate(bool show)
{
    FShowDate = show;
    FNeedsMeasure = true;
    UpdateClock();
}

void TNStatusLine::SetShowTime(bool show)
{
    FShowTime = show;
    FNeedsMeasure = true;
    UpdateClock();
}

void TNStatusLine::SetFormatDate(TFormatDate format)
{
    if (format == FFormatDate)
        return;
    FFormatDate = format;
    FNeedsMeasure = true;
}

void TNStatusLine::SetFormatTime(TFormatTime format)
{
    if (format == FFormatTime)
        return;
    FFormatTime = format;
    FNeedsMeasure = true;
}

void TNStatusLine::TimerTick()
{
    UpdateClock();
    if (FInterval > 1000) {
        if (FTickCount > 1) {
            --FTickCount;
            return;
        }
        FTickCount = FTicksPerRun;
    }
    if (OnTimerRun)
        OnTimerRun(this);
}

QString TNStatusLine::ClockText() const
{
    const QDateTime now = QDateTime::currentDateTime();
    QString date, time;
    if (FShowDate)
        date = FormatDateTime(FFormatDate == fdShort ? QStringLiteral("ddddd") : QStringLiteral("dddddd"), now);
    if (FShowTime)
        time = FormatDateTime(FFormatTime == ftShort ? QStringLiteral("t") : QStringLiteral("tt"), now);
    if (FShowDate && FShowTime)
        return date + QLatin1Char(' ') + time;
    return FShowDate ? date : time;
}

void TNStatusLine::UpdateClock()
{
    const QString text = ClockText();
    FClockBox->SetCaption(text);
    if (FNeedsMeasure) {
        // Measured only on demand, so the box does not twitch as the digits change.
        const int width = FShowDate || FShowTime
                              ? fontMetrics().horizontalAdvance(QStringLiteral("  ") + text + QStringLiteral("  "))
                              : 0;
        FClockBox->resize(width, FClockBox->height());
        FNeedsMeasure = false;
    }
    LayoutBoxes();
}

void TNStatusLine::LayoutBoxes()
{
    const int w = width();
    const int boxHeight = height() - 2 * FVertMargin;
    const int clockWidth = FClockBox->width();
    const int clockLeft = w - FHorizMargin - clockWidth;
    FClockBox->setGeometry(clockLeft, FVertMargin, clockWidth, boxHeight);
    const int captionWidth = clockWidth <= 0 ? w - 2 * FHorizMargin : clockLeft - FSpace - FHorizMargin;
    FCaptionBox->setGeometry(FHorizMargin, FVertMargin, captionWidth, boxHeight);
}

void TNStatusLine::resizeEvent(QResizeEvent *event)
{
    TPanel::resizeEvent(event);
    LayoutBoxes();
}

void TNStatusLine::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::FontChange)
        FNeedsMeasure = true;
    TPanel::changeEvent(event);
}
