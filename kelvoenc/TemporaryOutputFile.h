#pragma once

extern "C" {
#include <libavformat/avio.h>
}

#include <string>

// The file an output is written to until it is complete: a new file with a
// short random hidden name in the output's folder, created exclusively and
// never through a link, so nothing that is already there is written over;
// an output name that is taken, at the start or when the file is complete,
// is refused rather than replaced.
// The muxer writes to it through Io(). Commit gives it the output's name;
// until then the file is removed when this object goes.
class TemporaryOutputFile {
public:
    // Throws OutputUnwritable naming the output when the folder does not
    // take a new file or the output's name is taken.
    explicit TemporaryOutputFile(const std::string& outputPath);
    ~TemporaryOutputFile();
    TemporaryOutputFile(const TemporaryOutputFile&) = delete;
    TemporaryOutputFile& operator=(const TemporaryOutputFile&) = delete;

    AVIOContext* Io() const { return m_io; }
    // A path to the temporary file for reading it back (the MP4 muxer moves
    // its index to the front that way). It goes through the folder's
    // descriptor, so it holds even when the folder is renamed meanwhile.
    std::string Path() const;
    // Writes out what is buffered, closes the file and renames it.
    void Commit();

private:
    static int WritePacket(void* self, std::uint8_t* data, int size);
    static std::int64_t Seek(void* self, std::int64_t offset, int whence);
    [[noreturn]] void RefuseExisting() const;
    void Fail(int error, const std::string& doing) const;

    std::string m_outputPath;
    int m_folder = -1;   // the output's folder, wherever it is moved
    std::string m_name;  // the temporary file's name in it
    int m_fd = -1;
    AVIOContext* m_io = nullptr;
    bool m_committed = false;
};
