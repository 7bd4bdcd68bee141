#include "platform/gui/WorkArea.h"

#include <QScreen>
#include <QWidget>
#include <QWindow>

namespace WorkArea {

void Fill(QWidget *window)
{
    QScreen *screen = window->screen();
    if (!screen)
        return;
    // The platform window tells its frame once it exists; a window about to be shown
    // gets it made now.
    if (!window->windowHandle())
        window->winId();
    const QMargins frame = window->windowHandle() ? window->windowHandle()->frameMargins() : QMargins();
    const QRect area = screen->availableGeometry().marginsRemoved(frame);
    if (!window->isMaximized() && window->geometry() != area)
        window->setGeometry(area);
    if (!window->isMaximized())
        window->setWindowState(window->windowState() | Qt::WindowMaximized);
}

} // namespace WorkArea
