#pragma once

#include "gui/widgets/DesktopNotifications.h"

#include <QDBusConnection>
#include <QObject>

#include <map>

// Notices through the desktop's notification service
// (org.freedesktop.Notifications on the session bus). The call never waits:
// without a bus or a service the notice is dropped.
class FreedesktopNotifications : public QObject, public DesktopNotifications {
    Q_OBJECT
public:
    explicit FreedesktopNotifications(QDBusConnection bus = QDBusConnection::sessionBus(), QObject* parent = nullptr);

    void Notify(const QString& title, const QString& text, std::function<void()> clicked) override;

private slots:
    void OnActionInvoked(uint id, const QString& action);
    void OnNotificationClosed(uint id, uint reason);

private:
    QDBusConnection m_bus;
    std::map<uint, std::function<void()>> m_clickHandlers;  // by the service's notice id
};
