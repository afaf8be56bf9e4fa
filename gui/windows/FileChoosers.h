#pragma once

#include <QString>
#include <QStringList>

#include <string>
#include <vector>

class QWidget;

// The desktop's dialogs the main window picks files and folders with.

// "Import video files" opened on `startFolder`: the chosen files' full paths
// in the dialog's order, or none when the user cancelled.
QStringList ChooseFilesWithDialog(QWidget* owner, const QString& startFolder);
// "Save list" or "Open list": the list file chosen (a saved one confirmed by
// the user if it replaces another), or an empty text when the user cancelled.
QString ChooseListWithDialog(QWidget* owner, bool saving);
// The chosen folder, or an empty text when the user cancelled.
QString ChooseFolderWithDialog(QWidget* owner, const QString& title, const QString& startFolder);
// The chosen files' paths as the system's bytes. A chooser hands names over
// as text, in which a name that is no UTF-8 text has lost its bytes: such a
// file is named to the user over `owner`, and left out rather than looked for.
std::vector<std::string> PathsOfChosen(QWidget* owner, const QStringList& names);
