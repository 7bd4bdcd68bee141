#include "TestUi.h"

#include "platform/gui/MessageBox.h"
#include "update/UpdateSaveDialog.h"

#include <QAbstractButton>
#include <QApplication>
#include <QEvent>
#include <QTimer>
#include <QElapsedTimer>
#include <QThread>

bool WaitFor(const std::function<bool()> &condition, int boundMs)
{
    QElapsedTimer timer;
    timer.start();
    while (!condition()) {
        if (timer.elapsed() > boundMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(1);
    }
    return true;
}

TBoxRecorder::TBoxRecorder()
{
    MessageBox::SetOnShow([this](QMessageBox &box) {
        Box seen{box.windowTitle(), box.property("rawText").toString(), box.icon(), box.standardButtons()};
        FBoxes.append(seen);
        if (OnBox)
            OnBox(seen);
        QMessageBox::StandardButton button = seen.Buttons.testFlag(QMessageBox::Yes) ? QMessageBox::Yes
                                                                                     : QMessageBox::Ok;
        QList<QMessageBox::StandardButton> &answers = FAnswers[seen.Caption];
        if (!answers.isEmpty())
            button = answers.takeFirst();
        if (QAbstractButton *pressed = box.button(button))
            pressed->click();
        else
            box.reject();
    });
}

TBoxRecorder::~TBoxRecorder()
{
    MessageBox::SetOnShow({});
}

void TBoxRecorder::Answer(const QString &caption, QList<QMessageBox::StandardButton> buttons)
{
    FAnswers[caption] = std::move(buttons);
}

QStringList TBoxRecorder::Captions() const
{
    QStringList captions;
    for (const Box &box : FBoxes)
        captions.append(box.Caption);
    return captions;
}

TBoxRecorder::Box TBoxRecorder::Find(const QString &caption) const
{
    for (auto it = FBoxes.crbegin(); it != FBoxes.crend(); ++it) {
        if (it->Caption == caption)
            return *it;
    }
    return Box{QString(), QString(), QMessageBox::NoIcon, {}};
}

bool TBoxRecorder::Shown(const QString &caption) const
{
    return Captions().contains(caption);
}

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
    dialog->selectNameFilter(TUpdateSaveDialog::Filters.at(filterIndex - 1));
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
