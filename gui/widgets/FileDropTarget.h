#pragma once

#include <QObject>
#include <functional>
#include <string>
#include <vector>

class QMimeData;
class QWidget;

// Takes files dropped from the file manager onto the watched widgets of a
// window. The drop is acknowledged at once and the paths are handed on
// afterwards, so the file manager is not kept waiting while they are read.
// Other drags (text, web addresses) go on to the widgets themselves; while
// the window is disabled, files are refused.
class FileDropTarget : public QObject {
    Q_OBJECT
public:
    using Receiver = std::function<void(const std::vector<std::string>& paths)>;

    FileDropTarget(QWidget& window, Receiver receiver);

    void Watch(QWidget* widget);

    // The local files a drag carries, in its order, as the system's bytes.
    static std::vector<std::string> LocalFiles(const QMimeData* data);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget& m_window;
    Receiver m_receiver;
};
