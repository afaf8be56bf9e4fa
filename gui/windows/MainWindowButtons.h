#pragma once

class DialogLayout;
class QWidget;
struct ControlTemplate;

// The main window's buttons that draw themselves: the toolbar, the side bar
// and Change.
class MainWindowButtons {
public:
    // The button for this control of the window's template; null for a control
    // that is not one of them.
    static QWidget* Create(const ControlTemplate& control, QWidget* parent);
    // Their icons, tooltips and looks, once the window is laid out.
    static void Configure(const DialogLayout& layout);
};
