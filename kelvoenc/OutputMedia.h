#pragma once

#include "kelvoenc/EncoderOptions.h"
#include "kelvoenc/FfmpegHandles.h"
#include "kelvoenc/TemporaryOutputFile.h"

#include <cstdint>
#include <optional>
#include <string>

// The output file. It is written under a temporary name in the output's
// folder, created as soon as this object is (so a folder that takes no file
// is refused before any encoding), and takes the output's name only when it
// is complete; until then (a failure, a stop) the temporary file is removed
// when this object goes.
class OutputMedia {
public:
    OutputMedia(const std::string& outputPath, ContainerChoice container);
    ~OutputMedia();
    OutputMedia(const OutputMedia&) = delete;
    OutputMedia& operator=(const OutputMedia&) = delete;

    bool WantsGlobalHeaders() const;

    // A stream for the opened encoder; fourcc (may be empty) names the
    // video's FourCC. Returns the stream's index.
    int AddStream(const AVCodecContext* encoder, const std::string& fourcc = "");
    // A stream written as the source's stream holds it, packet for packet.
    int AddCopiedStream(const AVStream& source);
    // A file the source carries beside its streams, such as a subtitle's font.
    void AddAttachment(const AVStream& source);
    // The stream's language and title, as the source's track has them, and
    // whether players take it first.
    void Label(int stream, const AVStream* source, bool playedFirst);
    // The stream's language (empty: none), title (empty: none) and
    // disposition flags.
    void Label(int stream, const std::string& language, const std::string& title, int disposition);
    // The source's chapters with their names, in a container that holds
    // them: moved by `originMicroseconds` (where the source's time 0 lies),
    // and cut at `endSeconds` of the output when given.
    void KeepChapters(const AVFormatContext* source, std::int64_t originMicroseconds, std::optional<double> endSeconds);

    // Writes the container's header.
    void Start();
    // Writes one packet whose timestamps count in timeBase.
    void Write(AVPacket* packet, int stream, AVRational timeBase);
    // Completes the file (an MP4's index moved to the front).
    void Complete();
    // Gives the completed file the output's name.
    void Commit() { m_file.Commit(); }

private:
    void AddChapter(const AVChapter& from, std::int64_t start, std::int64_t end);
    void SetMuxerOptions(OptionDictionary& options) const;
    // Throws OutputUnwritable naming the output when error < 0.
    void Check(int error, const std::string& doing) const;

    std::string m_outputPath;
    ContainerChoice m_container;
    TemporaryOutputFile m_file;
    OutputFormatPtr m_format;  // writes through m_file
};
