#include "report/QRFormParts.h"

#include "report/QRBand.h"
#include "report/QRCustomControl.h"
#include "report/QRShape.h"

namespace QRFormParts {

TQRLabel *AddLabel(TQRBand *band, const QString &caption, int left, int top, int width, int height, const QFont *font,
                   TAlignment alignment, bool autoSize)
{
    auto *label = new TQRLabel(band);
    label->SetAutoSize(autoSize);
    if (font)
        label->SetFont(*font);
    label->SetAlignment(alignment);
    label->SetCaption(caption);
    label->SetBounds(left, top, width, height);
    return label;
}

TQRShape *AddHorizontalLine(TQRBand *band, int left, int top, int width)
{
    auto *line = new TQRShape(band);
    line->SetShape(qrsHorLine);
    line->SetBounds(left, top, width, 4);
    return line;
}

} // namespace QRFormParts
