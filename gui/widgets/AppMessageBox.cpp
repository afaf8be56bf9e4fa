#include "gui/widgets/AppMessageBox.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFontMetrics>
#include <QGridLayout>
#include <QPushButton>
#include <QScreen>
#include <QSpacerItem>
#include <QTextEdit>

#include <algorithm>
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

// A box that asks nothing closes as OK does: Escape, the close box and
// Alt+F4 answer OK, and Enter stays on OK whichever button was clicked last.
void CloseAsOk(QMessageBox& box) {
    if (!box.button(QMessageBox::Ok) || box.button(QMessageBox::No) || box.button(QMessageBox::Cancel)) return;
    box.setEscapeButton(QMessageBox::Ok);
    box.setDefaultButton(QMessageBox::Ok);
    for (QAbstractButton* button : box.buttons())
        if (auto* push = qobject_cast<QPushButton*>(button); push && button != box.button(QMessageBox::Ok))
            push->setAutoDefault(false);
}

// The details section shows as many of its lines, as wrapped, as the
// screen has room for below the rest of the box and the title bar. It is
// measured when it opens, at the width the box gave it.
class DetailsRoom : public QObject {
public:
    DetailsRoom(QMessageBox& box, QTextEdit& pane) : QObject(&pane), m_box(box), m_pane(pane) {
        pane.installEventFilter(this);
    }

    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Show) Fit();
        return false;
    }

private:
    void Fit() {
        QScreen* screen = m_box.screen() ? m_box.screen() : QGuiApplication::primaryScreen();
        QFontMetrics metrics(m_pane.font());
        m_pane.document()->setTextWidth(m_pane.viewport()->width());
        int frame = 2 * m_pane.frameWidth();
        int wanted = int(m_pane.document()->size().height()) + frame;
        int titleBar = 2 * metrics.height();
        int room = screen->availableGeometry().height() - m_box.height() - titleBar;
        m_pane.setFixedHeight(std::max(std::min(wanted, room), 3 * metrics.lineSpacing() + frame));
    }

    QMessageBox& m_box;
    QTextEdit& m_pane;
};

QMessageBox* NewBox(QWidget* parent, const QString& text, QMessageBox::Icon icon, QMessageBox::StandardButtons buttons,
                    const QString& caption, const QString& openText, const QString& details = QString()) {
    auto* box = new QMessageBox(icon, caption.isEmpty() ? QGuiApplication::applicationDisplayName() : caption, text,
                                buttons, parent);
    if (!openText.isEmpty()) {
        QAbstractButton* open = box->button(QMessageBox::Open);
        open->setText(openText);
        // In a question the Open button is one more answer, not a folder to open.
        if (icon == QMessageBox::Question) open->setIcon(QIcon());
    }
    if (!details.isEmpty()) {
        box->setDetailedText(details);
        if (auto* pane = box->findChild<QTextEdit*>()) new DetailsRoom(*box, *pane);
    }
    CloseAsOk(*box);
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
    QMessageBox* box = NewBox(parent, text, icon, buttons, QString(), openText, details);
    box->setAttribute(Qt::WA_DeleteOnClose);
    QObject::connect(box, &QMessageBox::finished, box, [answered](int result) {
        if (answered) answered(static_cast<QMessageBox::StandardButton>(result));
    });
    box->open();
    return box;
}
