#include "EngineTestSupport.h"

#include "engine/FolderText.h"

#include <QAbstractButton>
#include <QApplication>
#include <QEvent>

int TestConversionsAtOnce() {
    bool given = false;
    const int conversions = qEnvironmentVariableIntValue("TARVINE_TEST_CONVERSIONS", &given);
    return given && conversions > 0 ? conversions : 1;
}

int TestCores() { return std::max(AvailableCores(), TestConversionsAtOnce()); }

void TestHost::List(const std::string& path, double seconds, int width, int height, double fps) {
    sources.Append({path, seconds, width, height, fps});
}

BatchOrder TestHost::Order() const {
    BatchOrder order{settings, sources};
    order.settings.outputFolder = FolderNamedBy(folderText, settings.outputFolder);
    return order;
}

void TestHost::Follow(ConversionEngine& engine) {
    presenter.Follow(engine);
    QObject::connect(&engine, &ConversionEngine::BatchFinished, &window,
                     [this](const std::vector<BatchEntry>& entries) { endedEntries = entries; });
}

MessageBoxResponder::MessageBoxResponder() { qApp->installEventFilter(this); }

MessageBoxResponder::~MessageBoxResponder() { qApp->removeEventFilter(this); }

QStringList MessageBoxResponder::Texts() const {
    QStringList texts;
    for (const Box& box : m_shown) texts << box.text;
    return texts;
}

bool MessageBoxResponder::eventFilter(QObject* watched, QEvent* event) {
    auto* box = qobject_cast<QMessageBox*>(watched);
    if (!box || event->type() != QEvent::Show) return false;
    m_shown.append({box->text(), box->icon(), box->windowTitle(), box->detailedText()});
    if (onShow) onShow();
    QMessageBox::StandardButton answer = QMessageBox::NoButton;
    if (!m_answers.isEmpty() && box->button(m_answers.first()))
        answer = m_answers.takeFirst();
    else
        answer = (box->standardButtons() & QMessageBox::Ok) ? QMessageBox::Ok : QMessageBox::No;
    QMetaObject::invokeMethod(
        box,
        [this, box, answer, shown = m_shown.size() - 1] {
            m_shown[shown].width = box->width();
            box->button(answer)->click();
        },
        Qt::QueuedConnection);
    return false;
}
