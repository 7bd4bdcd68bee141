#pragma once

#include <QDialog>
#include <QElapsedTimer>
#include <QFont>
#include <QPointer>
#include <QTimer>

class QLabel;
class QProgressBar;
class QPushButton;
class THttpCli;

// "1,234,567": the decimal text with a comma before every group of three digits
// counted from the right, whatever the locale. The sign stays in front.
QString FormatWithThousands(qint64 value);

// "Download Progress": the one window of the update service the user can cancel.
// Cancel aborts the shared HTTP client; the request's completion then closes the window.
class TWebDlProgress : public QDialog {
    Q_OBJECT
public:
    TWebDlProgress(THttpCli *httpCli, const QFont &font, QWidget *parent = nullptr);

    QProgressBar *pbarProgress = nullptr;
    QLabel *lblDownloading = nullptr;
    QLabel *lblProgress = nullptr;
    QPushButton *btnCancel = nullptr;

    void btnCancelClick();
    bool Cancelled() const { return FCancelled; }

    // Received bytes and the announced length (-1 when the server sent none). The
    // display follows at most every RefreshInterval ms so that a fast download is not
    // slowed by repainting; FlushProgress (and closing) shows the latest state at once.
    void UpdateProgress(qint64 received, qint64 total);
    void FlushProgress();

    static constexpr int RefreshInterval = 100;

public slots:
    void done(int result) override;
    // Escape and the window manager's close do nothing: only Cancel stops a download.
    void reject() override {}

private:
    QPointer<THttpCli> FHttpCli;
    bool FCancelled = false;
    bool FPending = false;
    qint64 FPendingReceived = 0;
    qint64 FPendingTotal = 0;
    int FPendingPosition = 0;
    QElapsedTimer FSinceShown;
    QTimer FRefreshTimer;
};
