#pragma once

#include <QObject>

class QSocketNotifier;

// Turns the stop signals (protocol/StopSignals.h) into an event of the event
// loop: Received is emitted there, never inside the handler. One at a time
// in a process; when it goes, the signals take their default action again.
class StopSignalNotifier : public QObject {
    Q_OBJECT
public:
    explicit StopSignalNotifier(QObject* parent = nullptr);
    ~StopSignalNotifier() override;
    StopSignalNotifier(const StopSignalNotifier&) = delete;
    StopSignalNotifier& operator=(const StopSignalNotifier&) = delete;

signals:
    void Received();

private:
    void OnSignal();

    QSocketNotifier* m_notifier = nullptr;
};
