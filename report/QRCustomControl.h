#pragma once

#include "report/QRDesignBounds.h"
#include "report/QRTypes.h"

#include <QColor>
#include <QFont>
#include <QPointer>
#include <QString>
#include <QWidget>
#include <functional>

class TQRReport;

// Base of the print controls that sit on a band and draw themselves onto the open
// page when the band prints: a label-like control (caption, font, colour, alignment,
// auto-size, transparency) that can also align its text to the printable width.
class TQRCustomControl : public QWidget, public TQRDesignBounds<TQRCustomControl> {
    Q_OBJECT
public:
    explicit TQRCustomControl(QWidget *parent = nullptr);

    const QString &Caption() const { return FCaption; }
    void SetCaption(const QString &caption);
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment alignment);
    bool AutoSize() const { return FAutoSize; }
    void SetAutoSize(bool autoSize);
    bool AlignToBand() const { return FAlignToBand; }
    void SetAlignToBand(bool align) { FAlignToBand = align; }
    // The control's own colour, or its band's while ParentColor is on.
    QColor Color() const;
    void SetColor(const QColor &color);
    bool ParentColor() const { return FParentColor; }
    void SetParentColor(bool parentColor);
    QFont Font() const { return font(); }
    void SetFont(const QFont &font) { setFont(font); }
    QColor FontColor() const;
    void SetFontColor(const QColor &color);
    bool ParentFont() const;
    void SetParentFont(bool parentFont);
    bool Transparent() const { return FTransparent; }
    void SetTransparent(bool transparent);
    bool Visible() const { return FVisible; }
    void SetVisible(bool visible);

    // May change the text that is printed; the caption itself stays.
    std::function<void(QObject *Sender, QString &Value)> OnPrint;

    // The report of the run in progress, set by the engine at the start of each run.
    TQRReport *Report() const;
    void SetReport(TQRReport *report);

    // Draws the control onto the open page with its band's offsets (report units).
    virtual void Print(int OX, int OY);
    // Extra height beyond the band the control needs; none of the kinds asks for any.
    virtual void ExtraHeight(int &Extra) { Extra = 0; }

protected:
    // The shared text printing of labels and system fields.
    void PrintText(int OX, int OY);
    // Resizes to the caption when auto-size is on, keeping a right-aligned control's
    // right edge where it was.
    void AdjustBounds();
    void changeEvent(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    QString FCaption;
    TAlignment FAlignment = taLeftJustify;
    bool FAutoSize = true;
    bool FAlignToBand = false;
    QColor FColor = Qt::white;
    bool FParentColor = true;
    bool FTransparent = false;
    bool FVisible = true;
    QPointer<TQRReport> FReport;
};

// One line of text.
class TQRLabel : public TQRCustomControl {
    Q_OBJECT
public:
    explicit TQRLabel(QWidget *parent = nullptr);
};

// A system value (time, date, page number, ...) printed after a fixed prefix. On the
// form its caption reads the prefix and the value's name in parentheses.
class TQRSysData : public TQRCustomControl {
    Q_OBJECT
public:
    explicit TQRSysData(QWidget *parent = nullptr);

    TQRSysDataType Data() const { return FData; }
    void SetData(TQRSysDataType data);
    const QString &Text() const { return FText; }
    void SetText(const QString &text);

    // The value as it prints now, without the prefix.
    QString Value() const;

    void Print(int OX, int OY) override;

private:
    void SetDesignCaption();

    TQRSysDataType FData = qrsTime;
    QString FText;
};
