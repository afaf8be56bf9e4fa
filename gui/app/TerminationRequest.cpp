#include "gui/app/TerminationRequest.h"

#include "engine/StopSignalNotifier.h"

#include <QApplication>
#include <QDialog>

TerminationRequest::TerminationRequest(QObject* parent) : QObject(parent), m_signals(new StopSignalNotifier(this)) {
    connect(m_signals, &StopSignalNotifier::Received, this, &TerminationRequest::OnSignal);
}

TerminationRequest::~TerminationRequest() = default;

void TerminationRequest::OnSignal() {
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
