#include "gui/widgets/CImageButton.h"

#include "gui/widgets/IconResources.h"

#include <QEvent>
#include <QFocusEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QSvgRenderer>

CImageButton::CImageButton(QWidget* parent) : CImageButton(QString(), parent) {}

CImageButton::CImageButton(const QString& caption, QWidget* parent) : QPushButton(caption, parent) {
    setMouseTracking(true);
    ReadSystemColors();
    // A clicked button takes the focus, even when it is not a tab stop.
    connect(this, &QAbstractButton::clicked, this, [this] { setFocus(Qt::MouseFocusReason); });
}

int CImageButton::SetIconResource(int iconId, int width, int height) {
    m_icon = QIcon();
    m_iconSize = QSize();
    int result = 0;
    QString path = IconResourcePath(iconId);
    if (!path.isEmpty()) {
        QSvgRenderer image(path);
        QSize ownSize = image.isValid() ? image.defaultSize() : QSize();
        if (image.isValid() && ownSize.isEmpty()) {
            result = 1;
        } else if (image.isValid()) {
            m_iconSize = QSize(width ? width : ownSize.width(), height ? height : ownSize.height());
            m_icon = QIcon(RenderIconImage(image, m_iconSize, devicePixelRatioF()));
        }
    }
    update();
    return result;
}

void CImageButton::SetTooltip(const QString& text, bool activate) {
    if (text.isNull()) return;
    setToolTip(text);
    m_tooltipActive = activate;
}

void CImageButton::SetTransparent(bool repaint) {
    m_transparent = true;
    m_backgroundSnapshot = QPixmap();
    if (repaint) update();
}

int CImageButton::SetAlignment(int placement, bool repaint) {
    if (placement < IconLeftOfCaption || placement > IconAtTopLeft) return 4;
    m_alignment = placement;
    if (repaint) update();
    return 0;
}

CImageButton::Placement CImageButton::PlaceIcon(const QRect& item, bool hasCaption) const {
    const int width = m_iconSize.width();
    const int height = m_iconSize.height();
    // Edges as left/top/right/bottom with right and bottom just outside.
    int iconLeft = item.left();
    int iconTop = item.top();
    int captionLeft = item.left();
    int captionTop = item.top();
    int captionRight = item.left() + item.width();
    const int captionBottom = item.top() + item.height();
    auto centreHorizontally = [&] { iconLeft = item.left() + (item.width() - width) / 2; };
    auto centreVertically = [&] { iconTop = item.top() + (item.height() - height) / 2; };

    switch (m_alignment) {
    case IconLeftOfCaption:
        if (hasCaption) {
            iconLeft = item.left() + m_iconMargin.x();
            captionLeft += width + m_iconMargin.x();
        } else {
            centreHorizontally();
        }
        centreVertically();
        break;
    case IconAboveCaption:
        centreHorizontally();
        if (hasCaption) {
            iconTop = m_iconMargin.y();
            captionTop += height;
        } else {
            centreVertically();
        }
        break;
    case IconRightOfCaption:
        if (hasCaption) {
            captionRight = captionRight - captionLeft - m_iconMargin.x() - width;
            captionLeft = m_iconMargin.x();
            iconLeft = item.left() + item.width() - m_iconMargin.x() - width;
            centreVertically();
        } else {
            centreHorizontally();
        }
        break;
    default: break;
    }

    QRect icon(iconLeft, iconTop, width, height);
    if (m_pressed) icon.translate(m_pressOffset);
    return {icon, QRect(captionLeft, captionTop, captionRight - captionLeft, captionBottom - captionTop)};
}

void CImageButton::PaintBackground(QPainter& painter, const QRect& item) {
    painter.fillRect(item, StateColor(HoverBackground, FocusBackground, NormalBackground));
}

void CImageButton::PaintBorder(QPainter& painter, const QRect& item) {
    const QColor highlight = palette().color(QPalette::Active, QPalette::Light);
    const QColor shadow = palette().color(QPalette::Active, QPalette::Dark);
    if (m_pressed) {
        DrawEdge(painter, item, shadow, highlight);
    } else if (m_hover) {
        DrawEdge(painter, item, highlight, shadow);
    }
}

void CImageButton::PaintIcon(QPainter& painter, const QRect& item, bool hasCaption, QRect& captionRect) {
    Placement placement = PlaceIcon(item, hasCaption);
    captionRect = placement.caption;
    QPixmap image = m_icon.pixmap(m_iconSize, devicePixelRatioF(), m_disabled ? QIcon::Disabled : QIcon::Normal);
    painter.drawPixmap(placement.icon.topLeft(), image);
}

void CImageButton::PaintCaption(QPainter& painter, const QString& caption, QRect captionRect) {
    if (m_pressed) captionRect.translate(m_pressOffset);
    const int flags = Qt::AlignHCenter | Qt::AlignTop | Qt::TextWordWrap | Qt::TextShowMnemonic;
    QSize measured = painter.fontMetrics().boundingRect(captionRect, flags, caption).size();
    QRect textRect(QPoint(captionRect.left() + (captionRect.width() - measured.width()) / 2,
                          captionRect.top() + (captionRect.height() - measured.height()) / 2),
                   measured);
    if (m_disabled) {
        // Embossed: a highlight copy one pixel down and right under the shadow-coloured text.
        painter.setPen(palette().color(QPalette::Active, QPalette::Light));
        painter.drawText(textRect.translated(1, 1), flags, caption);
        painter.setPen(palette().color(QPalette::Active, QPalette::Dark));
        painter.drawText(textRect, flags, caption);
    } else {
        painter.setPen(StateColor(HoverText, FocusText, NormalText));
        painter.drawText(textRect, flags, caption);
    }
}

