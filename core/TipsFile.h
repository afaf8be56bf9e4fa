#pragma once

#include <cstdio>
#include <string>

// tips.txt, read line by line: a read takes at most 999 characters (the
// rest of a longer line comes with the next read), lines beginning with a
// space, a tab or ";" and empty lines are skipped, and after the last line
// reading starts again at the first. Line ends are read as text mode reads
// them: "\r\n" comes back as "\n".
class TipsFile {
public:
    static constexpr std::size_t kMaxTipLength = 999;

    enum class ReadResult {
        Tip,           // the next tip was read
        NoTips,        // one full pass found no tip line
        RewindFailed,  // the end was reached and the file could not be rewound
    };

    // Opens the file for reading; IsOpen() tells whether that worked.
    explicit TipsFile(const std::string& path);
    ~TipsFile();
    TipsFile(const TipsFile&) = delete;
    TipsFile& operator=(const TipsFile&) = delete;

    bool IsOpen() const { return m_stream != nullptr; }

    // The file's creation time as ctime writes it, without the line end:
    // its birth time where the file system records one, else the time it
    // was last modified. Empty when the file is not open.
    std::string CreationTimeText() const;

    // Moves to a byte offset from the start; false when that fails. An
    // offset past the end is not a failure: the next read wraps.
    bool Seek(long offset);
    long Position() const;

    ReadResult ReadNextTip(std::string& tip);

private:
    // One read of at most kMaxTipLength characters; false at the end.
    bool ReadLine(std::string& line);

    std::FILE* m_stream = nullptr;
};
