#pragma once

#include "report/QRBand.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <functional>

// What drives the repetition of a report section: asked before every pass whether
// more data follows, then whether this record prints. The report itself is one;
// detail links nest further sections under a master and use the three band slots.
class TQRController : public QObject {
    Q_OBJECT
public:
    explicit TQRController(QObject *parent = nullptr);

    TQRBand *DetailBand() const { return FDetailBand; }
    virtual void SetDetailBand(TQRBand *band) { FDetailBand = band; }
    TQRBand *FooterBand() const { return FFooterBand; }
    virtual void SetFooterBand(TQRBand *band) { FFooterBand = band; }
    TQRBand *HeaderBand() const { return FHeaderBand; }
    virtual void SetHeaderBand(TQRBand *band) { FHeaderBand = band; }

    std::function<void(QObject *Sender, bool &MoreData)> OnNeedData;
    std::function<void(QObject *Sender, bool &PrintRecord)> OnFilter;

    // Links whose master is this controller, rebuilt at the start of every run.
    const QList<QPointer<TQRController>> &ChildLinks() const { return FChildLinks; }
    void ClearChildLinks() { FChildLinks.clear(); }
    void AddChildLink(TQRController *link) { FChildLinks.append(link); }

    // Whether a first (or a further) pass follows: OnNeedData answers, then OnFilter
    // may veto. Without OnNeedData the first question is answered yes, the others no.
    bool FirstDataAvailable() { return DataAvailable(true); }
    bool MoreDataAvailable() { return DataAvailable(false); }

    // Whether a linked section runs before its master's own detail output in each
    // pass (true) or after it; the report itself has no master and answers false.
    virtual bool PrintBefore() const { return false; }

private:
    bool DataAvailable(bool moreData);

    // Guarded: a band removed from the form clears its slot.
    QPointer<TQRBand> FDetailBand;
    QPointer<TQRBand> FFooterBand;
    QPointer<TQRBand> FHeaderBand;
    QList<QPointer<TQRController>> FChildLinks;
};
