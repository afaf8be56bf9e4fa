#include "gui/app/CConverterApp.h"

#include "gui/app/TerminationRequest.h"
#include "gui/widgets/SkinLibrary.h"
#include "gui/windows/CConverterDlg.h"
#include "gui/windows/HelpCommands.h"

#include <memory>

CConverterApp::CConverterApp(int& argc, char** argv) : QApplication(argc, argv) {
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
    if (!m_termination->Requested()) mainWindow->exec();
    mainWindow.reset();  // saves the settings
    return false;
}

int CConverterApp::ExitInstance() {
    SkinLibrary::Shutdown();
    return 0;
}

void CConverterApp::ShowStartupTip() {
    if (!m_termination->Requested()) RunStartupTip(arguments());
}
