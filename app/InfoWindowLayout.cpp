#include "app/InfoWindowLayout.h"

#include "platform/gui/Fonts.h"

#include <QScreen>
#include <QWidget>
#include <QWindow>

// Resources of a static library are linked only when something refers to them; the
// macro may not stand inside a namespace.
static void InitAppResources()
{
    Q_INIT_RESOURCE(app);
}

namespace InfoWindowLayout {

void InitResources()
{
    InitAppResources();
}

QFont Font(bool bold)
{
    // A positive height, as every layout of the program reads it: the character cell.
    QFont font = Fonts::Make(QStringLiteral("Arial"), 11, bold);
    font.setHintingPreference(QFont::PreferFullHinting);
    return font;
}

void CentreOnScreen(QWidget *window)
{
    QScreen *screen = window->screen();
    if (!screen)
        return;
    const QMargins frame = window->windowHandle() ? window->windowHandle()->frameMargins() : QMargins();
    const QSize outer = window->size().grownBy(frame);
    window->move(screen->geometry().center() - QPoint((outer.width() - 1) / 2, (outer.height() - 1) / 2));
}

} // namespace InfoWindowLayout
