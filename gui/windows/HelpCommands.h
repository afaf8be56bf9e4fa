#pragma once

#include <QStringList>

// The Help menu's commands and the start-up tip. Each runs to completion
// (or opens a window of its own) and keeps no state.

// "Content": opens the help shipped in the program folder (help/) on its
// overview topic. Without a help folder nothing happens.
void OpenHelpContent();

// "Home page": opens the product's home page in the desktop's browser; a
// failure is reported to the user.
void OpenHomePage();

// "About" and the window-menu about item: the about box, modal.
void ShowAboutBox();

// "Tip of the Day...": the tip dialog, modal, whatever the start-up flag says.
void ShowTipOfTheDay();

// True when the command line (program name first) carries the embedding or
// automation switch ("-Embedding", "/Automation", any letter case).
bool StartupTipSuppressed(const QStringList& arguments);

// The start-up tip: unless suppressed by the command line, builds the tip
// dialog, which moves the stored position on by one tip, and runs it when
// the user has tips at start-up switched on. Returns when it is closed.
void RunStartupTip(const QStringList& arguments);
