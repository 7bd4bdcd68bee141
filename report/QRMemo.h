#pragma once

#include "report/QRDesignBounds.h"
#include "report/QRTypes.h"

#include <QColor>
#include <QPointer>
#include <QStringList>
#include <QTextEdit>

class TQRReport;

// Several lines of text on a band. The band prints it whether visible or not; on the
// page the lines keep their own breaks: only those whose top lies within the memo's
// height print, and nothing is wrapped or clipped sideways.
class TQRMemo : public QTextEdit, public TQRDesignBounds<TQRMemo> {
    Q_OBJECT
public:
    explicit TQRMemo(QWidget *parent = nullptr);

    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment alignment);
    QColor Color() const { return FColor; }
    void SetColor(const QColor &color);
    QFont Font() const { return font(); }
    void SetFont(const QFont &font) { setFont(font); }
    QColor FontColor() const;
    void SetFontColor(const QColor &color);
    bool ParentFont() const;
    void SetParentFont(bool parentFont);
    const QStringList &Lines() const { return FLines; }
    void SetLines(const QStringList &lines);
    bool WordWrap() const { return FWordWrap; }
    void SetWordWrap(bool wordWrap);

    TQRReport *Report() const;
    void SetReport(TQRReport *report);

    void Print(int OX, int OY);
    void ExtraHeight(int &Extra) const { Extra = 0; }

private:
    void ShowLines();

    TAlignment FAlignment = taLeftJustify;
    QColor FColor = Qt::white;
    QStringList FLines;
    bool FWordWrap = true;
    QPointer<TQRReport> FReport;
};
