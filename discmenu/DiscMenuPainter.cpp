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
#include <QTextLayout>

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

QFont TitleFont() {
    QFont font = LabelFont();
    font.setPixelSize(DiscMenuLayout::kTextPixels + 4);
    return font;
}

QStringList WrappedLines(const QString& text, const QFont& font, int width, QTextOption::WrapMode mode) {
    QTextLayout layout(text, font);
    QTextOption option;
    option.setWrapMode(mode);
    layout.setTextOption(option);
    QStringList lines;
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(width);
        lines << text.mid(line.textStart(), line.textLength()).trimmed();
    }
    layout.endLayout();
    return lines;
}

void DrawLabel(QPainter& painter, const DiscMenuButton& button) {
    const QRect area = Rect(button.text);
    painter.setPen(kText);
    if (button.kind != DiscMenuButton::Kind::Title) {
        painter.drawText(area, Qt::AlignCenter, QString::fromStdString(button.label));
        return;
    }
    const QStringList lines = DiscMenuPainter::LabelLines(QString::fromStdString(button.label), area.width());
    const int lineHeight = DiscMenuLayout::kLineHeight;
    // One line stands in the middle of the room for two.
    QRect line(area.x(), area.y() + (DiscMenuLayout::kLabelLines - int(lines.size())) * lineHeight / 2, area.width(),
               lineHeight);
    for (const QString& text : lines) {
        painter.drawText(line, Qt::AlignCenter, text);
        line.translate(0, lineHeight);
    }
}

void DrawTitle(QPainter& painter, const DiscMenuLayout& menu) {
    const QRect area = Rect(menu.TitleArea());
    painter.setFont(TitleFont());
    painter.setPen(kText);
    painter.drawText(
        area, Qt::AlignCenter,
        painter.fontMetrics().elidedText(QString::fromStdString(menu.Title()), Qt::ElideMiddle, area.width()));
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
    DrawTitle(painter, menu);
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

QStringList DiscMenuPainter::LabelLines(const QString& name, int width) {
    constexpr int kMost = DiscMenuLayout::kLabelLines;
    const QFont font = LabelFont();
    QStringList lines = WrappedLines(name, font, width, QTextOption::WrapAtWordBoundaryOrAnywhere);
    // A whole name broken inside a word reads better than a shortened one.
    if (lines.size() > kMost) lines = WrappedLines(name, font, width, QTextOption::WrapAnywhere);
    // The start and the end stay, as much of them as two lines hold.
    for (qsizetype kept = name.size() - 1; lines.size() > kMost && kept > 0; --kept)
        lines = WrappedLines(name.left(kept - kept / 2) + QChar(0x2026) + name.right(kept / 2), font, width,
                             QTextOption::WrapAnywhere);
    return lines;
}

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
