#pragma once

#include "controls/Panel.h"

#include <QPointer>
#include <functional>

class QTimer;

enum TFormatDate { fdShort, fdFull };
enum TFormatTime { ftShort, ftFull };

// A strip docked to the bottom of its window: a caption box on the left that follows
// the application's hint (or a caption set by code), and a clock box on the right
// refreshed by a timer that also drives OnTimerRun.
class TNStatusLine : public TPanel {
    Q_OBJECT
public:
    explicit TNStatusLine(QWidget *owner);
    ~TNStatusLine() override;

    int Space() const { return FSpace; }
    void SetSpace(int space);
    int VertMargin() const { return FVertMargin; }
    void SetVertMargin(int margin);
    int HorizMargin() const { return FHorizMargin; }
    void SetHorizMargin(int margin);

    // Milliseconds between OnTimerRun notifications; below 100 is ignored. Above one
    // second the clock still ticks every second and OnTimerRun comes every
    // Interval/1000 ticks, rounded to the nearest whole second.
    quint16 Interval() const { return FInterval; }
    void SetInterval(quint16 interval);

    bool ShowDate() const { return FShowDate; }
    void SetShowDate(bool show);
    bool ShowTime() const { return FShowTime; }
    void SetShowTime(bool show);
    TFormatDate FormatDate() const { return FFormatDate; }
    void SetFormatDate(TFormatDate format);
    TFormatTime FormatTime() const { return FFormatTime; }
    void SetFormatTime(TFormatTime format);

    // Setting shows one blank and the text; reading gives the box's text, blank included.
    QString Caption() const;
    void SetCaption(const QString &caption);

    std::function<void(QObject *Sender)> OnTimerRun;

    TPanel *CaptionBox() const { return FCaptionBox; }
    TPanel *ClockBox() const { return FClockBox; }
    // Set by every change that can alter the clock's width; the next clock update
    // measures the box again.
    bool NeedsMeasure() const { return FNeedsMeasure; }

protected:
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void TimerTick();
    void UpdateClock();
    void LayoutBoxes();
    QString ClockText() const;
    void RegisterHintReceiver();
    void WithdrawHintReceiver();
    void HintChanged();

    struct HintHook;

    TPanel *FCaptionBox;
    TPanel *FClockBox;
    QTimer *FTimer;
    int FSpace = 5;
    int FVertMargin = 3;
    int FHorizMargin = 3;
    quint16 FInterval = 1000;
    bool FShowDate = true;
    bool FShowTime = true;
    TFormatDate FFormatDate = fdShort;
    TFormatTime FFormatTime = ftFull;
    int FTickCount = 1;
    int FTicksPerRun = 1;
    bool FNeedsMeasure = true;
};
