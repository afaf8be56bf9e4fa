#pragma once

#include <csignal>

// The signals that stop a conversion like Cancel does, in both programs:
// Ctrl-C, a terminal hang-up, a quit and a termination request. The encoder
// blocks them and polls; a front-end starts the encoder with them blocked
// and stops its own batch on them.
inline constexpr int kStopSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT};
