#pragma once

#include <QDialog>

#include <string>

class QLabel;
class QProgressBar;
class QPushButton;

// The progress window of a batch (template 130): the progress text, a bar of
// 0..1000 and Cancel. Created hidden once and shown only while a batch runs.
// Cancel, Escape and the close box all ask to stop: CancelPressed is
// emitted; the window stays. While a probe takes long it shows "Reading …"
// with Cancel instead.
class CProgressDlg : public QDialog {
    Q_OBJECT

public:
    explicit CProgressDlg(QWidget* parent = nullptr);

    // The first text, the bar's range 0..1000 and position 0, and the
    // window's own title.
    void ResetProgress();
    // Names the file being converted and its place in the title:
    // "Converting 3 of 8 — party.avi".
    void ShowCurrentFile(int position, int count, const std::string& sourcePath);
    // Shows the window over its owner, which it stays with without being
    // disabled along with it.
    void ShowOver(QWidget* owner);
    // "Reading <file name>…" with an empty bar, shown over the owner.
    void ShowReading(const QString& fileName, QWidget* owner);
    void SetProgressText(const QString& text);
    void SetBarPosition(int position);

    QString ProgressText() const;
    int BarPosition() const;

signals:
    void CancelPressed();

public slots:
    void reject() override;

private:
    void OnCancel();

    QLabel* m_progressText = nullptr;
    QProgressBar* m_progressBar = nullptr;
    QPushButton* m_cancelButton = nullptr;
};
