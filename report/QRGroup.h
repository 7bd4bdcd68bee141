#pragma once

#include "report/QRBand.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <functional>

// A group of detail records sharing one value: its header band prints when the value
// has changed and its footer band just before, and both once more at the ends of the
// report. The value comes from OnNeedData before every detail pass.
class TQRGroup : public QObject {
    Q_OBJECT
public:
    static constexpr int MaxLevel = 9;

    // On a report form the group takes the next free level: the number of groups on
    // the form minus one.
    explicit TQRGroup(QObject *parent = nullptr);

    TQRBand *FooterBand() const { return FFooterBand; }
    // A band still of the default type becomes a group footer (group header below).
    void SetFooterBand(TQRBand *band);
    TQRBand *HeaderBand() const { return FHeaderBand; }
    void SetHeaderBand(TQRBand *band);

    // 0 is the outermost group; a level outside 0 to 9 is ignored.
    int Level() const { return FLevel; }
    void SetLevel(int level);

    std::function<void(QObject *Sender, QString &Value)> OnNeedData;

    // The value before and after the last change test.
    const QString &PreviousValue() const { return FPreviousValue; }
    const QString &CurrentValue() const { return FCurrentValue; }
    bool Changed() const { return FChanged; }
    void SetChanged(bool changed) { FChanged = changed; }

    // Asks OnNeedData for the current value and compares it exactly with the one
    // before; the answer is also the new changed flag.
    bool TestChange();

private:
    QPointer<TQRBand> FFooterBand;
    QPointer<TQRBand> FHeaderBand;
    int FLevel = 0;
    QString FPreviousValue;
    QString FCurrentValue;
    bool FChanged = true;
};
