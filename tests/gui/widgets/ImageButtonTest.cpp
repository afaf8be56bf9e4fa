#include "gui/widgets/CImageButton.h"
#include "gui/widgets/IconResources.h"

#include <QDialog>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QSignalSpy>
#include <QSvgRenderer>
#include <QtTest>

namespace {

// Counts the edge-painting step, to see when the button repaints.
class CountingButton : public CImageButton {
public:
    using CImageButton::CImageButton;
    int borderPaints = 0;

protected:
    void PaintBorder(QPainter& painter, const QRect& item) override {
        ++borderPaints;
        CImageButton::PaintBorder(painter, item);
    }
};

// A parent whose painting can change without any palette or style change.
class PaintedParent : public QWidget {
public:
    QColor ground = Qt::red;

protected:
    void paintEvent(QPaintEvent*) override { QPainter(this).fillRect(rect(), ground); }
};

QRgb Pixel(const QImage& image, int x, int y) { return image.pixel(x, y); }
QRgb Rgb(const QColor& color) { return color.rgb(); }

QImage Picture(QWidget& widget) { return widget.grab().toImage(); }

// The bounding box of the pixels that differ from the colour at (1, 1).
QRect InkBox(const QImage& image, const QRect& area) {
    const QRgb ground = Pixel(image, 1, 1);
    QRect box;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            if (Pixel(image, x, y) != ground) box |= QRect(x, y, 1, 1);
        }
    }
    return box;
}

}  // namespace

class ImageButtonTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void hoverEdgeIsDrawnOnceAndEndsOnLeaveFocusLossAndDisabling();
    void keyboardFocusIsFramedClickFocusIsNot();
    void enteringWithTheLeftButtonHeldShowsNoHover();
    void pressingSinksTheEdgeAndShiftsIconAndCaption();
    void placementsFollowTheAlignment();
    void captionIsCentredBelowTheIcon();
    void iconSizes();
    void doubleClickGivesTwoClicks();
    void disablingMovesTheFocusToTheNextTabStop();
    void transparentBackgroundIsCopiedOnceUntilDiscarded();

private:
    // Brings the pointer in from outside the button.
    void Hover(CImageButton& button) {
        QTest::mouseMove(button.window(), QPoint(button.window()->width() - 1, button.window()->height() - 1));
        QTest::mouseMove(&button, button.rect().center());
        QTRY_VERIFY(button.IsHovering());
    }

    QDialog* m_window = nullptr;
    QLineEdit* m_before = nullptr;
    CountingButton* m_button = nullptr;
    QLineEdit* m_after = nullptr;
};

void ImageButtonTest::init() {
    m_window = new QDialog;
    m_window->resize(300, 200);
    m_before = new QLineEdit(m_window);
    m_before->setGeometry(10, 100, 100, 24);
    m_button = new CountingButton(QStringLiteral("Add"), m_window);
    m_button->setGeometry(10, 10, 76, 71);
    QCOMPARE(m_button->SetIconResource(IDI_ADD, 48, 48), 0);
    m_button->SetAlignment(CImageButton::IconAboveCaption, true);
    m_after = new QLineEdit(m_window);
    m_after->setGeometry(150, 100, 100, 24);
    m_window->show();
    m_window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_window));
}

void ImageButtonTest::cleanup() {
    delete m_window;
    m_window = nullptr;
}

void ImageButtonTest::hoverEdgeIsDrawnOnceAndEndsOnLeaveFocusLossAndDisabling() {
    const QRgb highlight = Rgb(m_button->palette().color(QPalette::Active, QPalette::Light));
    const QRgb shadow = Rgb(m_button->palette().color(QPalette::Active, QPalette::Dark));
    const QRgb face = Rgb(m_button->palette().color(QPalette::Active, QPalette::Button));
    QImage atRest = Picture(*m_button);
    QCOMPARE(Pixel(atRest, 0, 0), face);
    QCOMPARE(Pixel(atRest, 75, 70), face);

    QCoreApplication::processEvents();
    const int paintsBefore = m_button->borderPaints;
    Hover(*m_button);
    QTRY_VERIFY(m_button->borderPaints > paintsBefore);
    const int paintsOnEnter = m_button->borderPaints;
    QImage hovered = Picture(*m_button);
    QCOMPARE(Pixel(hovered, 0, 0), highlight);
    QCOMPARE(Pixel(hovered, 75, 70), shadow);
    QCOMPARE(Pixel(hovered, 75, 0), shadow);

    // Moving about inside the button does not repaint it.
    QTest::mouseMove(m_button, QPoint(5, 5));
    QTest::mouseMove(m_button, QPoint(60, 60));
    QCoreApplication::processEvents();
    QCOMPARE(m_button->borderPaints, paintsOnEnter + 1);  // the Picture above painted once

    QTest::mouseMove(m_window, QPoint(200, 180));
    QTRY_VERIFY(!m_button->IsHovering());
    QCOMPARE(Pixel(Picture(*m_button), 0, 0), face);

    Hover(*m_button);
    m_button->setFocus();
    m_after->setFocus();
    QVERIFY(!m_button->IsHovering());

    Hover(*m_button);
    m_button->setEnabled(false);
    QVERIFY(!m_button->IsHovering());
}

