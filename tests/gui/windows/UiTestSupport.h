#pragma once

#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QString>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QTest>

// Picks an entry of a drop-down list the way a user does with the keyboard,
// so the box raises the same signals as for a real choice.
inline void Choose(QComboBox* box, int index) {
    QTest::keyClick(box, Qt::Key_Home);
    for (int step = 0; step < index; ++step) QTest::keyClick(box, Qt::Key_Down);
}

// "E9:1": enabled, nine entries, entry 1 selected ("D0:-1" for an empty,
// disabled box).
inline QString Describe(const QComboBox* box) {
    return QStringLiteral("%1%2:%3").arg(box->isEnabled() ? 'E' : 'D').arg(box->count()).arg(box->currentIndex());
}

template <class T>
T* ControlOf(const QWidget* window, int id) {
    return window->findChild<T*>(QStringLiteral("control%1").arg(id));
}

// One control a template must produce: its id (or -1 for a label, found by
// its text), the widget class it is built as, and its text.
struct ExpectedControl {
    int id;
    const char* className;
    const char* text;
};

inline QString TextOf(const QWidget* widget) {
    if (auto* box = qobject_cast<const QComboBox*>(widget)) return box->currentText();
    QVariant text = widget->property("text");
    return text.isValid() ? text.toString() : QString();
}

inline void VerifyControls(const QWidget* window, std::initializer_list<ExpectedControl> expected) {
    for (const ExpectedControl& control : expected) {
        const QWidget* widget = nullptr;
        if (control.id >= 0) {
            widget = ControlOf<QWidget>(window, control.id);
        } else {
            for (const QWidget* child : window->findChildren<QWidget*>())
                if (TextOf(child) == QLatin1String(control.text)) widget = child;
        }
        QVERIFY2(widget, qPrintable(QStringLiteral("no control %1 \"%2\"").arg(control.id).arg(control.text)));
        QVERIFY2(
            widget->inherits(control.className),
            qPrintable(QStringLiteral("control %1 is a %2").arg(control.id).arg(widget->metaObject()->className())));
        QCOMPARE(TextOf(widget), QString(control.text));
    }
}

// Every entry of every drop-down list shows whole in the closed box, by the
// font's metrics inside the box's text field; no list lies over another
// control or past the window's edge.
inline void VerifyBoxesShowTheirTexts(const QWidget* window) {
    const QList<QWidget*> controls = window->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    for (QComboBox* box : window->findChildren<QComboBox*>(Qt::FindDirectChildrenOnly)) {
        QStyleOptionComboBox option;
        option.initFrom(box);
        const int field =
            box->style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, box).width();
        for (int i = 0; i < box->count(); ++i) {
            const QString text = box->itemText(i);
            QVERIFY2(box->fontMetrics().horizontalAdvance(text) <= field,
                     qPrintable(QStringLiteral("\"%1\" is cut off in %2 pixels").arg(text).arg(field)));
        }
        QVERIFY2(window->rect().contains(box->geometry()), qPrintable(box->objectName()));
        for (const QWidget* other : controls) {
            if (other == box || other->isHidden() || qobject_cast<const QLabel*>(other)) continue;
            QVERIFY2(!other->geometry().intersects(box->geometry()),
                     qPrintable(box->objectName() + " lies over " + other->objectName()));
        }
    }
}
