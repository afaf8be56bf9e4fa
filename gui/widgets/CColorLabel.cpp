#include "gui/widgets/CColorLabel.h"

#include <QApplication>
#include <QPainter>

#include <array>
#include <cstdlib>

namespace {

// Qt draws its named weights; take the one nearest the asked weight.
QFont::Weight NearestWeight(int weight) {
    constexpr std::array<QFont::Weight, 9> kWeights{QFont::Thin,   QFont::ExtraLight, QFont::Light,
                                                    QFont::Normal, QFont::Medium,     QFont::DemiBold,
                                                    QFont::Bold,   QFont::ExtraBold,  QFont::Black};
    QFont::Weight nearest = kWeights.front();
    for (QFont::Weight candidate : kWeights) {
        if (std::abs(candidate - weight) < std::abs(nearest - weight)) nearest = candidate;
    }
    return nearest;
}

}  // namespace

CColorLabel::CColorLabel(const QString& text, QWidget* parent)
    : QLabel(text, parent),
      m_textColor(QApplication::palette().color(QPalette::Active, QPalette::WindowText)),
      m_backColor(QApplication::palette().color(QPalette::Active, QPalette::Button)),
      m_font(QStringLiteral("Arial")) {
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_font.setPixelSize(kFontPixelHeight);
    m_font.setWeight(NearestWeight(kFontWeight));
}

void CColorLabel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), m_backColor);
    painter.setFont(m_font);
    painter.setPen(m_textColor);
    painter.drawText(contentsRect(), int(alignment()) | (wordWrap() ? Qt::TextWordWrap : 0), text());
}
