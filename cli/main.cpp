// tarvine-convert: the window's conversions from a command line, with no display.
#include "cli/CommandLineOptions.h"
#include "cli/ConvertCommand.h"
#include "cli/JsonPrinter.h"
#include "cli/ListedFiles.h"
#include "cli/TerminalPrinter.h"
#include "core/DiscImagePlan.h"
#include "core/EncoderArguments.h"
#include "core/ProgramFolder.h"
#include "core/SettingsStore.h"
#include "discmenu/DiscMenuPainter.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QtGlobal>

#include <cstdio>
#include <memory>
#include <optional>

namespace {

int Usage(const std::string& problem) {
    std::fprintf(stderr, "tarvine-convert: %s\nTry 'tarvine-convert --help' for more information.\n", problem.c_str());
    return ConvertCommand::kExitUsage;
}

std::vector<std::string> Arguments(int argc, char** argv) { return std::vector<std::string>(argv + 1, argv + argc); }

// Qt's own warnings (no runtime folder for root, a process let go of after a
// stop) say nothing a user of this command can act on.
void QuietQtMessages(QtMsgType, const QMessageLogContext&, const QString&) {}

// The --batch list's settings over `settings`, and the files chosen of it;
// what it holds that is not understood is said. Throws UsageError when it is
// no list or lists nothing to convert.
std::vector<BatchListFile::Listed> OpenBatch(const CommandLineOptions& options, ConversionSettings& settings) {
    BatchListFile::Opened list = BatchListFile::Open(*options.batchFile, settings);
    if (!list.failure.isEmpty()) throw UsageError(list.failure.toStdString());
    for (const QString& sentence : list.notUnderstood) ProgressPrinter::Problem(sentence);
    if (list.files.empty()) throw UsageError("The list " + *options.batchFile + " names no file to convert.");
    settings = list.settings;
    return ChooseListed(list.files, options.files, *options.batchFile);
}

}  // namespace

int main(int argc, char** argv) {
    CommandLineOptions options;
    try {
        options = ParseCommandLine(Arguments(argc, argv));
    } catch (const UsageError& error) {
        return Usage(error.what());
    }
    if (options.help) {
        std::fputs(UsageText().c_str(), stdout);
        return 0;
    }
    if (options.version) {
        std::printf("tarvine-convert %s\n", SettingsStore().LoadVersion().c_str());
        return 0;
    }
    if (options.listFormats) {
        std::fputs(FormatListText().c_str(), stdout);
        return 0;
    }
    if (options.files.empty() && !options.batchFile) return Usage("No file to convert was given.");
    if (options.printFiles && !options.batchFile) return Usage("--print-files prints the files of a --batch list.");
    if (options.settingsFile) {
        const std::string problem = SettingsStore::ProblemWith(*options.settingsFile);
        if (!problem.empty()) return Usage("The settings file " + *options.settingsFile + " " + problem + ".");
    }
    if (!options.verbose) qInstallMessageHandler(QuietQtMessages);

    ConversionSettings settings =
        options.settingsFile ? SettingsStore::LoadFrom(*options.settingsFile) : SettingsStore().Load();
    std::vector<BatchListFile::Listed> listed;
    try {
        if (options.batchFile) listed = OpenBatch(options, settings);
    } catch (const UsageError& error) {
        return Usage(error.what());
    }
    if (options.printFiles) return PrintListed(listed, stdout);
    if (options.format) settings.outputFormat = *options.format;
    if (options.outputFolder) settings.outputFolder = *options.outputFolder;
    if (options.discImage) settings.discImage = 1;
    if (options.discMenu) settings.discMenu = *options.discMenu ? 1 : 0;
    if (options.discTitle) settings.discMenuTitle = *options.discTitle;
    if (options.jobs) settings.conversionsAtOnce = *options.jobs;
    if (options.audioTracks) settings.audioTracks = *options.audioTracks;
    if (options.subtitles) settings.subtitles = *options.subtitles;
    if (options.discImage && !DiscKindOf(settings.outputFormat))
        ProgressPrinter::Problem(
            QStringLiteral("Only a VCD, SVCD or DVD batch ends in a disc image; the files are converted without one."));

    // A DVD menu is drawn with Qt's painter, which needs a GUI application;
    // the offscreen platform draws without a display.
    std::optional<DiscMenuPainter> menuPainter;
    std::unique_ptr<QCoreApplication> application;
    if (DiscImagePlan::Wanted(settings) && settings.discMenu != 0) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        application = std::make_unique<QGuiApplication>(argc, argv);
        menuPainter.emplace();
    } else {
        application = std::make_unique<QCoreApplication>(argc, argv);
    }
    std::unique_ptr<ProgressPrinter> printer;
    if (options.json)
        printer = std::make_unique<JsonPrinter>(stdout);
    else
        printer = std::make_unique<TerminalPrinter>(stdout);
    ConvertCommand command(settings, EncoderExecutablePath(GetProgramFolder()), *printer,
                           menuPainter ? &*menuPainter : nullptr, options.fitDisc, options.tracks, options.part);
    QObject::connect(&command, &ConvertCommand::Finished, application.get(), &QCoreApplication::exit);
    if (options.batchFile)
        command.StartListed(listed);
    else
        command.Start(options.files);
    return application->exec();
}
