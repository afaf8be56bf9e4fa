#pragma once

#include "core/ConversionSettings.h"
#include "core/SourceEntry.h"

#include <QObject>
#include <QString>
#include <QTimer>

#include <memory>
#include <optional>

class CropMeasurer;
class DialogLayout;
class EncoderLauncher;
class PicturePreview;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSlider;

// The "Picture" page of File settings: the part of the file kept (start and
// end, typed or taken from the slider), the crop (none, measured or the
// user's edges), and the output's picture at the slider's time with its
// size and shape in words. The picture and the measured crop come from the
// encoder in the background; the page never waits for them.
class PicturePage : public QObject {
    Q_OBJECT
public:
    // Without a launcher there is no picture and no measuring.
    PicturePage(const DialogLayout& layout, const SourceEntry& source, const ConversionSettings& settings,
                const EncoderLauncher* launcher, QObject* parent);
    ~PicturePage() override;

    // What is wrong with the choice, in a sentence; empty when nothing is.
    QString Problem() const;
    // The order with this page's choices in it.
    void Fill(FileOrder& order) const;

private:
    void Bind(const DialogLayout& layout);
    void ShowOrder();
    void OnCropChosen();
    void OnMeasured(const MeasuredCrop& crop);
    void ShowMeasure();
    void OnPositionMoved();
    void RequestPicture();
    void OnPictureDrawn(const QString& path, double seconds);
    void ShowShape();
    // The entry as this page's choices so far would convert it.
    SourceEntry Chosen() const;
    CropEdges CustomEdges() const;
    double Position() const;
    void SetPositionText(QLineEdit& edit);

    SourceEntry m_source;
    ConversionSettings m_settings;
    std::unique_ptr<PicturePreview> m_preview;
    std::unique_ptr<CropMeasurer> m_measurer;
    std::optional<MeasuredCrop> m_measured;
    // The kept part the crop was last measured over.
    std::optional<double> m_measuredStart;
    std::optional<double> m_measuredEnd;
    bool m_measuring = false;
    QTimer m_settle;  // a picture is asked for once the slider rests a moment

    QLabel* m_picture = nullptr;
    QLabel* m_shape = nullptr;
    QSlider* m_position = nullptr;
    QLabel* m_positionText = nullptr;
    QLineEdit* m_start = nullptr;
    QLineEdit* m_end = nullptr;
    QComboBox* m_crop = nullptr;
    QLabel* m_cropResult = nullptr;
    QLineEdit* m_edges[4] = {};
};
