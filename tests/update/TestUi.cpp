#include "TestUi.h"

#include "update/UpdateSaveDialog.h"
#include "update/WebDlProgress.h"
#include "update/WebFileInfo.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QEvent>
#include <QMessageBox>
#include <QPointer>
#include <QTest>
#include <QTimer>

TModalDriver::TModalDriver(std::function<bool(QWidget *)> handler) : FHandler(std::move(handler))
{
    qApp->installEventFilter(this);
}

TModalDriver::~TModalDriver()
{
    qApp->removeEventFilter(this);
}

bool TModalDriver::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::Show)
        return false;
    auto *window = qobject_cast<QWidget *>(watched);
    if (!window || !window->isWindow() || qobject_cast<QMessageBox *>(window))
        return false;
    FSeen.append(window->objectName());
    if (FHandler) {
        const QPointer<QWidget> guard(window);
        QTimer::singleShot(0, this, [this, guard] {
            if (guard && guard->isVisible())
                FHandler(guard);
        });
    }
    return false;
}

bool AnswerSaveDialog(QWidget *window, const QString &path, int filterIndex)
{
    auto *dialog = qobject_cast<TUpdateSaveDialog *>(window);
    if (!dialog)
        return false;
    dialog->selectNameFilter(TUpdateSaveDialog::Filters().at(filterIndex - 1));
    dialog->selectFile(path);
    QMetaObject::invokeMethod(dialog, "accept", Qt::QueuedConnection);
    return true;
}

bool CancelSaveDialog(QWidget *window)
{
    auto *dialog = qobject_cast<TUpdateSaveDialog *>(window);
    if (!dialog)
        return false;
    QMetaObject::invokeMethod(dialog, "reject", Qt::QueuedConnection);
    return true;
}

std::shared_ptr<bool> CancelAfter16KiB(TWebFileInfo &wfi)
{
    auto clicked = std::make_shared<bool>(false);
    wfi.OnDownloadProgress = [&wfi, clicked](QObject *, qint64 received, qint64) {
        if (*clicked || received < 16 * 1024)
            return;
        *clicked = true;
        QPointer<TWebDlProgress> window = wfi.ProgressWindow();
        QTimer::singleShot(0, [window] {
            if (window)
                QTest::mouseClick(window->btnCancel, Qt::LeftButton);
        });
    };
    return clicked;
}

QMap<QString, QByteArray> FolderContents(const QString &folder)
{
    QMap<QString, QByteArray> contents;
    const QDir dir(folder);
    for (const QString &name : dir.entryList(QDir::Files | QDir::Hidden | QDir::System)) {
        QFile file(dir.filePath(name));
        contents.insert(name, file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>"));
    }
    return contents;
}
