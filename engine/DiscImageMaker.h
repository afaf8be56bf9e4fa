#pragma once

#include "core/DiscAuthoring.h"
#include "core/DiscImagePlan.h"
#include "core/DiscImageResult.h"

#include <QObject>
#include <QProcess>
#include <QString>

#include <memory>
#include <string>
#include <vector>

class DiscMenuArtist;
class DiscWorkFolder;

// Authors a disc image from a batch's converted files by running Debian's
// authoring tools (and, for a DVD's menu, the encoder) one after the other
// as child processes (no shell), each started when the one before has
// ended. The image takes shape in a hidden work folder inside the output
// folder and is moved to its names only when it is whole, so a stopped or
// failed run leaves nothing of it behind and nothing in the folder is ever
// replaced.
class DiscImageMaker : public QObject {
    Q_OBJECT
public:
    // `encoder` takes the menu's stills and encodes its pages, which
    // `artist` draws; without an artist a DVD gets no menu.
    explicit DiscImageMaker(std::string encoder = {}, const DiscMenuArtist* artist = nullptr,
                            QObject* parent = nullptr);
    ~DiscImageMaker() override;

    // Starts making the plan's image; Finished follows from the event loop,
    // also when the plan makes none or a tool is missing.
    void Start(const DiscImagePlan& plan);
    // Cancel: ends the running tool without waiting for it; Finished
    // reports Stopped before this returns, and the work folder goes with
    // everything in it as soon as the tool has gone.
    void Stop();
    bool Running() const { return m_work != nullptr; }

signals:
    void Progress(const QString& text);
    void Finished(const DiscImageResult& result);

private:
    void Begin();
    bool WriteFiles();
    bool LinkTitles();
    void RunStep();
    void DrawMenuPage(int page);
    void StartProgram(const DiscAuthoringStep& step);
    void ProgramError(QProcess::ProcessError error);
    void StepEnded(int exitCode, QProcess::ExitStatus status);
    void KeepLastLine();
    DiscImageResult MoveResultsOut();
    std::string WorkPath(const DiscAuthoringResult& result) const;
    bool RetargetCue(const DiscImageNames& madeNames);
    void Fail(const std::string& cause);
    // Ends the running tool and removes the work folder with all in it.
    void DiscardWork();
    void End(const DiscImageResult& result);
    void EndLater(const DiscImageResult& result);

    std::string m_encoder;
    const DiscMenuArtist* m_artist;
    DiscImagePlan m_plan;
    std::string m_missingMenuTool;
    std::vector<DiscAuthoringStep> m_steps;
    std::size_t m_step = 0;
    std::shared_ptr<DiscWorkFolder> m_work;
    QProcess* m_process = nullptr;
    QString m_lastLine;
};

Q_DECLARE_METATYPE(DiscImageResult)
