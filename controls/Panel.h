#pragma once

#include <QColor>
#include <QPointer>
#include <QString>
#include <QWidget>

enum TPanelBevel { bvNone, bvLowered, bvRaised };

// Docking to an edge of the parent; the panel follows the parent's size.
enum TAlign { alNone, alTop, alBottom };

// A rectangle with an outer bevel, a border in its own colour, an inner bevel and a
// one-line caption, drawn pixel for pixel as the program's windows were laid out:
// highlight on the top and left of a raised bevel, shadow on the right and bottom.
// The bevel colours are the palette's Light (button highlight) and Dark (button
// shadow); the face is the palette's Button colour unless a colour is set.
class TPanel : public QWidget {
    Q_OBJECT
public:
    explicit TPanel(QWidget *parent = nullptr);

    TPanelBevel BevelInner() const { return FBevelInner; }
    void SetBevelInner(TPanelBevel bevel);
    TPanelBevel BevelOuter() const { return FBevelOuter; }
    void SetBevelOuter(TPanelBevel bevel);
    int BevelWidth() const { return FBevelWidth; }
    void SetBevelWidth(int width);
    int BorderWidth() const { return FBorderWidth; }
    void SetBorderWidth(int width);

    // The face colour; setting one switches ParentColor off.
    QColor Color() const;
    void SetColor(const QColor &color);
    // With ParentColor the face and border are not painted: the parent shows through.
    bool ParentColor() const { return FParentColor; }
    void SetParentColor(bool parentColor);

    QString Caption() const { return FCaption; }
    void SetCaption(const QString &caption);
    // Horizontal placement of the caption: Qt::AlignLeft, Qt::AlignHCenter or Qt::AlignRight.
    Qt::Alignment Alignment() const { return FAlignment; }
    void SetAlignment(Qt::Alignment alignment);

    TAlign Align() const { return FAlign; }
    void SetAlign(TAlign align);

    // The client rectangle less the bevels and the border: where the caption goes.
    QRect InnerRect() const;

protected:
    void paintEvent(QPaintEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    bool event(QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void Dock();

    TPanelBevel FBevelInner = bvNone;
    TPanelBevel FBevelOuter = bvRaised;
    int FBevelWidth = 1;
    int FBorderWidth = 0;
    QColor FColor;
    bool FParentColor = false;
    QString FCaption;
    Qt::Alignment FAlignment = Qt::AlignHCenter;
    TAlign FAlign = alNone;
    QPointer<QWidget> FDockParent;
};

// Draws a 3-D frame of the given width inside rect and shrinks rect by it. Per ring: the
// left column and the top row (but its last pixel) in topColor, the right column and the
// bottom row in bottomColor, which also takes the bottom-left corner.
void Frame3D(class QPainter &painter, QRect &rect, const QColor &topColor, const QColor &bottomColor, int width);
