#include "platform/gui/ActivationTracker.h"

#include <QApplication>
#include <QEvent>
#include <QMessageBox>
#include <QWidget>
#include <QWindow>

ActivationTracker::ActivationTracker(QWidget *window, std::function<void()> onActivate)
    : QObject(window), FWindow(window), FOnActivate(std::move(onActivate))
{
    window->installEventFilter(this);
    connect(qApp, &QGuiApplication::focusWindowChanged, this, &ActivationTracker::FocusWindowChanged);
}

namespace {

const char SystemDialogProperty[] = "tallowmereSystemDialog";

} // namespace

void ActivationTracker::MarkSystemDialog(QWidget *dialog)
{
    dialog->setProperty(SystemDialogProperty, true);
}

void ActivationTracker::FocusWindowChanged(QWindow *window)
{
    if (window && window == FWindow->windowHandle())
        return;
    bool ownWindow = false;
    for (QWidget *top : QApplication::topLevelWidgets()) {
        if (window && top->windowHandle() == window) {
            ownWindow = !qobject_cast<QMessageBox *>(top) && !top->property(SystemDialogProperty).toBool();
            break;
        }
    }
    FOwnWindowWasActive = ownWindow;
}

bool ActivationTracker::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == FWindow && event->type() == QEvent::ActivationChange && FWindow->isActiveWindow()) {
        const bool first = !FShownOnce;
        const bool activate = first || FOwnWindowWasActive;
        FShownOnce = true;
        FOwnWindowWasActive = false;
        if (activate && FOnActivate) {
            if (first) {
                // No control has had the focus yet: what the handler focuses is where
                // the focus starts.
                FOnActivate();
            } else {
                // Qt hands the focus back to the window's last focused control only
                // after this event; the handler runs once that is done, so moving the
                // focus from there is a real move between controls.
                QMetaObject::invokeMethod(
                    this, [this] { FOnActivate(); }, Qt::QueuedConnection);
            }
        }
    }
    return QObject::eventFilter(watched, event);
}