void ImageButtonTest::keyboardFocusIsFramedClickFocusIsNot() {
    const QImage atRest = Picture(*m_button);
    QTest::mouseClick(m_button, Qt::LeftButton);
    QCOMPARE(QApplication::focusWidget(), m_button);
    QTest::mouseMove(m_window, QPoint(200, 180));
    QTRY_VERIFY(!m_button->IsHovering());
    QCOMPARE(Picture(*m_button), atRest);

    // Once the keyboard moves the focus, the window shows where it is.
    QTest::keyClick(m_button, Qt::Key_Tab);
    QTest::keyClick(m_after, Qt::Key_Backtab);
    QCOMPARE(QApplication::focusWidget(), m_button);
    const QImage focused = Picture(*m_button);
    QCOMPARE(Pixel(focused, 0, 0), Pixel(atRest, 0, 0));  // inside the edge
    QVERIFY(InkBox(focused, QRect(2, 2, 5, 60)).isValid());

    QTest::keyClick(m_button, Qt::Key_Tab);
    QCOMPARE(Picture(*m_button), atRest);
}

void ImageButtonTest::enteringWithTheLeftButtonHeldShowsNoHover() {
    const QPointF inside(20, 20);
    QMouseEvent drag(QEvent::MouseMove, inside, m_button->mapToGlobal(inside), Qt::NoButton, Qt::LeftButton,
                     Qt::NoModifier);
    QApplication::sendEvent(m_button, &drag);
    QVERIFY(!m_button->IsHovering());
}

void ImageButtonTest::pressingSinksTheEdgeAndShiftsIconAndCaption() {
    QImage normal = Picture(*m_button);
    m_button->setDown(true);
    QImage pressed = Picture(*m_button);
    m_button->setDown(false);

    QCOMPARE(Pixel(pressed, 0, 0), Rgb(m_button->palette().color(QPalette::Active, QPalette::Dark)));
    QCOMPARE(Pixel(pressed, 75, 70), Rgb(m_button->palette().color(QPalette::Active, QPalette::Light)));
    QVERIFY(InkBox(normal, QRect(2, 2, 72, 67)).isValid());
    for (int y = 2; y < 68; ++y) {
        for (int x = 2; x < 73; ++x) {
            if (Pixel(pressed, x + 1, y + 1) != Pixel(normal, x, y))
                QFAIL(qPrintable(QStringLiteral("pressed picture differs at %1,%2").arg(x + 1).arg(y + 1)));
        }
    }
}

void ImageButtonTest::placementsFollowTheAlignment() {
    const QRect item(0, 0, 76, 71);
    struct Case {
        int placement;
        bool caption;
        QRect icon;
        QRect captionRect;
    };
    const Case cases[] = {
        {CImageButton::IconLeftOfCaption, false, QRect(14, 11, 48, 48), item},
        {CImageButton::IconLeftOfCaption, true, QRect(3, 11, 48, 48), QRect(51, 0, 25, 71)},
        {CImageButton::IconAboveCaption, false, QRect(14, 11, 48, 48), item},
        {CImageButton::IconAboveCaption, true, QRect(14, 3, 48, 48), QRect(0, 48, 76, 23)},
        {CImageButton::IconRightOfCaption, false, QRect(14, 0, 48, 48), item},
        {CImageButton::IconRightOfCaption, true, QRect(25, 11, 48, 48), QRect(3, 0, 22, 71)},
        {CImageButton::IconAtTopLeft, true, QRect(0, 0, 48, 48), item},
    };
    for (const Case& c : cases) {
        QCOMPARE(m_button->SetAlignment(c.placement, false), 0);
        CImageButton::Placement placement = m_button->PlaceIcon(item, c.caption);
        QCOMPARE(placement.icon, c.icon);
        QCOMPARE(placement.caption, c.captionRect);
    }

    QCOMPARE(m_button->SetAlignment(4, true), 4);
    QCOMPARE(m_button->Alignment(), int(CImageButton::IconAtTopLeft));
}

