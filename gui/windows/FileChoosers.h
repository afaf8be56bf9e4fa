#pragma once

#include <QString>
#include <QStringList>

class QWidget;

// The desktop's dialogs the main window picks files and folders with.

// "Import video files" opened on `startFolder`: the chosen files' full paths
// in the dialog's order, or none when the user cancelled.
QStringList ChooseFilesWithDialog(QWidget* owner, const QString& startFolder);
// The chosen folder, or an empty text when the user cancelled.
QString ChooseFolderWithDialog(QWidget* owner, const QString& title, const QString& startFolder);
