#pragma once

#include <map>
#include <string>
#include <vector>

// One stream as ffprobe reads it, with the time its packets cover.
struct StreamInfo {
    std::map<std::string, std::string> fields;  // ffprobe's stream keys
    int packets = 0;
    long bytes = 0;              // of all its packets
    double firstTime = 0;        // earliest packet time, seconds
    double endTime = 0;          // latest packet time plus its duration
    bool timesIncrease = true;   // every packet later than the one before (in decode order)
    int longestKeyInterval = 0;  // most packets from one key packet to the next (or the end)

    std::string Text(const std::string& key) const;
    long Number(const std::string& key) const;  // 0 when absent
    double Rate(const std::string& key) const;  // "N/D" or "N:D" as a number, 0 when absent or 0/0
    double DisplayAspect() const { return Rate("display_aspect_ratio"); }  // 0 when absent
    double SampleAspect() const { return Rate("sample_aspect_ratio"); }    // 0 when absent
    double Span() const { return endTime - firstTime; }
    std::string Type() const { return Text("codec_type"); }
};

// What ffprobe makes of a file: its format keys and its streams in order.
struct MediaInfo {
    bool readable = false;
    std::string error;  // ffprobe's complaint when not readable
    std::map<std::string, std::string> format;
    std::vector<StreamInfo> streams;
    std::vector<std::map<std::string, std::string>> chapters;  // ffprobe's chapter keys ("start_time", "tags.title")

    const StreamInfo* First(const std::string& type) const;
    int Count(const std::string& type) const;
    double Duration() const;  // the container's duration, seconds
};

// With `packets` false the packet statistics stay empty (one ffprobe run
// instead of two).
MediaInfo ReadMediaInfo(const std::string& path, bool packets = true);

// How many pictures of the first video stream ffprobe decodes; 0 when the
// file has none or cannot be read.
int DecodedPictures(const std::string& path);

// Mean luma (0..255) of a rectangle of the file's first video frames (from
// a time on, when given: the keyframe before it, or exactly that time),
// measured by ffprobe's signalstats; negative when it cannot be measured.
double MeanLuma(const std::string& path, int x, int y, int width, int height, double fromSeconds = 0,
                bool exactly = false);

// One subtitle track of the file (counted among its subtitle tracks from 0)
// as SubRip text, as ffmpeg reads it out.
std::string SubtitleText(const std::string& path, int track);

// The kinds of side data the first picture carries, as ffprobe names them
// ("Mastering display metadata"), one a line.
std::string FirstPictureSideData(const std::string& path);

// How far the file's pictures differ from the reference's in a rectangle
// (mean absolute luma difference, 0..255) over the first frames from a time
// on; negative when it cannot be measured.
double LumaDifference(const std::string& path, const std::string& reference, int x, int y, int width, int height,
                      double fromSeconds);

// The part of the video that is not black bars, as ffmpeg's cropdetect
// finds it over the whole file; all 0 when it cannot be measured.
struct PictureArea {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};
PictureArea ActivePicture(const std::string& path);

// How far the file's first picture differs from the reference's picture
// `referenceSeconds` after its first (the first at or after that time),
// both scaled to width x height (mean absolute luma difference, 0..255);
// negative when it cannot be measured.
double FirstPictureDifference(const std::string& path, const std::string& reference, double referenceSeconds, int width,
                              int height);

// The SSIM of the file's pictures against the reference's after
// `referenceFilters` (ffmpeg's ssim, its "All" value); 0 when it cannot be
// measured.
double PictureSimilarity(const std::string& path, const std::string& reference, const std::string& referenceFilters);

// What ffmpeg's idet makes of the file's pictures, by most of them: "tff",
// "bff" or "progressive"; empty when it cannot tell.
std::string DetectedFields(const std::string& path);

// The field order of each decoded picture, in runs: "t25b25" for 25
// pictures flagged top field first and then 25 bottom first; "p" stands for
// a picture not flagged interlaced.
std::string FieldOrderRuns(const std::string& path);

// Mean loudness of the first audio stream in dBFS (ffmpeg's volumedetect),
// after `filters` (ending in a comma) when given; +1 when it cannot be
// measured.
double MeanVolume(const std::string& path, const std::string& filters = "");
// The first sound track's highest sample in dB of full scale, decoded as
// floats, so that what would clip shows above 0.
double PeakLevel(const std::string& path);

// When the picture flashes white (a frame brighter than mid grey, after a
// darker one) and when a beep starts after silence, in seconds.
std::vector<double> FlashTimes(const std::string& path);
std::vector<double> BeepTimes(const std::string& path);
