#pragma once

#include "core/DiscImagePlan.h"

#include <string>
#include <utility>
#include <vector>

// How making a disc image ended, with the sentence the batch's summary
// shows for it.
struct DiscImageResult {
    enum class Outcome {
        Made,         // `paths`: the image (and a DVD's folder); `detail`: the plan's note on the standard
        Skipped,      // `detail`: why the plan made none
        MissingTool,  // `detail`: the program that is not installed
        Failed,       // `detail`: which step failed and its last line
        Stopped,      // cancelled; nothing of the image is left
    };

    Outcome outcome = Outcome::Failed;
    std::vector<std::string> paths;
    std::string detail;
    // Made: the files on the disc, of the files the batch listed.
    int titleCount = 0;
    int listedCount = 0;
    // Made: the program a DVD's menu could not be made without, or empty.
    std::string missingMenuTool{};

    static DiscImageResult Made(const DiscImagePlan& plan, std::vector<std::string> paths,
                                std::string missingMenuTool = {}) {
        return {Outcome::Made,    std::move(paths),          plan.standardNote, static_cast<int>(plan.titles.size()),
                plan.listedCount, std::move(missingMenuTool)};
    }
    static DiscImageResult Skipped(std::string reason) { return {Outcome::Skipped, {}, std::move(reason)}; }
    static DiscImageResult MissingTool(std::string program) { return {Outcome::MissingTool, {}, std::move(program)}; }
    static DiscImageResult Failed(std::string cause) { return {Outcome::Failed, {}, std::move(cause)}; }
    static DiscImageResult Stopped() { return {Outcome::Stopped, {}, {}}; }

    std::string SummaryLine() const;
};
