#include "gui/windows/HelpCommands.h"

#include "core/ProgramFolder.h"
#include "gui/res/ProductAddresses.h"
#include "gui/widgets/OpenAddress.h"
#include "gui/windows/CAboutDlg.h"
#include "gui/windows/CTipDlg.h"
#include "gui/windows/HelpWindow.h"

#include <QFileInfo>

bool StartupTipSuppressed(const QStringList& arguments) {
    // Switches start with "-" or "/"; the program's own name is not one.
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        if (!argument.startsWith(QLatin1Char('-')) && !argument.startsWith(QLatin1Char('/'))) continue;
        QString name = argument.mid(1);
        if (name.compare(QLatin1String("Embedding"), Qt::CaseInsensitive) == 0 ||
            name.compare(QLatin1String("Automation"), Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

void RunStartupTip(const QStringList& arguments) {
    if (StartupTipSuppressed(arguments)) return;
    CTipDlg tip;
    if (tip.m_showAtStartup) tip.exec();
}

void ShowTipOfTheDay() {
    CTipDlg tip;
    tip.exec();
}

void OpenHelpContent() {
    QString helpFolder = QString::fromStdString(GetProgramFolder()) + QStringLiteral("help");
    if (!QFileInfo(helpFolder + QLatin1Char('/') + QLatin1String(HelpWindow::kOverviewTopic)).isFile()) return;
    HelpWindow::Open(helpFolder, QLatin1String(HelpWindow::kOverviewTopic));
}

void OpenHomePage() { OpenAddressOrReport(kHomePageAddress); }

void ShowAboutBox() {
    CAboutDlg about;
    about.exec();
}
