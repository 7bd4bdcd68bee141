#include "report/QRDetailLink.h"

namespace {

void TakeRole(TQRBand *band, TQRBandType role)
{
    if (band && band->BandType() == rbTitle)
        band->SetBandType(role);
}

} // namespace

TQRDetailLink::TQRDetailLink(QObject *parent) : TQRController(parent) {}

void TQRDetailLink::SetDetailBand(TQRBand *band)
{
    TakeRole(band, rbSubDetail);
    TQRController::SetDetailBand(band);
}

void TQRDetailLink::SetFooterBand(TQRBand *band)
{
    TakeRole(band, rbGroupFooter);
    TQRController::SetFooterBand(band);
}

void TQRDetailLink::SetHeaderBand(TQRBand *band)
{
    TakeRole(band, rbGroupHeader);
    TQRController::SetHeaderBand(band);
}

void TQRDetailLink::SetMaster(TQRController *master)
{
    if (master == this)
        return;
    FMaster = master;
}
