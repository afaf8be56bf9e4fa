#pragma once

#include <string>
#include <utility>
#include <vector>

// How making a disc image ended, with the sentence the batch's summary
// shows for it.
struct DiscImageResult {
    enum class Outcome {
        Made,         // `paths`: the image (and a DVD's folder); `detail`: the tool a menu lacked
        Skipped,      // `detail`: why the plan made none
        MissingTool,  // `detail`: the program that is not installed
        Failed,       // `detail`: which step failed and its last line
        Stopped,      // cancelled; nothing of the image is left
    };

    Outcome outcome = Outcome::Failed;
    std::vector<std::string> paths;
    std::string detail;

    static DiscImageResult Made(std::vector<std::string> paths, std::string missingMenuTool = {}) {
        return {Outcome::Made, std::move(paths), std::move(missingMenuTool)};
    }
    static DiscImageResult Skipped(std::string reason) { return {Outcome::Skipped, {}, std::move(reason)}; }
    static DiscImageResult MissingTool(std::string program) { return {Outcome::MissingTool, {}, std::move(program)}; }
    static DiscImageResult Failed(std::string cause) { return {Outcome::Failed, {}, std::move(cause)}; }
    static DiscImageResult Stopped() { return {Outcome::Stopped, {}, {}}; }

    std::string SummaryLine() const;
};