void CImageButton::PaintFocus(QPainter& painter, const QRect& item) {
    QPen dotted(StateColor(HoverText, FocusText, NormalText), 1, Qt::DotLine);
    painter.save();
    painter.setPen(dotted);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(item.adjusted(2, 2, -3, -3));
    painter.restore();
}

bool CImageButton::event(QEvent* event) {
    switch (event->type()) {
    case QEvent::ToolTip:
        if (!m_tooltipActive) {
            event->ignore();
            return true;
        }
        break;
    case QEvent::Move:
    case QEvent::Resize:
        // The snapshot belongs to the place the button had.
        m_backgroundSnapshot = QPixmap();
        break;
    default: break;
    }
    return QPushButton::event(event);
}

void CImageButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    DrawItem(painter);
}

void CImageButton::DrawItem(QPainter& painter) {
    m_pressed = isDown();
    m_focused = hasFocus();
    m_disabled = !isEnabled();
    const QRect item = rect();

    if (m_transparent) {
        CopyParentBackground(painter);
    } else {
        PaintBackground(painter, item);
    }
    PaintBorder(painter, item);

    const QString caption = text();
    QRect captionRect = item;
    if (!m_icon.isNull()) PaintIcon(painter, item, !caption.isEmpty(), captionRect);
    if (!caption.isEmpty()) PaintCaption(painter, caption, captionRect);
    if (m_focused && window()->testAttribute(Qt::WA_KeyboardFocusChange)) PaintFocus(painter, item);
}

void CImageButton::CopyParentBackground(QPainter& painter) {
    QWidget* parent = parentWidget();
    if (!parent) {
        PaintBackground(painter, rect());
        return;
    }
    if (m_backgroundSnapshot.isNull()) {
        // The parent's own painting under the button, without its children
        // (this button among them).
        const qreal ratio = devicePixelRatioF();
        QPixmap snapshot(size() * ratio);
        snapshot.setDevicePixelRatio(ratio);
        snapshot.fill(Qt::transparent);
        parent->render(&snapshot, QPoint(), QRegion(geometry()), QWidget::DrawWindowBackground);
        m_backgroundSnapshot = snapshot;
    }
    painter.drawPixmap(0, 0, m_backgroundSnapshot);
}

void CImageButton::DrawEdge(QPainter& painter, const QRect& item, const QColor& topLeft,
                            const QColor& bottomRight) const {
    const int x = item.x(), y = item.y(), width = item.width(), height = item.height();
    painter.fillRect(x, y, width - 1, 1, topLeft);
    painter.fillRect(x, y, 1, height - 1, topLeft);
    painter.fillRect(x + width - 1, y, 1, height, bottomRight);
    painter.fillRect(x, y + height - 1, width, 1, bottomRight);
}

const QColor& CImageButton::StateColor(ColorIndex hover, ColorIndex focus, ColorIndex normal) const {
    if (m_hover || m_pressed) return m_colors[hover];
    return m_colors[m_focused ? focus : normal];
}

void CImageButton::ReadSystemColors() {
    const QColor face = palette().color(QPalette::Active, QPalette::Button);
    const QColor text = palette().color(QPalette::Active, QPalette::ButtonText);
    m_colors = {face, text, face, text, face, text};
}

void CImageButton::mouseMoveEvent(QMouseEvent* event) {
    QPushButton::mouseMoveEvent(event);
    // A drag that started elsewhere does not light the button up.
    if ((event->buttons() & Qt::LeftButton) && !m_hover) return;
    if (rect().contains(event->position().toPoint())) {
        if (m_hover) return;
        m_hover = true;
        update();
    } else {
        EndHover();
    }
}

void CImageButton::leaveEvent(QEvent* event) {
    QPushButton::leaveEvent(event);
    EndHover();
}

void CImageButton::focusOutEvent(QFocusEvent* event) {
    QPushButton::focusOutEvent(event);
    EndHover();
}

void CImageButton::changeEvent(QEvent* event) {
    QPushButton::changeEvent(event);
    switch (event->type()) {
    case QEvent::EnabledChange:
        if (!isEnabled()) {
            MoveFocusPastThis();
            EndHover();
        }
        break;
    case QEvent::ActivationChange:
        // The window lost the user's attention: a dialog opened over it or
        // another window came to the front.
        if (!isActiveWindow()) EndHover();
        break;
    case QEvent::PaletteChange:
    case QEvent::StyleChange:
        m_backgroundSnapshot = QPixmap();
        ReadSystemColors();
        update();
        break;
    default: break;
    }
}

void CImageButton::EndHover() {
    if (!m_hover) return;
    m_hover = false;
    update();
}

// A disabled button hands the focus to the parent's next tab stop after it,
// or to the parent itself when there is none, whoever had the focus before.
void CImageButton::MoveFocusPastThis() {
    QWidget* parent = parentWidget();
    if (!parent) return;
    for (QWidget* next = nextInFocusChain(); next && next != this; next = next->nextInFocusChain()) {
        if (parent->isAncestorOf(next) && next->isEnabled() && next->isVisibleTo(parent) &&
            (next->focusPolicy() & Qt::TabFocus)) {
            next->setFocus(Qt::TabFocusReason);
            return;
        }
    }
    parent->setFocus(Qt::TabFocusReason);
}
