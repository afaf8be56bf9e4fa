#pragma once

#include <QColor>
#include <QFont>
#include <QLabel>
#include <QTimer>

// A static text that works as a web link: coloured by state (link, visited,
// pointer over it), optionally underlined, with a pointing-hand cursor and a
// tooltip showing the address. A click opens the address; a failure beeps
// and is reported to the user.
class CHyperlinkLabel : public QLabel {
    Q_OBJECT

public:
    static constexpr QColor kLinkColor{0, 0, 238};
    static constexpr QColor kVisitedColor{85, 26, 139};
    static constexpr QColor kHoverColor{255, 0, 0};
    static constexpr int kHoverCheckMs = 100;

    // A label showing `text` and opening `address`. Without an address the
    // text is the address; without a text the label shows the address.
    explicit CHyperlinkLabel(const QString& text, QWidget* parent = nullptr);
    CHyperlinkLabel(const QString& text, const QString& address, QWidget* parent = nullptr);

    void SetAddress(const QString& address);
    void SetUnderline(bool on);
    void SetVisited(bool visited);

    QString Address() const { return m_address; }
    bool IsVisited() const { return m_visited; }
    // The colour the text is drawn in now.
    QColor TextColor() const;

    // Sizes the label to its text, keeping its centre, right or left edge
    // as its alignment says.
    void FitToText();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    void CheckPointer();
    void Click();

    QColor m_linkColor = kLinkColor;
    QColor m_visitedColor = kVisitedColor;
    QColor m_hoverColor = kHoverColor;
    bool m_over = false;
    bool m_visited = false;
    bool m_underline = false;
    bool m_fitToText = true;
    QString m_address;
    QFont m_normalFont;
    QFont m_underlineFont;
    QTimer m_hoverTimer;
};
