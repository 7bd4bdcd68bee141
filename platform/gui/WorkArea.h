#pragma once

class QWidget;

// The screen's work area: the screen less the panels and docks the desktop keeps for
// itself.
namespace WorkArea {

// Sizes the window to cover the work area of its screen, frame included as far as the
// platform knows it, and then asks for the maximised state too. A window manager that
// maximises gives the same result; one that ignores the request, or no window manager
// at all, still leaves a window that fills the work area rather than its designed size.
void Fill(QWidget *window);

} // namespace WorkArea
