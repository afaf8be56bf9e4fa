#pragma once

#include <QColor>
#include <QFont>
#include <QLabel>

// A static text drawn in a font and colours of its own: the window-text
// colour on the button-face ground, in heavy Arial.
class CColorLabel : public QLabel {
    Q_OBJECT

public:
    static constexpr int kFontPixelHeight = 14;
    static constexpr int kFontWeight = 956;  // heavier than bold, near black

    explicit CColorLabel(const QString& text, QWidget* parent = nullptr);

    QFont LabelFont() const { return m_font; }
    QColor TextColor() const { return m_textColor; }
    QColor BackgroundColor() const { return m_backColor; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor m_textColor;
    QColor m_backColor;
    QFont m_font;
};
