#pragma once

#include "core/DiscAuthoring.h"
#include "core/DiscImagePlan.h"
#include "core/DiscImageResult.h"

#include <QObject>
#include <QProcess>
#include <QString>

#include <memory>
#include <vector>

class QTemporaryDir;

// Authors a disc image from a batch's converted files by running Debian's
// authoring tools one after the other as child processes (no shell). The
// image takes shape in a hidden work folder inside the output folder and is
// moved to its names only when it is whole, so a stopped or failed run
// leaves nothing of it behind and nothing in the folder is ever replaced.
class DiscImageMaker : public QObject {
    Q_OBJECT
public:
    explicit DiscImageMaker(QObject* parent = nullptr);
    ~DiscImageMaker() override;

    // Starts making the plan's image; Finished follows from the event loop,
    // also when the plan makes none or a tool is missing.
    void Start(const DiscImagePlan& plan);
    // Cancel: ends the running tool and removes everything made so far;
    // Finished reports Stopped before this returns.
    void Stop();
    bool Running() const { return m_work != nullptr; }

signals:
    void Progress(const QString& text);
    void Finished(const DiscImageResult& result);

private:
    void Begin();
    bool WriteDvdLayout();
    void RunStep();
    void StepEnded(int exitCode, QProcess::ExitStatus status);
    void KeepLastLine();
    DiscImageResult MoveResultsOut();
    // Ends the running tool and removes the work folder with all in it.
    void DiscardWork();
    void End(const DiscImageResult& result);
    void EndLater(const DiscImageResult& result);

    DiscImagePlan m_plan;
    std::vector<DiscAuthoringStep> m_steps;
    std::size_t m_step = 0;
    std::unique_ptr<QTemporaryDir> m_work;
    QProcess* m_process = nullptr;
    QString m_lastLine;
};

Q_DECLARE_METATYPE(DiscImageResult)