void ImageButtonTest::captionIsCentredBelowTheIcon() {
    QImage picture = Picture(*m_button);
    QRect icon = InkBox(picture, QRect(0, 0, 76, 48));
    QRect caption = InkBox(picture, QRect(0, 52, 76, 19));
    QVERIFY(icon.isValid() && caption.isValid());
    QSvgRenderer image(IconResourcePath(IDI_ADD));
    QRect drawing = InkBox(RenderIconImage(image, QSize(48, 48), 1.0).toImage(), QRect(0, 0, 48, 48));
    QVERIFY2(qAbs(icon.top() - (3 + drawing.top())) <= 1, "the icon starts three pixels below the top");
    QVERIFY2(qAbs(icon.left() - (14 + drawing.left())) <= 1, "the icon is centred across the button");
    QVERIFY2(qAbs((caption.left() + caption.right()) - 75) <= 3, "the caption is centred across the button");
    QVERIFY2(qAbs((caption.top() + caption.bottom()) - (48 + 70)) <= 5, "the caption is centred below the icon");
}

void ImageButtonTest::iconSizes() {
    CImageButton button;
    QCOMPARE(button.SetIconResource(IDI_HELP, 0, 0), 0);
    QCOMPARE(button.IconSize(), QSize(32, 32));
    QCOMPARE(button.SetIconResource(IDI_SIDE_UP, 0, 0), 0);
    QCOMPARE(button.IconSize(), QSize(16, 16));
    QCOMPARE(button.SetIconResource(IDI_CONVERT, 48, 0), 0);
    QCOMPARE(button.IconSize(), QSize(48, 48));
    QCOMPARE(button.SetIconResource(999, 48, 48), 0);
    QVERIFY(button.IconSize().isEmpty());
}

void ImageButtonTest::doubleClickGivesTwoClicks() {
    QSignalSpy clicks(m_button, &QAbstractButton::clicked);
    // Through the window, as the window system delivers it: press, release,
    // then a second press that Qt reports as a double click, and a release.
    QTest::mouseDClick(m_window->windowHandle(), Qt::LeftButton, Qt::NoModifier,
                       m_button->mapTo(m_window, QPoint(30, 30)));
    QCOMPARE(clicks.count(), 2);
    QCOMPARE(QApplication::focusWidget(), m_button);
}

void ImageButtonTest::disablingMovesTheFocusToTheNextTabStop() {
    m_before->setFocus();
    QCOMPARE(QApplication::focusWidget(), m_before);
    m_button->setEnabled(false);
    QCOMPARE(QApplication::focusWidget(), m_after);

    m_button->setEnabled(true);
    m_after->setEnabled(false);
    m_button->setEnabled(false);
    QCOMPARE(QApplication::focusWidget(), m_before);  // round to the first tab stop
}

void ImageButtonTest::transparentBackgroundIsCopiedOnceUntilDiscarded() {
    PaintedParent parent;
    parent.resize(100, 100);
    CImageButton button(&parent);
    button.setGeometry(10, 10, 40, 40);
    button.SetTransparent(false);
    parent.show();
    QVERIFY(QTest::qWaitForWindowExposed(&parent));

    QCOMPARE(Pixel(Picture(button), 5, 5), Rgb(Qt::red));
    parent.ground = Qt::blue;
    parent.update();
    QCOMPARE(Pixel(Picture(button), 5, 5), Rgb(Qt::red));

    button.SetTransparent(false);
    QCOMPARE(Pixel(Picture(button), 5, 5), Rgb(Qt::blue));

    parent.ground = Qt::green;
    QPalette palette = button.palette();
    palette.setColor(QPalette::Button, Qt::yellow);
    button.setPalette(palette);
    QCOMPARE(Pixel(Picture(button), 5, 5), Rgb(Qt::green));
}

QTEST_MAIN(ImageButtonTest)
#include "ImageButtonTest.moc"
