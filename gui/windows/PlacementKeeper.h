#pragma once

#include "core/AppProfile.h"

#include <QObject>
#include <QPoint>

#include <optional>
#include <string>

class QWidget;

// Keeps where the user put a window that is shown again and again. Until it
// is moved, the window opens where Qt puts it; once moved, it opens there
// again, also in a later run, and is brought back onto a screen when the
// screens have changed since. The place is written to the profile when the
// window hides after a move. It belongs to the window.
class PlacementKeeper : public QObject {
public:
    PlacementKeeper(QWidget& window, AppProfile profile, std::string section);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Restore();
    void SaveIfMoved();
    std::optional<QPoint> SavedPosition() const;

    QWidget& m_window;
    AppProfile m_profile;
    std::string m_section;
    QPoint m_shownAt;
};
