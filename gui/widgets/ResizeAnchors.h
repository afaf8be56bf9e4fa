#pragma once

#include <QObject>
#include <QRect>
#include <QVector>

class QWidget;

// Moves and stretches a resizable dialog's controls as the dialog grows
// beyond its smallest size: each control follows the edges its anchor
// (ControlAnchor) names and keeps its place otherwise. The places at the
// smallest size are the ones the controls have when the dialog is first
// resized or shown, so a layout that is adjusted after the template (boxes
// widened for their texts) is kept.
class ResizeAnchors : public QObject {
    Q_OBJECT
public:
    explicit ResizeAnchors(QWidget& dialog);

    void Add(QWidget* control, unsigned anchor);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Anchored {
        QWidget* control;
        unsigned anchor;
        QRect smallestRect;
    };

    void Follow();

    QWidget& m_dialog;
    QVector<Anchored> m_controls;
    bool m_placesTaken = false;
};
