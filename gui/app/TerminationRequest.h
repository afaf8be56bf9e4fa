#pragma once

#include <QObject>

class StopSignalNotifier;

// Turns the stop signals (SIGTERM, SIGINT, SIGHUP, SIGQUIT) into an ordinary
// close: Terminating is emitted (a batch or a probe stops without asking),
// then the open dialogs are cancelled from the top down, as if the user had
// pressed Escape in each, so the main window's teardown runs and the
// settings are saved. A signal that arrives before any window is open makes
// the next one close at once.
class TerminationRequest : public QObject {
    Q_OBJECT
public:
    explicit TerminationRequest(QObject* parent = nullptr);
    ~TerminationRequest() override;

    bool Requested() const { return m_requested; }

    // Cancels the application's modal dialogs, topmost first.
    static void CloseOpenDialogs();

signals:
    void Terminating();

private:
    void OnSignal();

    StopSignalNotifier* m_signals = nullptr;
    bool m_requested = false;
};
