#include "gui/widgets/IconResources.h"

#include <QPainter>
#include <QPixmap>
#include <QSvgRenderer>

#include <array>
#include <utility>

namespace {

const std::array<std::pair<int, const char*>, 9> kIconFiles{{
    {IDR_MAINFRAME, ":/icons/tarvine.svg"},
    {IDI_SIDE_ADD, ":/icons/side-add.svg"},
    {IDI_SIDE_REMOVE, ":/icons/side-remove.svg"},
    {IDI_SIDE_UP, ":/icons/side-up.svg"},
    {IDI_SIDE_DOWN, ":/icons/side-down.svg"},
    {IDI_HELP, ":/icons/help.svg"},
    {IDI_ADD, ":/icons/add.svg"},
    {IDI_CONVERT, ":/icons/convert.svg"},
    {IDI_SETTINGS, ":/icons/settings.svg"},
}};

}  // namespace

QString IconResourcePath(int iconId) {
    for (const auto& [id, file] : kIconFiles) {
        if (id == iconId) return QString::fromLatin1(file);
    }
    return {};
}

QPixmap RenderIconImage(QSvgRenderer& image, QSize size, qreal devicePixelRatio) {
    QPixmap pixmap(size * devicePixelRatio);
    pixmap.setDevicePixelRatio(devicePixelRatio);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    image.render(&painter, QRectF(QPointF(0, 0), QSizeF(size)));
    return pixmap;
}

QIcon LoadIconResource(int iconId) {
    QString path = IconResourcePath(iconId);
    if (path.isEmpty()) return {};
    QSvgRenderer renderer(path);
    if (!renderer.isValid()) return {};
    QIcon icon;
    for (int side : {16, 22, 24, 32, 48, 64, 128, 256})
        icon.addPixmap(RenderIconImage(renderer, QSize(side, side), 1.0));
    return icon;
}
