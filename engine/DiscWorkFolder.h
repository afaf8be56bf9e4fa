#pragma once

#include <QString>
#include <QTemporaryDir>

#include <memory>
#include <string>

// The hidden folder a disc image takes shape in, made inside the output
// folder and removed with all in it when the last holder lets go. The
// output folder is held open and reached through its descriptor, so Qt and
// the tools see a path of plain letters whatever bytes the folder's own
// name has.
class DiscWorkFolder {
public:
    // The work folder inside `folder` (a path as the system's bytes), or
    // nullptr with `failure` saying why it could not be made.
    static std::shared_ptr<DiscWorkFolder> Make(const std::string& folder, std::string& failure);
    ~DiscWorkFolder();
    DiscWorkFolder(const DiscWorkFolder&) = delete;
    DiscWorkFolder& operator=(const DiscWorkFolder&) = delete;

    QString Path() const { return m_work->path(); }
    QString FilePath(const std::string& name) const;

private:
    explicit DiscWorkFolder(int outputFolder);

    int m_outputFolder;
    std::unique_ptr<QTemporaryDir> m_work;  // goes before the descriptor its path runs through
};
