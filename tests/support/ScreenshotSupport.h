#pragma once

#include <QDir>
#include <QHash>
#include <QImage>
#include <QString>
#include <QTest>

#include <algorithm>

// Keeps a picture of a window in the build's screenshot folder.
inline void SaveScreenshot(const QImage& image, const QString& name) {
    QDir().mkpath(QStringLiteral(SCREENSHOT_FOLDER));
    QVERIFY(image.save(QStringLiteral(SCREENSHOT_FOLDER "/%1.png").arg(name)));
}

// A window that drew nothing is one flat colour, or close to it; a drawn one
// has text and frames: many colours, none covering almost all of it.
inline void VerifyDrawn(const QImage& image) {
    QVERIFY(!image.isNull());
    QHash<QRgb, int> counts;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) ++counts[image.pixel(x, y)];
    int largest = 0;
    for (int count : counts) largest = std::max(largest, count);
    QVERIFY2(counts.size() > 32, qPrintable(QStringLiteral("%1 colours").arg(counts.size())));
    QVERIFY(largest < image.width() * image.height() * 9 / 10);
}
