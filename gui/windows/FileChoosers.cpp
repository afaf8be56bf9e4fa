#include "gui/windows/FileChoosers.h"

#include "core/VideoFileFilter.h"
#include "gui/widgets/AppMessageBox.h"

#include <QFile>
#include <QFileDialog>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QHeaderView>
#include <QScreen>
#include <QTreeView>

namespace {

// The file list in columns, the dialog wide enough for a long name beside its
// size and type, but never larger than the screen.
void ShowNamesSizesAndTypes(QFileDialog& dialog) {
    dialog.setViewMode(QFileDialog::Detail);
    const QFontMetrics metrics(dialog.font());
    QSize size(metrics.averageCharWidth() * 130, metrics.height() * 30);
    if (const QScreen* screen = QGuiApplication::primaryScreen()) size = size.boundedTo(screen->availableSize());
    dialog.resize(size);
    // The desktop-independent dialog's list: the name takes what is left once
    // sizes such as "999.9 MiB" and the types have their room.
    if (auto* view = dialog.findChild<QTreeView*>(QStringLiteral("treeView"))) {
        view->header()->resizeSection(1, metrics.horizontalAdvance(QStringLiteral("0999.9 MiB")) + metrics.height());
        view->header()->resizeSection(2, metrics.averageCharWidth() * 20);
        view->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    }
}

}  // namespace

QStringList ChooseFilesWithDialog(QWidget* owner, const QString& startFolder) {
    QFileDialog dialog(owner, QStringLiteral("Import video files"), startFolder);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFiles);
    // The entries show their display texts as written; the patterns behind
    // them match in any letter case.
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    QStringList filters;
    for (const std::string& filter : VideoFileFilter::DialogNameFilters()) filters << QString::fromStdString(filter);
    dialog.setNameFilters(filters);
    ShowNamesSizesAndTypes(dialog);
    if (dialog.exec() != QDialog::Accepted) return {};
    return dialog.selectedFiles();
}

QString ChooseListWithDialog(QWidget* owner, bool saving) {
    const QString filter = QStringLiteral("Tarvine lists (*.json);;All files (*)");
    if (!saving) return QFileDialog::getOpenFileName(owner, QStringLiteral("Open list"), QString(), filter);
    QFileDialog dialog(owner, QStringLiteral("Save list"), QString(), filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QStringLiteral("json"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return dialog.selectedFiles().front();
}

QString ChooseFolderWithDialog(QWidget* owner, const QString& title, const QString& startFolder) {
    return QFileDialog::getExistingDirectory(owner, title, startFolder, QFileDialog::ShowDirsOnly);
}

std::vector<std::string> PathsOfChosen(QWidget* owner, const QStringList& names) {
    std::vector<std::string> paths;
    for (const QString& name : names) {
        if (name.contains(QChar::ReplacementCharacter))
            AppMessageBox(owner, QStringLiteral("Load file %1 failed: its name is not UTF-8 text, which the file "
                                                "chooser cannot pass on. Drop the file onto the list instead.")
                                     .arg(name));
        else
            paths.push_back(QFile::encodeName(name).toStdString());
    }
    return paths;
}
