#pragma once

#include "engine/ConversionHost.h"

// The engine's host on the command line: the settings as read and
// overridden, and the files as they are read, listed in their order.
class CommandLineHost : public ConversionHost {
public:
    explicit CommandLineHost(ConversionSettings settings) : m_settings(std::move(settings)) {}

    QString OutputFolderText() const override { return QString::fromStdString(m_settings.outputFolder); }
    ConversionSettings& Settings() override { return m_settings; }
    EncodeTargets& Targets() override { return m_targets; }
    const SourceList& Sources() const override { return m_sources; }
    void List(const SourceEntry& source) { m_sources.Append(source); }
    void BatchEnded(const ConversionBatch&) override {}

private:
    ConversionSettings m_settings;
    EncodeTargets m_targets;
    SourceList m_sources;
};
