#include "report/QRCustomControl.h"

#include "platform/core/Formatting.h"
#include "report/QRBand.h"
#include "report/QRCanvas.h"
#include "report/QRPrinter.h"
#include "report/QRReport.h"

#include <QDateTime>
#include <QEvent>
#include <QFontMetrics>
#include <QPainter>
#include <algorithm>
#include <cstdlib>

TQRCustomControl::TQRCustomControl(QWidget *parent) : QWidget(parent)
{
    resize(65, 17);
}

TQRReport *TQRCustomControl::Report() const
{
    return FReport;
}

void TQRCustomControl::SetReport(TQRReport *report)
{
    FReport = report;
}

void TQRCustomControl::SetCaption(const QString &caption)
{
    if (caption == FCaption)
        return;
    FCaption = caption;
    AdjustBounds();
    update();
}

void TQRCustomControl::SetAlignment(TAlignment alignment)
{
    FAlignment = alignment;
    update();
}

void TQRCustomControl::SetAutoSize(bool autoSize)
{
    if (autoSize == FAutoSize)
        return;
    FAutoSize = autoSize;
    AdjustBounds();
}

QColor TQRCustomControl::Color() const
{
    if (!FParentColor)
        return FColor;
    if (auto *band = qobject_cast<TQRBand *>(parentWidget()))
        return band->Color();
    if (auto *control = qobject_cast<TQRCustomControl *>(parentWidget()))
        return control->Color();
    return parentWidget() ? parentWidget()->palette().color(QPalette::Window) : FColor;
}

void TQRCustomControl::SetColor(const QColor &color)
{
    FColor = color;
    FParentColor = false;
    update();
}

void TQRCustomControl::SetParentColor(bool parentColor)
{
    FParentColor = parentColor;
    update();
}

QColor TQRCustomControl::FontColor() const
{
    return palette().color(QPalette::WindowText);
}

void TQRCustomControl::SetFontColor(const QColor &color)
{
    QPalette p = palette();
    p.setColor(QPalette::WindowText, color);
    setPalette(p);
}

bool TQRCustomControl::ParentFont() const
{
    return !testAttribute(Qt::WA_SetFont);
}

void TQRCustomControl::SetParentFont(bool parentFont)
{
    if (parentFont)
        setFont(QFont());
    else
        setAttribute(Qt::WA_SetFont, true);
}

void TQRCustomControl::SetTransparent(bool transparent)
{
    FTransparent = transparent;
    update();
}

void TQRCustomControl::SetVisible(bool visible)
{
    FVisible = visible;
    setVisible(visible);
}

void TQRCustomControl::AdjustBounds()
{
    if (!FAutoSize)
        return;
    // An empty caption still occupies a space; "&" marks an accelerator and takes none.
    QString text;
    for (int i = 0; i < FCaption.size(); ++i) {
        if (FCaption.at(i) == QLatin1Char('&') && i + 1 < FCaption.size())
            ++i;
        text += FCaption.at(i);
    }
    if (text.isEmpty())
        text = QStringLiteral(" ");
    // Text extents are advances, as the text will be laid out, not ink bounds.
    const QFontMetrics metrics(font());
    int extentWidth = 0;
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (const QString &line : lines) {
        const int w = line.contains(QLatin1Char('\t')) ? metrics.size(Qt::TextExpandTabs, line).width()
                                                       : metrics.horizontalAdvance(line);
        extentWidth = std::max(extentWidth, w);
    }
    const int extentHeight = int(lines.size()) * metrics.height();
    int left = x();
    if (FAlignment == taRightJustify)
        left += width() - extentWidth;
    setGeometry(left, y(), extentWidth, extentHeight);
}

void TQRCustomControl::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::FontChange)
        AdjustBounds();
    QWidget::changeEvent(event);
}

void TQRCustomControl::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    if (FCaption.isEmpty() || FCaption == QLatin1String(" ")) {
        painter.fillRect(rect(), Color());
        painter.setPen(FontColor());
        painter.drawText(rect(), Qt::AlignLeft | Qt::AlignTop, QLatin1Char('(') + objectName() + QLatin1Char(')'));
        return;
    }
    if (!FTransparent)
        painter.fillRect(rect(), Color());
    painter.setPen(FontColor());
    Qt::Alignment horizontal = Qt::AlignLeft;
    if (FAlignment == taRightJustify)
        horizontal = Qt::AlignRight;
    else if (FAlignment == taCenter)
        horizontal = Qt::AlignHCenter;
    painter.drawText(rect(), int(horizontal | Qt::AlignTop) | Qt::TextShowMnemonic | Qt::TextExpandTabs, FCaption);
}

void TQRCustomControl::Print(int OX, int OY)
{
    PrintText(OX, OY);
}

