#include "gui/app/CConverterApp.h"

#include "gui/app/TerminationRequest.h"
#include "gui/widgets/SkinLibrary.h"
#include "gui/windows/CConverterDlg.h"
#include "gui/windows/HelpCommands.h"

#include <memory>

namespace {

// Qt takes options of its own from the arguments it is given (-platform,
// -style, -reverse, -stylesheet ...). The program has no such options, so
// Qt is given the program's name alone; the count must outlive the
// application object.
int& ProgramNameOnly(int argc) {
    static int count = 0;
    count = argc > 0 ? 1 : 0;
    return count;
}

QStringList ArgumentList(int argc, char** argv) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);
    return arguments;
}

}  // namespace

CConverterApp::CConverterApp(int& argc, char** argv)
    : QApplication(ProgramNameOnly(argc), argv), m_commandLine(ArgumentList(argc, argv)) {
    setApplicationName(QStringLiteral("Tarvine"));
    // Every window here runs its own modal loop; the end of one of them (the
    // tip before the main window) must not end the program.
    setQuitOnLastWindowClosed(false);
}

CConverterApp::~CConverterApp() = default;

bool CConverterApp::InitInstance() {
    m_termination = new TerminationRequest(this);
    SkinLibrary::ApplyProgramSkin(*this);
    ShowStartupTip();

    auto mainWindow = std::make_unique<CConverterDlg>();
    connect(m_termination, &TerminationRequest::Terminating, mainWindow.get(), &CConverterDlg::EndSession);
    if (!m_termination->Requested()) mainWindow->exec();
    mainWindow.reset();  // saves the settings
    // Encoder runs let go of from their own signals are deleted from the
    // event loop, which has ended: deleting them now stops them; what is
    // still running when the program ends is the system's to reap.
    sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return false;
}

int CConverterApp::ExitInstance() {
    SkinLibrary::Shutdown();
    return 0;
}

void CConverterApp::ShowStartupTip() {
    if (!m_termination->Requested()) RunStartupTip(m_commandLine);
}
