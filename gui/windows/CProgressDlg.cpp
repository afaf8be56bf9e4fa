#include "gui/windows/CProgressDlg.h"

#include "gui/res/CommandIds.h"
#include "gui/res/DialogTemplates.h"
#include "gui/widgets/AppMessageBox.h"
#include "gui/widgets/DialogLayout.h"
#include "gui/widgets/OpenAddress.h"
#include "text/ProgressText.h"

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QUrl>
#include <QWindow>

CProgressDlg::CProgressDlg(QWidget* parent) : QDialog(parent) {
    DialogLayout layout(*this, ProgressDialogTemplate());
    m_progressText = layout.Bind<QLabel>(IDC_PROGRESS_TEXT);
    m_progressBar = layout.Bind<QProgressBar>(IDC_PROGRESS_BAR);
    m_timeLeft = layout.Bind<QLabel>(IDC_PROGRESS_TIME_LEFT);
    m_cancelButton = layout.Bind<QPushButton>(IDC_PROGRESS_CANCEL);
    connect(m_cancelButton, &QPushButton::clicked, this, &CProgressDlg::OnCancel);
}

void CProgressDlg::ResetProgress() {
    ShowTitle(QString::fromStdString(ProgressDialogTemplate().caption), kNoPercent);
    SetProgressText(QString::fromLatin1(kFirstProgressText));
    m_progressBar->setRange(0, kProgressBarMaximum);
    m_progressBar->setValue(0);
}

void CProgressDlg::ShowCurrentFile(int position, int count, const std::string& sourcePath) {
    ShowTitle(QString::fromStdString(ConvertingTitle(position, count, sourcePath)), m_percent);
}

void CProgressDlg::ShowCurrentFiles(const std::vector<int>& positions, int count) {
    ShowTitle(QString::fromStdString(ConvertingTitle(positions, count)), m_percent);
}

void CProgressDlg::ShowOver(QWidget* owner) {
    winId();
    if (QWindow* ownerWindow = owner->window()->windowHandle()) windowHandle()->setTransientParent(ownerWindow);
    show();
}

void CProgressDlg::ShowReading(const QString& fileName, QWidget* owner) {
    ShowTitle(QString::fromStdString(ProgressDialogTemplate().caption), kNoPercent);
    ShowReadingFile(fileName);
    m_progressBar->setRange(0, kProgressBarMaximum);
    m_progressBar->setValue(0);
    ShowOver(owner);
}

void CProgressDlg::ShowReadingFile(const QString& fileName) {
    SetProgressText(QStringLiteral("Reading %1\u2026").arg(fileName));
}

void CProgressDlg::SetProgressText(const QString& text) {
    m_progressText->setText(text);
    m_timeLeft->clear();
}

void CProgressDlg::SetTimeLeft(const QString& text) { m_timeLeft->setText(text); }

void CProgressDlg::SetBarPosition(int position) {
    ShowTitle(m_title, position * 100 / kProgressBarMaximum);
    // A progress bar repaints itself at once on every change; held back, it
    // joins the text's repaint at the next paint pass instead.
    m_progressBar->setUpdatesEnabled(false);
    m_progressBar->setValue(position);
    m_progressBar->setUpdatesEnabled(true);
}

// The percentage leads, so that a taskbar's narrow button shows it too.
void CProgressDlg::ShowTitle(const QString& title, int percent) {
    m_title = title;
    m_percent = percent;
    setWindowTitle(percent == kNoPercent ? title : QStringLiteral("%1% \u00b7 %2").arg(percent).arg(title));
}

QString CProgressDlg::ProgressText() const { return m_progressText->text(); }

QString CProgressDlg::TimeLeft() const { return m_timeLeft->text(); }

int CProgressDlg::BarPosition() const { return m_progressBar->value(); }

// Escape and the close box end here; they ask to stop like Cancel does.
void CProgressDlg::reject() { OnCancel(); }

void CProgressDlg::OnCancel() { emit CancelPressed(); }

void CProgressDlg::AskToStop() { Ask(QStringLiteral("Do you really want to stop?"), &CProgressDlg::StopAnswered); }

void CProgressDlg::AskToGoOn(const QString& text) { Ask(text, &CProgressDlg::GoOnAnswered); }

void CProgressDlg::Ask(const QString& text, void (CProgressDlg::*answered)(bool)) {
    WithdrawQuestion();
    m_question = OpenAppMessageBox(
        this, text, QMessageBox::Question, QMessageBox::Yes | QMessageBox::No,
        [this, answered](QMessageBox::StandardButton button) { emit(this->*answered)(button == QMessageBox::Yes); });
}

void CProgressDlg::WithdrawQuestion() {
    if (!m_question) return;
    QMessageBox* question = m_question;
    m_question = nullptr;
    QObject::disconnect(question, &QMessageBox::finished, nullptr, nullptr);
    question->close();
}

void CProgressDlg::Tell(const QString& text, QMessageBox::Icon icon, QWidget* owner) {
    OpenAppMessageBox(MessageOwner(owner), text, icon, QMessageBox::Ok, nullptr);
}

void CProgressDlg::ShowSummary(const QString& head, const QString& details, QMessageBox::Icon icon,
                               const QString& folder, QWidget* owner) {
    OpenAppMessageBox(
        MessageOwner(owner), head, icon, QMessageBox::Ok | QMessageBox::Open,
        [folder](QMessageBox::StandardButton button) {
            if (button == QMessageBox::Open) OpenAddressOrReport(QUrl::fromLocalFile(folder).toString().toStdString());
        },
        QStringLiteral("Open Folder"), details);
}

QWidget* CProgressDlg::MessageOwner(QWidget* owner) { return isVisible() ? this : owner; }
