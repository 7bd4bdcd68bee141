#pragma once

// Every update test waits on the event loop and answers message boxes.
#include "support/BoxRecorder.h"
#include "support/EventWait.h"
#include "support/QtPrinting.h"

#include <QByteArray>
#include <QMap>
#include <QObject>
#include <QStringList>
#include <QWidget>
#include <functional>
#include <memory>

class TWebFileInfo;

// Watches every window other than a message box as it is shown and hands it to the
// handler once its own event loop runs (so a modal window can be answered). The
// handler returns whether it answered the window.
class TModalDriver : public QObject {
public:
    explicit TModalDriver(std::function<bool(QWidget *)> handler);
    ~TModalDriver() override;

    // Object names of the windows shown, in order.
    const QStringList &Seen() const { return FSeen; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    std::function<bool(QWidget *)> FHandler;
    QStringList FSeen;
};

// Answers the update save dialog with path and the filter of the given number (1-3).
bool AnswerSaveDialog(QWidget *window, const QString &path, int filterIndex);
// Cancels the update save dialog.
bool CancelSaveDialog(QWidget *window);

// Presses Cancel in the download's progress window once 16 KiB have arrived, as a user
// would, and only once; the flag says whether it was pressed. It takes the component's
// OnDownloadProgress.
std::shared_ptr<bool> CancelAfter16KiB(TWebFileInfo &wfi);

// Every file of a folder, hidden ones included, with its bytes: what a failed update must
// leave exactly as it was.
QMap<QString, QByteArray> FolderContents(const QString &folder);
