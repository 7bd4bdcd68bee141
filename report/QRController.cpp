#include "report/QRController.h"

#include <QPointer>

TQRController::TQRController(QObject *parent) : QObject(parent) {}

bool TQRController::DataAvailable(bool moreData)
{
    const QPointer<TQRController> self(this);
    if (OnNeedData)
        OnNeedData(this, moreData);
    if (!self)
        return false;
    if (moreData && OnFilter)
        OnFilter(this, moreData);
    return moreData;
}
