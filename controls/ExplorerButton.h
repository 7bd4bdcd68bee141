#pragma once

#include "controls/ExplorerButtonGeometry.h"
#include "controls/ExplorerButtonImages.h"

#include <QByteArray>
#include <QColor>
#include <QFlags>
#include <QHash>
#include <QImage>
#include <QMenu>
#include <QPointer>
#include <QWidget>
#include <functional>

class QShortcut;

// A flat button drawn on its parent's background: a thin raised bevel while the mouse
// is over it, sunken and shifted one pixel while pressed or toggled down, greyed and
// etched when disabled. It never takes the keyboard focus. It can open a drop-down
// menu instead of clicking and act as a radio-style toggle among siblings of the same
// GroupIndex.
//
// System colours come from the palette: button face = Button, button highlight =
// Light, button shadow = Dark, window text = WindowText.
class TExplorerButton : public QWidget {
    Q_OBJECT
public:
    enum TAlignment { taLeftJustify, taRightJustify, taCenter };

    explicit TExplorerButton(QWidget *parent = nullptr);
    ~TExplorerButton() override;

    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment alignment);
    bool AllowAllUp() const { return FAllowAllUp; }
    void SetAllowAllUp(bool allow);
    TBevelStyle BevelStyle() const { return FBevelStyle; }
    void SetBevelStyle(TBevelStyle style);

    // Images are drawn transparently: their top-left pixel's colour is the background.
    const QImage &Bitmap() const { return FBitmap; }
    void SetBitmap(const QImage &bitmap);
    const QImage &NoFocusBitmap() const { return FNoFocusBitmap; }
    void SetNoFocusBitmap(const QImage &bitmap);
    const QImage &DisabledBitmap() const { return FDisabledBitmap; }
    void SetDisabledBitmap(const QImage &bitmap);

    // The mono image shown at rest in mono display mode. It is made from Bitmap by
    // MonoImage whenever Bitmap, NoFocusBitmap or ShadingType changes while
    // NoFocusBitmap is empty; stored layouts may also supply it as a bitmap file.
    const QImage &IBitmap() const { return FIBitmap; }
    void SetIBitmap(const QImage &bitmap);
    // The stored form: a complete bitmap file ("BM" header, 24 bits per pixel).
    QByteArray IBitmapData() const;
    // Returns false, leaving IBitmap unchanged, when data is not a readable bitmap file.
    bool SetIBitmapData(const QByteArray &data);

    // "&" marks the accelerator letter (Alt+letter), "&&" is a literal "&".
    QString Caption() const { return FCaption; }
    void SetCaption(const QString &caption);

    int GroupIndex() const { return FGroupIndex; }
    void SetGroupIndex(int groupIndex);
    bool Down() const { return FDown; }
    void SetDown(bool down);

    QMenu *DropDownMenu() const { return FDropDownMenu; }
    void SetDropDownMenu(QMenu *menu);

    // The button's own enabled state. A disabled button ignores presses and its
    // accelerator but still hears the mouse come and go (and so shows its hint).
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool enabled);

    TExplorerButtonLayout Layout() const { return FLayout; }
    void SetLayout(TExplorerButtonLayout layout);
    TExplorerButtonOptions Options() const { return FOptions; }
    void SetOptions(TExplorerButtonOptions options);
    TExplorerButtonShadingType ShadingType() const { return FShadingType; }
    void SetShadingType(TExplorerButtonShadingType shadingType);
    bool ShowDownPattern() const { return FShowDownPattern; }
    void SetShowDownPattern(bool show);
    // Caption colour at rest; the palette's window text unless set.
    QColor UnselectedFontColor() const;
    void SetUnselectedFontColor(const QColor &color);
    bool WordWrap() const { return FWordWrap; }
    void SetWordWrap(bool wordWrap);

    // The caption colour when hot, pressed or down (the font colour of the layouts).
    QColor FontColor() const;
    void SetFontColor(const QColor &color);

    // The hint goes to the application's status line while the mouse is over the
    // button, and shows as a tooltip when ShowHint is set.
    QString Hint() const { return FHint; }
    void SetHint(const QString &hint);
    bool ShowHint() const { return FShowHint; }
    void SetShowHint(bool show);

    QMenu *PopupMenu() const { return FPopupMenu; }
    void SetPopupMenu(QMenu *menu) { FPopupMenu = menu; }

    // Transient state: the left button went down here and is still held; the mouse
    // is over the button.
    bool Pressed() const { return FPressed; }
    bool MouseInside() const { return FMouseInside; }

    // Raises OnClick.
    void Click();

    std::function<void(QObject *Sender)> OnClick;
    std::function<void(QObject *Sender)> OnEnter;
    std::function<void(QObject *Sender)> OnExit;

    // The mono version of bitmap: the top-left pixel's colour stays as background;
    // every other pixel becomes white, highlight, shadow or black by the sum of its
    // red, green and blue against the thresholds of the shading type.
    static QImage MonoImage(const QImage &bitmap, TExplorerButtonShadingType shadingType, const QColor &highlight,
                            const QColor &shadow);

    // Caption with the accelerator marks removed: "&" dropped, "&&" turned into "&".
    static QString StripAccelerator(const QString &caption);

protected:
    void paintEvent(QPaintEvent *event) override;
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;

private:
    friend class TExplorerButtonAccessible;

    TExplorerButtonGeometry Measure() const;
    // The three looks: pressed or down, enabled at rest or hot, disabled.
    void PaintSunken(class QPainter &painter, const TExplorerButtonGeometry &g);
    void PaintEnabled(QPainter &painter, const TExplorerButtonGeometry &g);
    void PaintDisabled(QPainter &painter, const TExplorerButtonGeometry &g);
    void DrawBevel(QPainter &painter, bool sunken) const;
    void DrawCaption(QPainter &painter, const TExplorerButtonGeometry &g, const QRect &rect, const QColor &color) const;
    void DrawMark(QPainter &painter, int x, int y, const QColor &color) const;
    QList<TExplorerButton *> GroupSiblings() const;
    void LeftButtonDown();
    void LeftButtonUp(bool cursorInside);
    void PerformAccelerator();
    bool CursorInside() const;
    void RegenerateIBitmap();
    // Stores a property that only changes the look, and repaints when it changed.
    template <typename T>
    void SetLook(T &field, const T &value)
    {
        if (field == value)
            return;
        field = value;
        update();
    }
    const QImage &Transparent(const QImage &image) const;
    void UpdateToolTip();
    void UpdateShortcut();
    QString AccessibleText() const;
    void NotifyAccessibleState();

    TAlignment FAlignment = taCenter;
    bool FAllowAllUp = false;
    TBevelStyle FBevelStyle = bsRaised;
    QImage FBitmap;
    QImage FNoFocusBitmap;
    QImage FDisabledBitmap;
    QImage FIBitmap;
    QString FCaption;
    int FGroupIndex = 0;
    bool FDown = false;
    QPointer<QMenu> FDropDownMenu;
    bool FEnabled = true;
    TExplorerButtonLayout FLayout = blBitmapTop;
    TExplorerButtonOptions FOptions = boMonoDisplay | boPopupMark | boShowBevel;
    TExplorerButtonShadingType FShadingType = stMedium;
    bool FShowDownPattern = true;
    QColor FUnselectedFontColor;
    bool FWordWrap = false;
    QColor FFontColor;
    QString FHint;
    bool FShowHint = false;
    QPointer<QMenu> FPopupMenu;
    bool FPressed = false;
    bool FMouseInside = false;
    bool FMenuRunning = false;
    QShortcut *FShortcut;
    mutable QHash<qint64, QImage> FTransparentCache;
};
