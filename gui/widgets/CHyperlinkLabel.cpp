#include "gui/widgets/CHyperlinkLabel.h"

#include "gui/widgets/OpenAddress.h"

#include <QCursor>
#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>

CHyperlinkLabel::CHyperlinkLabel(const QString& text, QWidget* parent) : CHyperlinkLabel(text, QString(), parent) {}

CHyperlinkLabel::CHyperlinkLabel(const QString& text, const QString& address, QWidget* parent)
    : QLabel(text, parent), m_address(address) {
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    if (m_address.isEmpty()) m_address = text;
    if (text.isEmpty()) setText(m_address);

    m_normalFont = font();
    m_underlineFont = m_normalFont;
    m_underlineFont.setUnderline(true);

    FitToText();
    setCursor(Qt::PointingHandCursor);
    setToolTip(m_address);
    setMouseTracking(true);

    m_hoverTimer.setInterval(kHoverCheckMs);
    connect(&m_hoverTimer, &QTimer::timeout, this, &CHyperlinkLabel::CheckPointer);
}

void CHyperlinkLabel::SetAddress(const QString& address) {
    m_address = address;
    FitToText();
    setToolTip(m_address);
}

void CHyperlinkLabel::SetUnderline(bool on) {
    if (on != m_underline) {
        setFont(on ? m_underlineFont : m_normalFont);
        update();
    }
    m_underline = on;
}

void CHyperlinkLabel::SetVisited(bool visited) {
    m_visited = visited;
    update();
}

QColor CHyperlinkLabel::TextColor() const {
    if (m_over) return m_hoverColor;
    return m_visited ? m_visitedColor : m_linkColor;
}

void CHyperlinkLabel::FitToText() {
    if (!m_fitToText) return;
    QFontMetrics metrics(m_underlineFont);
    const int width = metrics.horizontalAdvance(text()) + (this->width() - contentsRect().width());
    const int height = metrics.height() + (this->height() - contentsRect().height());

    // Left, top, right and bottom, with right and bottom just outside.
    QRect area = geometry();
    int left = area.x(), top = area.y();
    int right = left + area.width(), bottom = top + area.height();
    if (alignment() & Qt::AlignVCenter) {
        const int shrink = (area.height() - height) / 2;
        top += shrink;
        bottom -= shrink;
    } else {
        bottom = top + height;
    }
    if (alignment() & Qt::AlignHCenter) {
        const int shrink = (area.width() - width) / 2;
        left += shrink;
        right -= shrink;
    } else if (alignment() & Qt::AlignRight) {
        left = right - width;
    } else {
        right = left + width;
    }
    setGeometry(left, top, right - left, bottom - top);
}

void CHyperlinkLabel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setFont(font());
    painter.setPen(TextColor());
    painter.drawText(contentsRect(), int(alignment()) | (wordWrap() ? Qt::TextWordWrap : 0), text());
}

void CHyperlinkLabel::mouseMoveEvent(QMouseEvent* event) {
    if (!m_over) {
        m_over = true;
        update();
        m_hoverTimer.start();
    }
    QLabel::mouseMoveEvent(event);
}

void CHyperlinkLabel::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        Click();
        return;
    }
    QLabel::mousePressEvent(event);
}

// A static text reports a double click apart from the click before it, and a
// link does nothing with it: the address opens once.
void CHyperlinkLabel::mouseDoubleClickEvent(QMouseEvent* event) { event->accept(); }

// The pointer may leave without the label hearing of it; look where it is.
void CHyperlinkLabel::CheckPointer() {
    if (rect().contains(mapFromGlobal(QCursor::pos()))) return;
    m_over = false;
    m_hoverTimer.stop();
    update();
}

void CHyperlinkLabel::Click() {
    m_over = false;
    update();
    m_visited = OpenAddressOrReport(m_address.toStdString());
    if (m_visited) SetVisited(true);
}
