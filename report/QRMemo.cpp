#include "report/QRMemo.h"

#include "report/QRCanvas.h"
#include "report/QRPrinter.h"
#include "report/QRReport.h"

#include <QFontMetrics>
#include <QPainter>
#include <QSignalBlocker>
#include <QTextOption>

TQRMemo::TQRMemo(QWidget *parent) : QTextEdit(parent)
{
    setFrameShape(QFrame::NoFrame);
    setAcceptRichText(false);
    SetColor(FColor);
    connect(this, &QTextEdit::textChanged, this, [this] {
        const QString text = toPlainText();
        FLines = text.isEmpty() ? QStringList() : text.split(QLatin1Char('\n'));
    });
}

TQRReport *TQRMemo::Report() const
{
    return FReport;
}

void TQRMemo::SetReport(TQRReport *report)
{
    FReport = report;
}

void TQRMemo::SetAlignment(TAlignment alignment)
{
    FAlignment = alignment;
    ShowLines();
}

void TQRMemo::SetColor(const QColor &color)
{
    FColor = color;
    QPalette p = palette();
    p.setColor(QPalette::Base, color);
    setPalette(p);
}

QColor TQRMemo::FontColor() const
{
    return palette().color(QPalette::Text);
}

void TQRMemo::SetFontColor(const QColor &color)
{
    QPalette p = palette();
    p.setColor(QPalette::Text, color);
    setPalette(p);
}

bool TQRMemo::ParentFont() const
{
    return !testAttribute(Qt::WA_SetFont);
}

void TQRMemo::SetParentFont(bool parentFont)
{
    if (parentFont)
        setFont(QFont());
    else
        setAttribute(Qt::WA_SetFont, true);
}

void TQRMemo::SetLines(const QStringList &lines)
{
    FLines = lines;
    ShowLines();
}

void TQRMemo::SetWordWrap(bool wordWrap)
{
    FWordWrap = wordWrap;
    setLineWrapMode(wordWrap ? QTextEdit::WidgetWidth : QTextEdit::NoWrap);
}

void TQRMemo::ShowLines()
{
    const QSignalBlocker blocker(this);
    setPlainText(FLines.join(QLatin1Char('\n')));
    Qt::Alignment alignment = Qt::AlignLeft;
    if (FAlignment == taRightJustify)
        alignment = Qt::AlignRight;
    else if (FAlignment == taCenter)
        alignment = Qt::AlignHCenter;
    QTextOption option = document()->defaultTextOption();
    option.setAlignment(alignment);
    document()->setDefaultTextOption(option);
}

void TQRMemo::Print(int OX, int OY)
{
    QPainter *canvas = QRPrinter()->Canvas();
    if (FLines.isEmpty() || !canvas || !FReport)
        return;
    const TQRReport &report = *FReport;
    const int lineHeight = report.YPos(QFontMetrics(font()).height());
    const int lastTop = report.YPos(OY + Top() + Height()) - lineHeight;
    QRCanvas::SetFont(*canvas, QRFontAtSize(font(), QRFontSize(font()) * QRPageUnitsPerPixel));
    QRCanvas::SetPen(*canvas, FontColor());
    QRCanvas::SetBrush(*canvas, Qt::NoBrush);
    const QFontMetrics pageMetrics = canvas->fontMetrics();
    const int x0 = report.XPos(OX + Left());
    const int x1 = x0 + report.XPos(Width());
    const int y0 = report.YPos(OY + Top());
    for (int i = 0; i < FLines.size(); ++i) {
        const int y = y0 + i * lineHeight;
        if (y > lastTop)
            break;
        const QString &line = FLines.at(i);
        const int advance = pageMetrics.horizontalAdvance(line);
        int x = x0;
        if (FAlignment == taRightJustify)
            x = x1 - advance;
        else if (FAlignment == taCenter)
            x = x0 + (x1 - x0) / 2 - advance / 2;
        canvas->drawText(QPoint(x, y + pageMetrics.ascent()), line);
    }
}
