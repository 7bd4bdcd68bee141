#include "report/QRGroup.h"

#include <QPointer>
#include <algorithm>

TQRGroup::TQRGroup(QObject *parent) : QObject(parent)
{
    if (parent) {
        const int groups = int(parent->findChildren<TQRGroup *>().size());
        FLevel = std::clamp(groups - 1, 0, MaxLevel);
    }
}

void TQRGroup::SetFooterBand(TQRBand *band)
{
    if (band && band->BandType() == rbTitle)
        band->SetBandType(rbGroupFooter);
    FFooterBand = band;
}

void TQRGroup::SetHeaderBand(TQRBand *band)
{
    if (band && band->BandType() == rbTitle)
        band->SetBandType(rbGroupHeader);
    FHeaderBand = band;
}

void TQRGroup::SetLevel(int level)
{
    if (level >= 0 && level <= MaxLevel)
        FLevel = level;
}

bool TQRGroup::TestChange()
{
    const QPointer<TQRGroup> self(this);
    QString value = FCurrentValue;
    FPreviousValue = FCurrentValue;
    if (OnNeedData)
        OnNeedData(this, value);
    if (!self)
        return false;
    FCurrentValue = value;
    FChanged = FCurrentValue != FPreviousValue;
    return FChanged;
}