// Long by design: one pass from the caption to the page (measure in report units, place
// by alignment, fill, clip only when needed, draw) over a dozen values every step shares.
void TQRCustomControl::PrintText(int OX, int OY)
{
    TQRPrinter *printer = QRPrinter();
    if (!printer->Canvas() || !FReport)
        return;
    const QPointer<TQRCustomControl> self(this);
    QString text = FCaption;
    if (OnPrint) {
        OnPrint(this, text);
        if (!self || !printer->Canvas() || !FReport)
            return;
    }
    QPainter &canvas = *printer->Canvas();
    const TQRReport &report = *FReport;
    const QFont pageFont = QRFontAtSize(font(), std::abs(report.XPos(QRFontSize(font()))));
    const QColor background = Color();
    QRCanvas::SetFont(canvas, pageFont);
    QRCanvas::SetBrush(canvas, background);

    // Widths for placing the text are measured on the form, in report units.
    auto formMetrics = [this] { return QFontMetrics(font()); };
    const int W = FAutoSize ? formMetrics().horizontalAdvance(text + QLatin1Char(' ')) : Width();
    int L = 0;
    int R = 0;
    if (FAlignToBand) {
        const int PW = QRRound(printer->PageWidth() * double(QRReferenceResolution) / QRScreenPixelsPerInch());
        switch (FAlignment) {
        case taLeftJustify:
            L = 0;
            R = W;
            break;
        case taRightJustify:
            L = PW - W - 3;
            R = PW;
            break;
        case taCenter:
            L = QRRound(PW * 0.5 - W * 0.5);
            R = QRRound(PW * 0.5 + W * 0.5);
            break;
        }
    } else {
        L = OX + Left();
        R = L + Width();
    }
    if (FAlignment == taRightJustify) {
        if (FAlignToBand)
            L -= formMetrics().horizontalAdvance(QLatin1Char('W'));
        else
            text += QLatin1Char(' ');
    }
    const int top = OY + Top();
    const int bottom = top + Height();
    const QRect textRect = QRRect(report.XPos(L), report.YPos(top), report.XPos(R), report.YPos(bottom));
    int anchor = L;
    if (FAlignment == taRightJustify)
        anchor = R;
    else if (FAlignment == taCenter)
        anchor = L + (R - L) / 2;

    if (!text.isEmpty()) {
        // A background of the band's own colour where the band shows nothing but its
        // background changes nothing on the page: it is left out.
        auto *band = qobject_cast<TQRBand *>(parentWidget());
        if (!FTransparent && !(band && background == band->Color() && band->ShowsBackgroundOnly(textRect)))
            QRCanvas::FillRect(canvas, textRect, background);
        const QFontMetrics pageMetrics = canvas.fontMetrics();
        const int advance = pageMetrics.horizontalAdvance(text);
        int x = report.XPos(anchor);
        if (FAlignment == taRightJustify)
            x -= advance;
        else if (FAlignment == taCenter)
            x -= advance / 2;
        const QPoint baseline(x, report.YPos(top) + pageMetrics.ascent());
        // Where the glyphs put ink, a pixel wider all round.
        const QRect ink = pageMetrics.tightBoundingRect(text).translated(baseline).adjusted(
            -QRPageUnitsPerPixel, -QRPageUnitsPerPixel, QRPageUnitsPerPixel, QRPageUnitsPerPixel);
        // Clipping text that lies well inside its rectangle changes nothing either.
        const bool clip = !FAutoSize && !textRect.contains(ink);
        if (clip)
            canvas.setClipRect(textRect);
        QRCanvas::SetPen(canvas, FontColor());
        canvas.drawText(baseline, text);
        if (clip)
            canvas.setClipping(false);
        if (band)
            band->MarkDrawn(FAutoSize ? textRect.united(ink) : textRect);
    }
}

TQRLabel::TQRLabel(QWidget *parent) : TQRCustomControl(parent) {}

TQRSysData::TQRSysData(QWidget *parent) : TQRCustomControl(parent)
{
    SetAutoSize(false);
    SetDesignCaption();
}

void TQRSysData::SetData(TQRSysDataType data)
{
    FData = data;
    SetDesignCaption();
}

void TQRSysData::SetText(const QString &text)
{
    FText = text;
    SetDesignCaption();
}

void TQRSysData::SetDesignCaption()
{
    SetCaption(FText + QLatin1Char('(') + QRTexts::SysDataName(FData) + QLatin1Char(')'));
}

QString TQRSysData::Value() const
{
    const TQRReport *report = Report();
    switch (FData) {
    case qrsTime: return FormatDateTime(QStringLiteral("t"), QDateTime::currentDateTime());
    case qrsDate: return FormatDateTime(QStringLiteral("c"), QDateTime(QDate::currentDate(), QTime(0, 0)));
    case qrsDateTime: return FormatDateTime(QStringLiteral("c"), QDateTime::currentDateTime());
    case qrsPageNumber: return QString::number(report ? report->PageNumber() : 0);
    case qrsReportTitle: return report ? report->ReportTitle() : QString();
    case qrsDetailCount: return QString::number(report ? report->DetailCount() : 0);
    case qrsDetailNo: return QString::number(report ? report->DetailNo() : 0);
    }
    return QString();
}

void TQRSysData::Print(int OX, int OY)
{
    SetCaption(FText + Value());
    PrintText(OX, OY);
}
