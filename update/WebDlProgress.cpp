#include "update/WebDlProgress.h"

#include "net/HttpProt.h"
#include "update/WfiWindows.h"
#include "platform/core/Formatting.h"

#include <QCoreApplication>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>

QString FormatWithThousands(qint64 value)
{
    QString digits = QString::number(value);
    const qsizetype first = digits.startsWith(QLatin1Char('-')) ? 1 : 0;
    for (qsizetype i = digits.size() - 3; i > first; i -= 3)
        digits.insert(i, QLatin1Char(','));
    return digits;
}

TWebDlProgress::TWebDlProgress(THttpCli *httpCli, const QFont &font, QWidget *parent)
    : QDialog(parent), FHttpCli(httpCli)
{
    setObjectName(QStringLiteral("WebDlProgress"));
    setWindowTitle(QCoreApplication::translate("TWebDlProgress", "Download Progress"));
    setFont(font);
    setCursor(Qt::WaitCursor);
    WfiWindowFrame::MakeDialogBorder(*this, QSize(272, 123));

    lblDownloading = new QLabel(this);
    lblDownloading->setObjectName(QStringLiteral("lblDownloading"));
    lblDownloading->setGeometry(2, 10, 268, 18);
    lblDownloading->setAlignment(Qt::AlignHCenter | Qt::AlignTop);

    pbarProgress = new QProgressBar(this);
    pbarProgress->setObjectName(QStringLiteral("pbarProgress"));
    pbarProgress->setGeometry(36, 40, 200, 14);
    pbarProgress->setCursor(Qt::WaitCursor);
    pbarProgress->setRange(0, 100);
    pbarProgress->setValue(0);
    pbarProgress->setTextVisible(false);

    lblProgress = new QLabel(this);
    lblProgress->setObjectName(QStringLiteral("lblProgress"));
    lblProgress->setGeometry(2, 60, 268, 22);
    lblProgress->setAlignment(Qt::AlignHCenter | Qt::AlignTop);

    btnCancel = new QPushButton(QCoreApplication::translate("TWebDlProgress", "&Cancel"), this);
    btnCancel->setObjectName(QStringLiteral("btnCancel"));
    btnCancel->setGeometry(102, 94, 68, 22);
    btnCancel->setAutoDefault(false);
    connect(btnCancel, &QPushButton::clicked, this, [this] { btnCancelClick(); });

    setTabOrder(pbarProgress, btnCancel);

    FRefreshTimer.setSingleShot(true);
    connect(&FRefreshTimer, &QTimer::timeout, this, &TWebDlProgress::FlushProgress);
    WfiWindowFrame::CentreOnScreen(*this);
}

void TWebDlProgress::btnCancelClick()
{
    FCancelled = true;
    if (FHttpCli)
        FHttpCli->Abort();
}

void TWebDlProgress::UpdateProgress(qint64 received, qint64 total)
{
    if (FCancelled)
        return;
    FPendingReceived = received;
    FPendingTotal = total;
    // Without a length (or with a length of 0, which would divide by zero) the bar
    // stays where it is; more bytes than announced fill it and no further.
    if (total > 0) {
        const qint64 percent = qMin<qint64>(received * 100 / total, 100);
        if (percent > FPendingPosition)
            FPendingPosition = int(percent);
    }
    FPending = true;
    if (!FSinceShown.isValid() || FSinceShown.elapsed() >= RefreshInterval)
        FlushProgress();
    else if (!FRefreshTimer.isActive())
        FRefreshTimer.start(int(RefreshInterval - FSinceShown.elapsed()));
}

void TWebDlProgress::FlushProgress()
{
    FRefreshTimer.stop();
    if (!FPending)
        return;
    FPending = false;
    FSinceShown.start();
    lblProgress->setText(
        QCoreApplication::translate("TWebDlProgress", "%1 of %2 bytes received.", nullptr, PluralCount(FPendingTotal))
            .arg(FormatWithThousands(FPendingReceived), FormatWithThousands(FPendingTotal)));
    if (pbarProgress->value() < FPendingPosition)
        pbarProgress->setValue(FPendingPosition);
}

void TWebDlProgress::done(int result)
{
    FlushProgress();
    QDialog::done(result);
}
