#pragma once

#include "core/ConversionSettings.h"
#include "core/SourceEntry.h"

#include <QDialog>
#include <QStandardItemModel>

class EncoderLauncher;
class PicturePage;
class QCheckBox;
class QComboBox;
class QTreeView;

// The modal "File settings" dialog of one listed file. Its "Tracks" page:
// which of its sound tracks to keep and which of them to play first; which
// subtitles to keep, the one shown from the start, and whether it is drawn
// into the picture. Its "Picture" page: the part kept, the crop and a
// preview (PicturePage). It starts from what the file would get now, its
// own choice or the batch's, and gives its choice back on "Ok" only, once
// the choice makes sense.
class FileSettingsDialog : public QDialog {
    Q_OBJECT
public:
    // Without a launcher the Picture page draws no preview and measures no crop.
    FileSettingsDialog(const SourceEntry& source, const ConversionSettings& settings,
                       const EncoderLauncher* launcher = nullptr, QWidget* parent = nullptr);

    // The sound tracks ticked, the one played first leading, then the
    // others in the source's order; the one played first alone when none is
    // ticked. The subtitles ticked and the one shown, in the source's order.
    FileOrder Order() const;

private:
    void FillTracks(const std::vector<int>& kept);
    void FillSubtitles(const ConversionSettings& settings);
    void OnOk();

    SourceEntry m_source;
    QStandardItemModel m_tracks;
    QTreeView* m_trackList = nullptr;
    QComboBox* m_firstList = nullptr;
    QStandardItemModel m_subtitles;
    QTreeView* m_subtitleList = nullptr;
    QComboBox* m_shownList = nullptr;
    QCheckBox* m_burnCheck = nullptr;
    PicturePage* m_picture = nullptr;
};
