#pragma once

#include "ReportTestSupport.h"

#include <QByteArray>
#include <QImage>
#include <vector>

class TQRGroup;

// A report form that draws every kind of thing the engine puts on a page: labels
// (clipped and not), system fields, all six shapes with plain and dashed pens, a memo,
// bitmaps stretched and not, a recorded picture and an icon, band frames and a page
// frame; a group per ten records around a detail band; a page number in the footer.
class RichReport : public TestForm {
public:
    explicit RichReport(int records);

    TQRGroup *Group = nullptr;
    int Record = 0;
};

// The bytes of every page of a finished store, and the pages as painted at 100 % of
// the sheet the way the preview paints them.
std::vector<QByteArray> PageBytes();
std::vector<QImage> PaintPages();

// Runs the report's preview with a hook that hands every finished page to keep.
void PreparePages(TQRReport &report, const std::function<void()> &whileFinished);
