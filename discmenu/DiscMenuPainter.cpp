#include "discmenu/DiscMenuPainter.h"

#include "core/DiscAuthoring.h"

#include <QColor>
#include <QDir>
#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QRect>
#include <QString>

namespace {

const QColor kBackgroundTop(0x1c, 0x2a, 0x44);
const QColor kBackgroundBottom(0x0a, 0x0e, 0x18);
const QColor kText(0xf0, 0xf0, 0xf0);
const QColor kNavigationFill(0x2c, 0x3c, 0x5c);
const QColor kHighlight(0xff, 0xd0, 0x40);
const QColor kSelect(0xff, 0x60, 0x40);
constexpr int kOutlineWidth = 4;

QRect Rect(const MenuRect& rect) { return {rect.x, rect.y, rect.width, rect.height}; }

QFont LabelFont() {
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPixelSize(DiscMenuLayout::kTextPixels);
    font.setBold(true);
    return font;
}

void DrawLabel(QPainter& painter, const DiscMenuButton& button) {
    const QRect area = Rect(button.text);
    const QString label =
        painter.fontMetrics().elidedText(QString::fromStdString(button.label), Qt::ElideMiddle, area.width());
    painter.setPen(kText);
    painter.drawText(area, Qt::AlignCenter, label);
}

void DrawButton(QPainter& painter, const DiscMenuButton& button, const QString& folder) {
    if (button.kind != DiscMenuButton::Kind::Title) {
        painter.fillRect(Rect(button.frame), kNavigationFill);
        return DrawLabel(painter, button);
    }
    const QRect still = Rect(button.still);
    QImage picture(
        QDir(folder).filePath(QString::fromStdString(DiscAuthoring::StillFile(std::size_t(button.title - 1)))));
    if (picture.isNull())
        painter.fillRect(still, Qt::black);
    else
        painter.drawImage(still, picture);
    DrawLabel(painter, button);
}

QImage Background(const DiscMenuLayout& menu, const DiscMenuPage& page, const QString& folder) {
    QImage image(menu.FrameWidth(), menu.FrameHeight(), QImage::Format_RGB32);
    QPainter painter(&image);
    QLinearGradient gradient(0, 0, 0, menu.FrameHeight());
    gradient.setColorAt(0, kBackgroundTop);
    gradient.setColorAt(1, kBackgroundBottom);
    painter.fillRect(image.rect(), gradient);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.setFont(LabelFont());
    for (const DiscMenuButton& button : page.buttons) DrawButton(painter, button, folder);
    return image;
}

// Outlines on a transparent picture, in one colour with hard edges.
QImage Outlines(const DiscMenuLayout& menu, const DiscMenuPage& page, const QColor& colour) {
    QImage image(menu.FrameWidth(), menu.FrameHeight(), QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing, false);
    for (const DiscMenuButton& button : page.buttons) {
        const QRect frame = Rect(button.frame);
        const int w = kOutlineWidth;
        painter.fillRect(frame.x(), frame.y(), frame.width(), w, colour);
        painter.fillRect(frame.x(), frame.bottom() + 1 - w, frame.width(), w, colour);
        painter.fillRect(frame.x(), frame.y(), w, frame.height(), colour);
        painter.fillRect(frame.right() + 1 - w, frame.y(), w, frame.height(), colour);
    }
    return image;
}

}  // namespace

std::string DiscMenuPainter::DrawPage(const DiscMenuLayout& menu, std::size_t page, const std::string& folder) const {
    const DiscMenuPage& buttons = menu.Pages().at(page);
    const QDir into(QString::fromStdString(folder));
    const struct {
        QImage image;
        std::string name;
    } pictures[] = {
        {Background(menu, buttons, into.path()), DiscAuthoring::BackgroundFile(page)},
        {Outlines(menu, buttons, kHighlight), DiscAuthoring::HighlightFile(page)},
        {Outlines(menu, buttons, kSelect), DiscAuthoring::SelectFile(page)},
    };
    for (const auto& picture : pictures) {
        const QString path = into.filePath(QString::fromStdString(picture.name));
        if (!picture.image.save(path, "PNG")) return "\"" + path.toStdString() + "\" could not be written.";
    }
    return {};
}
