#include "platform/core/Messages.h"

#include <QCoreApplication>

TMessageEvent::TMessageEvent(const TMessage &message, std::function<bool()> admit)
    : QEvent(EventType()), Message(message), Admit(std::move(admit))
{
}

QEvent::Type TMessageEvent::EventType()
{
    static const QEvent::Type type = QEvent::Type(QEvent::registerEventType());
    return type;
}

TMessageWindow::TMessageWindow(TWndProc wndProc, QObject *parent) : QObject(parent), FWndProc(std::move(wndProc)) {}

TMessageWindow::~TMessageWindow() = default;

qintptr TMessageWindow::Perform(quint32 msg, quintptr wParam, qintptr lParam)
{
    TMessage message{msg, wParam, lParam, 0};
    if (FWndProc)
        FWndProc(message);
    return message.Result;
}

bool TMessageWindow::PostMessage(TMessageWindow *window, quint32 msg, quintptr wParam, qintptr lParam,
                                 std::function<bool()> admit)
{
    if (!window)
        return false;
    QCoreApplication::postEvent(window, new TMessageEvent(TMessage{msg, wParam, lParam, 0}, std::move(admit)));
    return true;
}

bool TMessageWindow::event(QEvent *e)
{
    if (e->type() != TMessageEvent::EventType())
        return QObject::event(e);
    auto *posted = static_cast<TMessageEvent *>(e);
    if (posted->Admit && !posted->Admit())
        return true;
    // The procedure may destroy this window (its component freed by a handler), so a
    // copy of it runs and nothing of this object is touched afterwards.
    if (FWndProc) {
        TWndProc proc = FWndProc;
        proc(posted->Message);
    }
    return true;
}
