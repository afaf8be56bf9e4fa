#include "gui/app/TerminationRequest.h"

#include <QApplication>
#include <QDialog>
#include <QSocketNotifier>

#include <fcntl.h>
#include <unistd.h>
#include <csignal>

namespace {

constexpr int kSignals[] = {SIGTERM, SIGINT, SIGHUP};

// The self-pipe: the handler only writes a byte, the event loop does the rest.
int g_pipe[2] = {-1, -1};

void OnTerminationSignal(int) {
    char byte = 1;
    [[maybe_unused]] ssize_t written = ::write(g_pipe[1], &byte, 1);
}

}  // namespace

TerminationRequest::TerminationRequest(QObject* parent) : QObject(parent) {
    if (::pipe2(g_pipe, O_CLOEXEC | O_NONBLOCK) != 0) return;
    m_notifier = new QSocketNotifier(g_pipe[0], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &TerminationRequest::OnSignal);

    struct sigaction action {};
    action.sa_handler = OnTerminationSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigset_t unblock;
    sigemptyset(&unblock);
    for (int signal : kSignals) {
        ::sigaction(signal, &action, nullptr);
        sigaddset(&unblock, signal);
    }
    // A launcher may hand the signals over blocked; a blocked SIGTERM would
    // never reach the handler.
    ::sigprocmask(SIG_UNBLOCK, &unblock, nullptr);
}

TerminationRequest::~TerminationRequest() {
    if (!m_notifier) return;
    struct sigaction fallback {};
    fallback.sa_handler = SIG_DFL;
    for (int signal : kSignals) ::sigaction(signal, &fallback, nullptr);
    ::close(g_pipe[0]);
    ::close(g_pipe[1]);
    g_pipe[0] = g_pipe[1] = -1;
}

void TerminationRequest::OnSignal() {
    char bytes[16];
    while (::read(g_pipe[0], bytes, sizeof bytes) > 0) {
    }
    m_requested = true;
    emit Terminating();
    CloseOpenDialogs();
}

void TerminationRequest::CloseOpenDialogs() {
    QDialog* previous = nullptr;
    for (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget()); dialog && dialog != previous;
         dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
        previous = dialog;  // a dialog that refuses to close must not hold us here
        dialog->reject();
    }
}
