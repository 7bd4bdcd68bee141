#pragma once

#include "WindowInvariants.h"

#include "controls/ExplorerButton.h"
#include "controls/Panel.h"

// The captions the program's own controls draw, for the window invariants.
//
// The explorer button draws its caption beside its glyph when laid out so, inside a
// two-pixel margin, with room for the drop-down mark when it has a menu. A panel draws its
// caption inside its bevels and border.
inline std::optional<WindowInvariants::Caption> ControlCaption(const QWidget &w)
{
    if (const auto *panel = qobject_cast<const TPanel *>(&w)) {
        if (panel->Caption().isEmpty())
            return std::nullopt;
        return WindowInvariants::Caption{panel->Caption(), 0, panel->InnerRect(),
                                         panel->Alignment() | Qt::AlignVCenter};
    }
    const auto *button = qobject_cast<const TExplorerButton *>(&w);
    if (!button || (button->Options() & boIconOnly))
        return std::nullopt;
    const bool beside = button->Layout() == blBitmapLeft || button->Layout() == blBitmapRight;
    const bool mark = (button->Options() & boPopupMark) && button->DropDownMenu();
    const int glyph = button->Bitmap().isNull() || !beside ? 0 : button->Bitmap().width() + 2;
    return WindowInvariants::Caption{WindowInvariants::Shown(button->Caption()), 4 + glyph + (mark ? 10 : 0)};
}
