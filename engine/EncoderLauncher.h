#pragma once

#include "core/EncoderArguments.h"
#include "engine/EncoderProcess.h"

#include <QString>

#include <string>

class ConversionHost;

// Starts runs of one encoder program with the argument text the host's
// settings give.
class EncoderLauncher {
public:
    EncoderLauncher(ConversionHost& host, std::string program) : m_host(host), m_program(std::move(program)) {}

    // The started run, or null with the sentence for the user in `failure`.
    // A run given a number of `threads` keeps to them; else it takes every core.
    // A run that writes a file writes it under `temporaryName` until it is whole.
    EncoderProcessPtr Launch(const EncoderRunValues& values, QString& failure, int threads = 0,
                             const std::string& temporaryName = {}) const;

private:
    ConversionHost& m_host;
    std::string m_program;
};
