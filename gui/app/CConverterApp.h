#pragma once

#include <QApplication>
#include <QStringList>

class TerminationRequest;

// The application object: prepares the look, offers the tip of the day, runs
// the main window modally and tears everything down again. The process lives
// exactly as long as the main window's modal run.
class CConverterApp : public QApplication {
    Q_OBJECT
public:
    CConverterApp(int& argc, char** argv);
    ~CConverterApp() override;

    // Runs the whole program up to the main window's destruction. Returns
    // false: there is no event loop of the application's own to run after.
    bool InitInstance();
    // Shuts the skin down; the result is the process exit code.
    int ExitInstance();

    void ShowStartupTip();

private:
    // Every argument as started; only the tip's suppressing switches act.
    QStringList m_commandLine;
    TerminationRequest* m_termination = nullptr;
};
