#pragma once

#include <QIcon>
#include <QPixmap>
#include <QPoint>
#include <QPushButton>

#include <array>

class QPainter;

// The flat icon push button of the main window. It draws an icon and an
// optional caption itself: no edge at rest, a raised edge while the pointer
// is over it, a sunken edge with icon and caption shifted one pixel while it
// is pressed, and a dotted focus frame once the keyboard has brought the
// focus to it. It can paint itself over a snapshot of its parent's
// background, so that the dialog's own ground shows around the icon. A click
// reaches the parent as an ordinary button click.
class CImageButton : public QPushButton {
    Q_OBJECT

public:
    enum IconPlacement : int {
        IconLeftOfCaption = 0,
        IconAboveCaption = 1,
        IconRightOfCaption = 2,
        IconAtTopLeft = 3,
    };

    explicit CImageButton(QWidget* parent = nullptr);
    CImageButton(const QString& caption, QWidget* parent = nullptr);

    // Replaces the icon by icon resource `iconId` (IconResources.h) at width
    // by height pixels; 0 keeps the icon's own width or height. Returns 0,
    // also when there is no such icon (the button then has none), or 1 when
    // the icon has no size to take (the button then has none either).
    int SetIconResource(int iconId, int width, int height);

    // Sets the tooltip text and switches the tooltip on or off. A null text
    // changes nothing.
    void SetTooltip(const QString& text, bool activate);

    // Paints the button over its parent's background from now on. The
    // background is copied once and reused until the next call or a change
    // of the palette or style.
    void SetTransparent(bool repaint);

    // Returns 0, or 4 for a placement above 3, which changes nothing.
    int SetAlignment(int placement, bool repaint);

    bool IsHovering() const { return m_hover; }
    int Alignment() const { return m_alignment; }
    QSize IconSize() const { return m_iconSize; }

    struct Placement {
        QRect icon;
        QRect caption;
    };
    // Where the icon and the caption go within the item rectangle, for the
    // current placement and the pressed state of the last paint.
    Placement PlaceIcon(const QRect& item, bool hasCaption) const;

protected:
    // The painting steps, in the order they run.
    virtual void PaintBackground(QPainter& painter, const QRect& item);
    virtual void PaintBorder(QPainter& painter, const QRect& item);
    virtual void PaintIcon(QPainter& painter, const QRect& item, bool hasCaption, QRect& captionRect);
    virtual void PaintCaption(QPainter& painter, const QString& caption, QRect captionRect);
    // A dotted frame inside the edge while the focus came by the keyboard.
    virtual void PaintFocus(QPainter& painter, const QRect& item);

    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    // Background and text colour for the three drawing states.
    enum ColorIndex {
        HoverBackground,
        HoverText,
        NormalBackground,
        NormalText,
        FocusBackground,
        FocusText,
        ColorCount
    };

    void DrawItem(QPainter& painter);
    void CopyParentBackground(QPainter& painter);
    void DrawEdge(QPainter& painter, const QRect& item, const QColor& topLeft, const QColor& bottomRight) const;
    const QColor& StateColor(ColorIndex hover, ColorIndex focus, ColorIndex normal) const;
    void ReadSystemColors();
    void EndHover();
    void MoveFocusPastThis();

    bool m_hover = false;
    bool m_pressed = false;
    bool m_focused = false;
    bool m_disabled = false;
    bool m_transparent = false;
    bool m_tooltipActive = false;
    int m_alignment = IconLeftOfCaption;
    QPoint m_iconMargin{3, 3};
    QPoint m_pressOffset{1, 1};
    std::array<QColor, ColorCount> m_colors;
    QIcon m_icon;
    QSize m_iconSize;
    QPixmap m_backgroundSnapshot;
};
