#include "gui/widgets/AppMessageBox.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFontMetrics>
#include <QGridLayout>
#include <QSpacerItem>

#include <memory>

namespace {

// The window manager draws the caption in the title bar beside the window
// menu and its buttons; a box only as wide as a short text would have the
// caption cut off ("Ta…e"). The box keeps room for the caption in the
// title bar's font and for four title-bar buttons beside it.
void KeepRoomForCaption(QMessageBox& box) {
    auto* grid = qobject_cast<QGridLayout*>(box.layout());
    if (!grid) return;
    QFont titleFont = QApplication::font("QMdiSubWindowTitleBar");
    titleFont.setBold(true);
    QFontMetrics metrics(titleFont);
    int buttonSide = metrics.height() + 8;
    int width = metrics.horizontalAdvance(box.windowTitle()) + 4 * buttonSide + 2 * metrics.averageCharWidth();
    grid->addItem(new QSpacerItem(width, 0, QSizePolicy::Fixed, QSizePolicy::Fixed), grid->rowCount(), 0, 1,
                  grid->columnCount());
}

QMessageBox* NewBox(QWidget* parent, const QString& text, QMessageBox::Icon icon, QMessageBox::StandardButtons buttons,
                    const QString& caption, const QString& openText) {
    auto* box = new QMessageBox(icon, caption.isEmpty() ? QGuiApplication::applicationDisplayName() : caption, text,
                                buttons, parent);
    if (!openText.isEmpty()) box->button(QMessageBox::Open)->setText(openText);
    KeepRoomForCaption(*box);
    return box;
}

QMessageBox::StandardButton RunBox(QWidget* parent, const QString& text, QMessageBox::Icon icon,
                                   QMessageBox::StandardButtons buttons, const QString& caption,
                                   const QString& openText = QString(),
                                   QMessageBox::StandardButton defaultButton = QMessageBox::NoButton) {
    std::unique_ptr<QMessageBox> box(NewBox(parent, text, icon, buttons, caption, openText));
    if (defaultButton != QMessageBox::NoButton) box->setDefaultButton(defaultButton);
    return static_cast<QMessageBox::StandardButton>(box->exec());
}

}  // namespace

QMessageBox::StandardButton AppMessageBox(QWidget* parent, const QString& text, QMessageBox::Icon icon,
                                          QMessageBox::StandardButtons buttons, const QString& caption) {
    return RunBox(parent, text, icon, buttons, caption);
}

bool AppMessageBoxOffering(QWidget* parent, const QString& text, QMessageBox::Icon icon, const QString& actionText) {
    return RunBox(parent, text, icon, QMessageBox::Ok | QMessageBox::Open, QString(), actionText) == QMessageBox::Open;
}

bool AppMessageBoxAsking(QWidget* parent, const QString& text) {
    return RunBox(parent, text, QMessageBox::Question, QMessageBox::Yes | QMessageBox::No, QString(), QString(),
                  QMessageBox::No) == QMessageBox::Yes;
}

QMessageBox::StandardButton AppMessageBoxAsking(QWidget* parent, const QString& text, const QString& actionText) {
    return RunBox(parent, text, QMessageBox::Question, QMessageBox::Open | QMessageBox::Yes | QMessageBox::No,
                  QString(), actionText, QMessageBox::No);
}

QMessageBox* OpenAppMessageBox(QWidget* parent, const QString& text, QMessageBox::Icon icon,
                               QMessageBox::StandardButtons buttons, const Answered& answered, const QString& openText,
                               const QString& details) {
    QMessageBox* box = NewBox(parent, text, icon, buttons, QString(), openText);
    box->setDetailedText(details);
    box->setAttribute(Qt::WA_DeleteOnClose);
    QObject::connect(box, &QMessageBox::finished, box, [answered](int result) {
        if (answered) answered(static_cast<QMessageBox::StandardButton>(result));
    });
    box->open();
    return box;
}
