#include "gui/widgets/FileDropTarget.h"

#include <QDropEvent>
#include <QMimeData>
#include <QUrl>
#include <QWidget>

FileDropTarget::FileDropTarget(QWidget& window, Receiver receiver)
    : QObject(&window), m_window(window), m_receiver(std::move(receiver)) {}

void FileDropTarget::Watch(QWidget* widget) {
    widget->setAcceptDrops(true);
    widget->installEventFilter(this);
}

// A file's address keeps its name's bytes percent-encoded, also bytes that
// are no UTF-8 text, which toLocalFile() would replace.
std::vector<std::string> FileDropTarget::LocalFiles(const QMimeData* data) {
    std::vector<std::string> paths;
    if (!data) return paths;
    for (const QUrl& url : data->urls())
        if (url.isLocalFile())
            paths.push_back(QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1()).toStdString());
    return paths;
}

bool FileDropTarget::eventFilter(QObject*, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type != QEvent::DragEnter && type != QEvent::DragMove && type != QEvent::Drop) return false;
    auto* drop = static_cast<QDropEvent*>(event);
    const std::vector<std::string> paths = LocalFiles(drop->mimeData());
    if (paths.empty()) return false;
    if (!m_window.isEnabled()) {
        drop->ignore();
        return true;
    }
    drop->setDropAction(Qt::CopyAction);
    drop->accept();
    if (type == QEvent::Drop)
        QMetaObject::invokeMethod(
            this, [this, paths] { m_receiver(paths); }, Qt::QueuedConnection);
    return true;
}
