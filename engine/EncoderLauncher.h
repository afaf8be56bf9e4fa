#pragma once

#include "core/EncoderArguments.h"
#include "engine/EncoderProcess.h"

#include <QString>

#include <functional>
#include <optional>
#include <string>
#include <vector>

// Starts runs of one encoder program: conversions with the arguments their
// batch's settings give, probes with a source alone, and crop measures of
// a source's kept part.
class EncoderLauncher {
public:
    explicit EncoderLauncher(std::string program) : m_program(std::move(program)) {}

    // The started run, or null with the sentence for the user in `failure`.
    // A run given a number of `threads` keeps to them; else it takes every core.
    // A run that writes a file writes it under `temporaryName` until it is whole.
    EncoderProcessPtr Launch(const EncoderRunValues& values, const ConversionSettings& settings, QString& failure,
                             int threads = 0, const std::string& temporaryName = {}) const;
    EncoderProcessPtr LaunchProbe(const std::string& sourcePath, QString& failure) const;
    EncoderProcessPtr LaunchMeasureCrop(const std::string& sourcePath, std::optional<double> start,
                                        std::optional<double> end, QString& failure) const;
    // The output's picture `seconds` into the source, into `values`' output path.
    EncoderProcessPtr LaunchPreview(const EncoderRunValues& values, const ConversionSettings& settings, double seconds,
                                    QString& failure) const;

private:
    // The arguments name the run's report channel, known once its process exists.
    using ArgumentsFor = std::function<std::vector<std::string>(int handle)>;
    EncoderProcessPtr Start(const ArgumentsFor& arguments, QString& failure, int threads,
                            const std::string& temporaryName) const;

    std::string m_program;
};
