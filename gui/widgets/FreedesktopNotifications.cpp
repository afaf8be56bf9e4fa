#include "gui/widgets/FreedesktopNotifications.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QStringList>
#include <QVariantMap>

namespace {

const QString kService = QStringLiteral("org.freedesktop.Notifications");
const QString kPath = QStringLiteral("/org/freedesktop/Notifications");
const QString kInterface = QStringLiteral("org.freedesktop.Notifications");
// The action a click on the notice's body invokes.
const QString kDefaultAction = QStringLiteral("default");
constexpr int kServerChoosesTimeout = -1;

}  // namespace

FreedesktopNotifications::FreedesktopNotifications(QDBusConnection bus, QObject* parent)
    : QObject(parent), m_bus(std::move(bus)) {
    if (!m_bus.isConnected()) return;
    m_bus.connect(kService, kPath, kInterface, QStringLiteral("ActionInvoked"), this,
                  SLOT(OnActionInvoked(uint, QString)));
    m_bus.connect(kService, kPath, kInterface, QStringLiteral("NotificationClosed"), this,
                  SLOT(OnNotificationClosed(uint, uint)));
}

void FreedesktopNotifications::Notify(const QString& title, const QString& text, std::function<void()> clicked) {
    if (!m_bus.isConnected()) return;
    QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, kInterface, QStringLiteral("Notify"));
    call << QStringLiteral("Tarvine") << 0u << QStringLiteral("tarvine") << title << text
         << QStringList{kDefaultAction, QStringLiteral("Show")} << QVariantMap{} << kServerChoosesTimeout;
    auto* watcher = new QDBusPendingCallWatcher(m_bus.asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this, clicked = std::move(clicked)](QDBusPendingCallWatcher* finished) {
                const QDBusPendingReply<uint> reply = *finished;
                // No service answered: the notice is simply not shown.
                if (reply.isValid()) m_clickHandlers[reply.value()] = clicked;
                finished->deleteLater();
            });
}

void FreedesktopNotifications::OnActionInvoked(uint id, const QString& action) {
    const auto handler = m_clickHandlers.find(id);
    if (handler == m_clickHandlers.end() || action != kDefaultAction) return;
    handler->second();
}

void FreedesktopNotifications::OnNotificationClosed(uint id, uint) { m_clickHandlers.erase(id); }
