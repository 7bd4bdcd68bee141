#pragma once

#include "report/QRController.h"

#include <QPointer>

// A repeating section nested under a master (the report or another link): in every
// pass of its master it prints its header band, one detail band per pass of its own
// data, and its footer band, before or after the master's own detail output.
class TQRDetailLink : public TQRController {
    Q_OBJECT
public:
    explicit TQRDetailLink(QObject *parent = nullptr);

    // A band still of the default type takes the role the slot gives it: sub-detail,
    // group footer or group header.
    void SetDetailBand(TQRBand *band) override;
    void SetFooterBand(TQRBand *band) override;
    void SetHeaderBand(TQRBand *band) override;

    TQRController *Master() const { return FMaster; }
    // A link cannot be its own master; such a request is ignored.
    void SetMaster(TQRController *master);

    bool PrintBefore() const override { return FPrintBefore; }
    void SetPrintBefore(bool before) { FPrintBefore = before; }

private:
    // Guarded: a master removed from the form clears the reference.
    QPointer<TQRController> FMaster;
    bool FPrintBefore = false;
};
