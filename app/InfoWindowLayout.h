#pragma once

#include <QFont>

class QWidget;

// What the splash, About and Disclaimer windows share of their layout.
namespace InfoWindowLayout {

// Links the program's pictures (app.qrc) into the build; call before loading one.
void InitResources();

// Arial with an 11-pixel character cell (bold or not) and whole-pixel glyph advances, as the layouts were measured
// with: word-wrapped texts then break into the designed number of lines.
QFont Font(bool bold = false);

// Centres the whole window on its screen, frame included as far as the platform knows
// it yet. Called as the window is shown.
void CentreOnScreen(QWidget *window);

} // namespace InfoWindowLayout
