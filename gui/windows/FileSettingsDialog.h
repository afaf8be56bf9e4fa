#pragma once

#include "core/ConversionSettings.h"
#include "core/SourceEntry.h"

#include <QDialog>
#include <QStandardItemModel>

class QComboBox;
class QTreeView;

// The modal "File settings" dialog of one listed file: which of its sound
// tracks to keep and which of them to play first. It starts from what the
// file would get now, its own choice or the batch's, and gives its choice
// back on "Ok" only.
class FileSettingsDialog : public QDialog {
    Q_OBJECT
public:
    FileSettingsDialog(const SourceEntry& source, const ConversionSettings& settings, QWidget* parent = nullptr);

    // The tracks ticked, the one played first leading, then the others in
    // the source's order; the one played first alone when none is ticked.
    FileOrder Order() const;

private:
    void FillTracks(const std::vector<int>& kept);
    void OnFirstChosen(int position);

    SourceEntry m_source;
    QStandardItemModel m_tracks;
    QTreeView* m_trackList = nullptr;
    QComboBox* m_firstList = nullptr;
};
