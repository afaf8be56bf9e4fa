#pragma once

#include "kelvoenc/EncoderOptions.h"

#include <span>
#include <string>
#include <vector>

// Turns the encoder's arguments (without the program name) into the typed
// options record: SOURCE -o OUTPUT [OPTIONS...] MODE HANDLE, options in any
// order. Anything it cannot take - an unknown option or item, a missing
// value, a malformed number - throws EncoderFailure with BadArguments and a
// sentence naming the option.
class OptionParser {
public:
    static EncoderOptions Parse(const std::vector<std::string>& arguments);

    // True when the arguments ask for the usage text (--help, -h, -help).
    static bool WantsHelp(const std::vector<std::string>& arguments);

    // The usage, the option table and the exit statuses.
    static std::string UsageText();

private:
    struct OptionSpec;
    static std::span<const OptionSpec> Options();
    static const OptionSpec* FindOption(const std::string& name);

    void SetOutput(const std::string& value);
    void SetAudioEncoder(const std::string& value);
    void SetVideoEncoder(const std::string& value);
    void SetFourcc(const std::string& value);
    void SetOutputFamily(const std::string& value);
    void SetSampleRate(const std::string& value);
    void SetScaler(const std::string& value);
    void SetFrameRate(const std::string& value);
    void SetStartPosition(const std::string& value);
    void SetEndPosition(const std::string& value);
    void SetSoundTracks(const std::string& value);
    void SetSubtitleTracks(const std::string& value);
    void SetShownSubtitle(const std::string& value);
    void SetBurnedSubtitle(const std::string& value);
    void SetStillLength(const std::string& value);
    void ParseLavcOptions(const std::string& text);
    void ParseLameOptions(const std::string& text);
    void ParseXvidOptions(const std::string& text);
    void ParseLavfOptions(const std::string& text);
    void ParseMpegOptions(const std::string& text);
    void ParseAudioFilters(const std::string& text);
    void ParseVideoFilters(const std::string& text);
    void ParseTrailingNumbers(const std::vector<std::string>& arguments);
    void ResolveChoices();

    EncoderOptions m_options;
    std::string m_videoEncoderFamily;  // -ovc
    std::string m_audioEncoderFamily;  // -oac
    std::string m_outputFamily;        // -of
    std::optional<VideoCodecChoice> m_lavcVideoCodec;
    std::optional<AudioCodecChoice> m_lavcAudioCodec;
    std::optional<int> m_lavcVideoBitrate;
    std::optional<int> m_lavcAudioBitrate;
    bool m_lavcAutoAspect = false;
    std::optional<int> m_xvidBitrate;
    bool m_xvidAutoAspect = false;
    std::optional<int> m_lameBitrate;
    std::optional<ContainerChoice> m_lavfFormat;
    std::optional<ContainerChoice> m_mpegFormat;
};
