#include "kelvoenc/TemporaryOutputFile.h"

#include "kelvoenc/EncoderFailure.h"
#include "protocol/RenameWithoutReplacing.h"
#include "protocol/TemporaryOutput.h"

extern "C" {
#include <libavutil/mem.h>
}

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <cstdio>
#include <new>

namespace {

constexpr int kIoBufferSize = 1 << 16;
constexpr int kNameAttempts = 100;

std::string FolderOf(const std::string& path) {
    auto slash = path.find_last_of('/');
    return slash == std::string::npos ? "." : path.substr(0, slash + 1);
}


}  // namespace

TemporaryOutputFile::TemporaryOutputFile(const std::string& outputPath) : m_outputPath(outputPath) {
    struct stat existing {};
    if (stat(outputPath.c_str(), &existing) == 0 && S_ISDIR(existing.st_mode))
        throw EncoderFailure(ExitStatus::NameTaken,
                             "Cannot write the output \"" + outputPath + "\": a folder has that name.");
    if (lstat(outputPath.c_str(), &existing) == 0) RefuseExisting();
    m_folder = open(FolderOf(outputPath).c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    if (m_folder < 0) Fail(AVERROR(errno), "create");
    // A name the front-end chose is the only one it will clear up after a
    // crash: that name or none.
    const std::string given = TemporaryNameFromEnvironment();
    const int attempts = given.empty() ? kNameAttempts : 1;
    for (int attempt = 0; attempt < attempts && m_fd < 0; ++attempt) {
        m_name = given.empty() ? RandomTemporaryOutputName() : given;
        m_fd = openat(m_folder, m_name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (m_fd < 0 && errno != EEXIST) Fail(AVERROR(errno), "create");
    }
    if (m_fd < 0) Fail(AVERROR(EEXIST), "create");
    auto* buffer = static_cast<unsigned char*>(av_malloc(kIoBufferSize));
    m_io = buffer ? avio_alloc_context(buffer, kIoBufferSize, 1, this, nullptr, &WritePacket, &Seek) : nullptr;
    if (!m_io) {
        av_free(buffer);
        // The destructor does not run for an object left unmade.
        close(m_fd);
        unlinkat(m_folder, m_name.c_str(), 0);
        close(m_folder);
        throw std::bad_alloc();
    }
}

std::string TemporaryOutputFile::Path() const {
    return "/proc/self/fd/" + std::to_string(m_folder) + "/" + m_name;
}

TemporaryOutputFile::~TemporaryOutputFile() {
    if (m_io) av_freep(&m_io->buffer);
    avio_context_free(&m_io);
    if (m_fd >= 0) close(m_fd);
    // Through the folder's descriptor: the folder may have been renamed.
    if (!m_committed && !m_name.empty()) unlinkat(m_folder, m_name.c_str(), 0);
    if (m_folder >= 0) close(m_folder);
}

int TemporaryOutputFile::WritePacket(void* self, std::uint8_t* data, int size) {
    const int fd = static_cast<TemporaryOutputFile*>(self)->m_fd;
    int written = 0;
    while (written < size) {
        ssize_t count = write(fd, data + written, static_cast<std::size_t>(size - written));
        if (count < 0 && errno == EINTR) continue;
        if (count < 0) return AVERROR(errno);
        written += static_cast<int>(count);
    }
    return written;
}

std::int64_t TemporaryOutputFile::Seek(void* self, std::int64_t offset, int whence) {
    const int fd = static_cast<TemporaryOutputFile*>(self)->m_fd;
    if (whence & AVSEEK_SIZE) {
        struct stat file {};
        return fstat(fd, &file) == 0 ? file.st_size : AVERROR(errno);
    }
    off_t position = lseek(fd, offset, whence & ~AVSEEK_FORCE);
    return position < 0 ? AVERROR(errno) : position;
}

void TemporaryOutputFile::Commit() {
    avio_flush(m_io);
    if (m_io->error < 0) Fail(m_io->error, "complete");
    int fd = m_fd;
    m_fd = -1;
    if (close(fd) != 0) Fail(AVERROR(errno), "complete");
    // A file that appeared under the output's name meanwhile is kept. The
    // name is taken by path, so a folder renamed meanwhile fails the rename.
    if (!RenameWithoutReplacing(m_folder, m_name, m_outputPath)) {
        if (errno == EEXIST) RefuseExisting();
        Fail(AVERROR(errno), "give the finished file the name of");
    }
    m_committed = true;
}

void TemporaryOutputFile::RefuseExisting() const {
    throw EncoderFailure(ExitStatus::NameTaken, "Cannot write the output \"" + m_outputPath +
                                                    "\": a file of that name exists, and it is never replaced.");
}

void TemporaryOutputFile::Fail(int error, const std::string& doing) const {
    CheckFfmpeg(error, ExitStatus::OutputUnwritable, "Cannot " + doing + " the output \"" + m_outputPath + "\"");
}
