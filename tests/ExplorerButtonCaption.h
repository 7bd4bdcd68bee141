#pragma once

#include "WindowInvariants.h"

#include "controls/ExplorerButton.h"

// The explorer button draws its own caption: beside its glyph when laid out so, inside a
// two-pixel margin, with room for the drop-down mark when it has a menu.
inline std::optional<WindowInvariants::Caption> ExplorerButtonCaption(const QWidget &w)
{
    const auto *button = qobject_cast<const TExplorerButton *>(&w);
    if (!button || (button->Options() & boIconOnly))
        return std::nullopt;
    const bool beside = button->Layout() == blBitmapLeft || button->Layout() == blBitmapRight;
    const bool mark = (button->Options() & boPopupMark) && button->DropDownMenu();
    const int glyph = button->Bitmap().isNull() || !beside ? 0 : button->Bitmap().width() + 2;
    return WindowInvariants::Caption{WindowInvariants::Shown(button->Caption()), 4 + glyph + (mark ? 10 : 0)};
}
