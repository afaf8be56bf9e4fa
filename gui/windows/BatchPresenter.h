#pragma once

#include <QObject>

#include <map>
#include <memory>
#include <string>

class ConversionEngine;
class CProgressDlg;
class InputBlocker;
class QWidget;
class SourceProber;

// Shows in the window what the runner does: it owns the progress window
// (owned by the host window but not a child of it) and the message boxes,
// holds back input to the host window while a batch runs or files are read,
// and hands the user's answers and Cancel back to the runner.
class BatchPresenter : public QObject {
    Q_OBJECT
public:
    explicit BatchPresenter(QWidget& hostWindow);
    ~BatchPresenter() override;
    BatchPresenter(const BatchPresenter&) = delete;
    BatchPresenter& operator=(const BatchPresenter&) = delete;

    // Shows this engine's batches, questions and messages from now on.
    void Follow(ConversionEngine& engine);
    // Shows the reading of added files: "Reading …" with Cancel when it takes long.
    void Follow(SourceProber& prober);

    CProgressDlg& ProgressWindow() { return *m_progressWindow; }

private:
    void ShowRunningFiles();

    QWidget& m_hostWindow;
    std::unique_ptr<CProgressDlg> m_progressWindow;
    std::unique_ptr<InputBlocker> m_batchBlocker;
    std::unique_ptr<InputBlocker> m_readingBlocker;
    std::map<int, std::string> m_running;  // the batch's entries converting now, by row: their sources
    int m_entryCount = 0;                  // of the batch under way
};
