#pragma once

#include <QDialog>
#include <QMessageBox>
#include <QPointer>

#include <string>
#include <vector>

class QLabel;
class QProgressBar;
class QPushButton;

// The progress window of a batch (template 130): the progress text, a bar of
// 0..1000, the time left and Cancel. Created hidden once and shown only while a batch runs.
// Cancel, Escape and the close box all ask to stop: CancelPressed is
// emitted; the window stays. While a probe takes long it shows "Reading …"
// with Cancel instead. It also shows the batch's messages: its questions
// (the answers come back as signals), its refusals and its summary. None of
// them waits: each box is modal to its window and answers from the event loop.
class CProgressDlg : public QDialog {
    Q_OBJECT

public:
    explicit CProgressDlg(QWidget* parent = nullptr);

    // The first text, the bar's range 0..1000 and position 0, and the
    // window's own title.
    void ResetProgress();
    // Names the file being converted and its place in the title:
    // "Converting 3 of 8 — party.avi", after the batch's percentage once the
    // bar has moved: "42% · Converting 3 of 8 — party.avi".
    void ShowCurrentFile(int position, int count, const std::string& sourcePath);
    // "Converting 3 and 4 of 8" while several convert side by side.
    void ShowCurrentFiles(const std::vector<int>& positions, int count);
    // Shows the window over its owner, which it stays with without being
    // disabled along with it.
    void ShowOver(QWidget* owner);
    // "Reading <file name>…" with an empty bar under the window's own
    // title, shown over the owner.
    void ShowReading(const QString& fileName, QWidget* owner);
    // Only the text, while the reading window is up.
    void ShowReadingFile(const QString& fileName);
    // Any other text than a batch's progress clears the time left.
    void SetProgressText(const QString& text);
    void SetTimeLeft(const QString& text);
    // The batch's bar; its percentage also leads the title.
    void SetBarPosition(int position);

    QString ProgressText() const;
    QString TimeLeft() const;
    int BarPosition() const;

    // "Do you really want to stop?"; StopAnswered follows.
    void AskToStop();
    // A question with Yes and No; GoOnAnswered follows, true for Yes.
    void AskToGoOn(const QString& text);
    // Closes the open question; no answer follows.
    void WithdrawQuestion();
    // A message that needs no answer, over this window while it shows, else
    // over `owner`.
    void Tell(const QString& text, QMessageBox::Icon icon, QWidget* owner);
    // The batch's summary over `owner`: the head, the per-file lines in a
    // details section, and Open Folder, which shows `folder` in the
    // desktop's file manager.
    void ShowSummary(const QString& head, const QString& details, QMessageBox::Icon icon, const QString& folder,
                     QWidget* owner);

signals:
    void CancelPressed();
    void StopAnswered(bool stop);
    void GoOnAnswered(bool goOn);

public slots:
    void reject() override;

private:
    static constexpr int kNoPercent = -1;

    void ShowTitle(const QString& title, int percent);
    void OnCancel();
    void Ask(const QString& text, void (CProgressDlg::*answered)(bool));
    QWidget* MessageOwner(QWidget* owner);

    QLabel* m_progressText = nullptr;
    QProgressBar* m_progressBar = nullptr;
    QLabel* m_timeLeft = nullptr;
    QPushButton* m_cancelButton = nullptr;
    QPointer<QMessageBox> m_question;
    QString m_title;  // without the percentage
    int m_percent = kNoPercent;
};
