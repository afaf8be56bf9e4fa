#pragma once

#include <QIcon>
#include <QPixmap>
#include <QSize>
#include <QString>

class QSvgRenderer;

// The program's icons by resource id. They are our own drawings, kept as
// scalable images and rendered at whatever size a window asks for.
enum IconResourceId : int {
    IDR_MAINFRAME = 128,  // the application
    IDI_SIDE_ADD = 145,
    IDI_SIDE_REMOVE = 146,
    IDI_SIDE_UP = 147,
    IDI_SIDE_DOWN = 148,
    IDI_HELP = 150,
    IDI_ADD = 160,
    IDI_CONVERT = 162,
    IDI_SETTINGS = 165,
};

// The resource path of an icon, or an empty text for an id without icon.
QString IconResourcePath(int iconId);

// An icon's image rendered at one size for a screen of the given pixel ratio.
QPixmap RenderIconImage(QSvgRenderer& image, QSize size, qreal devicePixelRatio);

// The icon at the usual window-icon sizes, for window and task-bar icons.
QIcon LoadIconResource(int iconId);
