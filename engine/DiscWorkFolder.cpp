#include "engine/DiscWorkFolder.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

std::shared_ptr<DiscWorkFolder> DiscWorkFolder::Make(const std::string& folder, std::string& failure) {
    const int descriptor = open(folder.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    if (descriptor < 0) {
        failure = std::strerror(errno);
        return nullptr;
    }
    std::shared_ptr<DiscWorkFolder> made(new DiscWorkFolder(descriptor));
    if (made->m_work->isValid()) return made;
    failure = made->m_work->errorString().toStdString();
    return nullptr;
}

DiscWorkFolder::DiscWorkFolder(int outputFolder)
    : m_outputFolder(outputFolder),
      m_work(
          std::make_unique<QTemporaryDir>(QStringLiteral("/proc/self/fd/%1/.Tarvine disc-XXXXXX").arg(outputFolder))) {}

DiscWorkFolder::~DiscWorkFolder() {
    m_work.reset();
    close(m_outputFolder);
}

QString DiscWorkFolder::FilePath(const std::string& name) const {
    return m_work->filePath(QString::fromStdString(name));
}
