#pragma once

#include "gui/res/DialogTemplate.h"

#include <QFont>
#include <QHash>
#include <QList>
#include <QPair>
#include <QPointer>
#include <QRect>
#include <QWidget>

#include <functional>

class QComboBox;
class QDialog;
class QTabBar;

// Builds a dialog's controls from its template. Dialog units are mapped
// through the dialog font's average character width and height as the
// platform does (x * width / 4, y * height / 8). Controls are created in
// template order, so the tab order follows the template. A dialog has its
// template's size; a resizable one may grow from there, its controls
// following their anchors. With a tab bar, each page's controls show while
// its tab is the current one.
class DialogLayout {
public:
    // Returns the widget for a control that needs its own class, or nullptr
    // for the standard widget of its kind.
    using Factory = std::function<QWidget*(const ControlTemplate&, QWidget* parent)>;

    DialogLayout(QDialog& dialog, const DialogTemplate& dialogTemplate, const Factory& factory = {});

    QWidget* Control(int id) const;
    template <class T>
    T* Bind(int id) const {
        return qobject_cast<T*>(Control(id));
    }

    QRect ToPixels(int x, int y, int width, int height) const;

    // The template's font, or the desktop's sans-serif font at the same size
    // when the face is not installed.
    static QFont DialogFont(const DialogTemplate& dialogTemplate);

    // A font's average character width and height, as dialog units use them.
    static QSize BaseUnitsOf(const QFont& font);

    // A size the templates' font measured in pixels (a list column's width),
    // grown or shrunk with the font actually used, so it keeps its share of
    // the dialog.
    static int ScaledPixels(int pixels, const QFont& font);

    // Widens a box so that the longest of these texts shows whole in it. The
    // width is opened up at the box's right edge: the dialog's controls to
    // the right move over, those reaching across the edge grow, and the
    // dialog grows with them, so the template's rows and columns stay lined up.
    static void WidenToFit(QComboBox& box, const QStringList& texts);

    // Average character width of the font the templates were drawn with.
    static constexpr int kTemplateFontCharWidth = 6;

private:
    QWidget* CreateStandard(const ControlTemplate& control, QWidget* parent) const;
    void Place(QWidget* widget, const ControlTemplate& control) const;
    void GrowToHoldControls(QDialog& dialog, const DialogTemplate& dialogTemplate) const;
    void ShowPagesOf(QTabBar& tabs) const;

    QSize m_baseUnits;
    QHash<int, QWidget*> m_controls;
    QList<QPair<QPointer<QWidget>, int>> m_paged;  // the controls of one page, with its number
};
