#include "MediaInfo.h"

#include "ChildProcess.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <sstream>

namespace {

std::string RunTool(std::vector<std::string> arguments, std::string* err = nullptr) {
    ChildRequest request;
    request.arguments = std::move(arguments);
    request.timeoutSeconds = 60;
    ChildResult result = RunChild(request);
    if (err) *err = result.err;
    return result.Exited(0) ? result.out : std::string();
}

std::string Unquoted(std::string value) {
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"') return value.substr(1, value.size() - 2);
    return value;
}

// ffprobe's "flat" writer: section.index.key=value, one a line.
// Files "PREFIX.N.key" of an indexed section into item N's keys; false for another line.
template <typename Item>
bool ReadIndexed(const std::string& key, const std::string& value, const std::string& prefix, std::vector<Item>& items,
                 std::map<std::string, std::string>& (*keysOf)(Item&)) {
    if (key.rfind(prefix, 0) != 0) return false;
    std::size_t dot = key.find('.', prefix.size());
    std::size_t index = std::stoul(key.substr(prefix.size(), dot - prefix.size()));
    if (items.size() <= index) items.resize(index + 1);
    keysOf(items[index])[key.substr(dot + 1)] = value;
    return true;
}

void ReadFlat(const std::string& text, MediaInfo& info) {
    const std::string formatPrefix = "format.";
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        std::size_t equals = line.find('=');
        if (equals == std::string::npos) continue;
        std::string key = line.substr(0, equals);
        std::string value = Unquoted(line.substr(equals + 1));
        if (key.rfind(formatPrefix, 0) == 0) {
            info.format[key.substr(formatPrefix.size())] = value;
            continue;
        }
        if (ReadIndexed<StreamInfo>(
                key, value, "streams.stream.", info.streams,
                [](StreamInfo& stream) -> std::map<std::string, std::string>& { return stream.fields; }))
            continue;
        ReadIndexed<std::map<std::string, std::string>>(
            key, value, "chapters.chapter.", info.chapters,
            [](std::map<std::string, std::string>& chapter) -> std::map<std::string, std::string>& { return chapter; });
    }
}

bool ParseTime(const std::string& text, double& time) {
    char* end = nullptr;
    time = std::strtod(text.c_str(), &end);
    return !text.empty() && end && *end == '\0';
}

// Packets as "stream_index,pts_time,dts_time,duration_time,size,flags".
void ReadPackets(const std::string& text, MediaInfo& info) {
    constexpr double kUnset = std::numeric_limits<double>::quiet_NaN();
    std::vector<double> lastTime(info.streams.size(), kUnset);
    std::vector<bool> seen(info.streams.size(), false);
    std::vector<int> sinceKey(info.streams.size(), 0);
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        std::vector<std::string> cells;
        std::istringstream row(line);
        for (std::string cell; std::getline(row, cell, ',');) cells.push_back(cell);
        if (cells.size() < 6) continue;
        std::size_t index = std::stoul(cells[0]);
        if (index >= info.streams.size()) continue;
        StreamInfo& stream = info.streams[index];
        stream.packets++;
        stream.bytes += std::strtol(cells[4].c_str(), nullptr, 10);
        if (cells[5].find('K') != std::string::npos) sinceKey[index] = 0;
        stream.longestKeyInterval = std::max(stream.longestKeyInterval, ++sinceKey[index]);
        double pts = 0, dts = 0, duration = 0;
        bool hasPts = ParseTime(cells[1], pts);
        bool hasDts = ParseTime(cells[2], dts);
        ParseTime(cells[3], duration);
        if (hasDts || hasPts) {
            double order = hasDts ? dts : pts;
            if (!std::isnan(lastTime[index]) && order <= lastTime[index]) stream.timesIncrease = false;
            lastTime[index] = order;
        }
        if (!hasPts) continue;
        if (!seen[index] || pts < stream.firstTime) stream.firstTime = pts;
        if (!seen[index] || pts + duration > stream.endTime) stream.endTime = pts + duration;
        seen[index] = true;
    }
}

}  // namespace

std::string StreamInfo::Text(const std::string& key) const {
    auto found = fields.find(key);
    return found == fields.end() ? std::string() : found->second;
}

long StreamInfo::Number(const std::string& key) const { return std::strtol(Text(key).c_str(), nullptr, 10); }

double StreamInfo::Rate(const std::string& key) const {
    std::string text = Text(key);
    std::size_t separator = text.find_first_of("/:");
    if (separator == std::string::npos) return std::strtod(text.c_str(), nullptr);
    double denominator = std::strtod(text.c_str() + separator + 1, nullptr);
    return denominator > 0 ? std::strtod(text.c_str(), nullptr) / denominator : 0;
}

const StreamInfo* MediaInfo::First(const std::string& type) const {
    for (const StreamInfo& stream : streams)
        if (stream.Type() == type) return &stream;
    return nullptr;
}

int MediaInfo::Count(const std::string& type) const {
    int count = 0;
    for (const StreamInfo& stream : streams) count += stream.Type() == type;
    return count;
}

double MediaInfo::Duration() const {
    auto found = format.find("duration");
    return found == format.end() ? 0 : std::strtod(found->second.c_str(), nullptr);
}

MediaInfo ReadMediaInfo(const std::string& path, bool packets) {
    MediaInfo info;
    std::string flat =
        RunTool({FFPROBE_PATH, "-v", "error", "-show_streams", "-show_format", "-show_chapters", "-of", "flat", path},
                &info.error);
    if (flat.empty()) return info;
    info.readable = true;
    ReadFlat(flat, info);
    if (!packets) return info;
    ReadPackets(RunTool({FFPROBE_PATH, "-v", "error", "-show_entries",
                         "packet=stream_index,pts_time,dts_time,duration_time,size,flags", "-of", "csv=p=0", path}),
                info);
    return info;
}

int DecodedPictures(const std::string& path) {
    std::string count = RunTool({FFPROBE_PATH, "-v", "error", "-select_streams", "v:0", "-count_frames",
                                 "-show_entries", "stream=nb_read_frames", "-of", "csv=p=0", path});
    return std::atoi(count.c_str());
}

namespace {

// The mean of signalstats' YAVG over the first ten frames the graph gives.
double MeanOfFirstFrames(const std::string& graph) {
    std::string text = RunTool({FFPROBE_PATH, "-v", "error", "-f", "lavfi", "-i", graph, "-read_intervals", "%+#10",
                                "-show_entries", "frame_tags=lavfi.signalstats.YAVG", "-of", "csv=p=0"});
    std::istringstream lines(text);
    double sum = 0;
    int count = 0;
    for (std::string line; std::getline(lines, line);) {
        double value = 0;
        if (ParseTime(line, value)) sum += value, count++;
    }
    return count ? sum / count : -1;
}

// Scratch paths hold no filter metacharacters, so a path goes in as it is.
// Seeking lands on a keyframe; trimming lands on the time itself.
std::string CroppedMovie(const std::string& path, int x, int y, int width, int height, double fromSeconds,
                         bool exactly = false) {
    std::ostringstream graph;
    graph << "movie=" << path;
    if (exactly)
        graph << ",trim=start=" << fromSeconds << ",setpts=PTS-STARTPTS";
    else
        graph << ":seek_point=" << fromSeconds;
    graph << ",crop=" << width << ':' << height << ':' << x << ':' << y;
    return graph.str();
}

}  // namespace

double MeanLuma(const std::string& path, int x, int y, int width, int height, double fromSeconds, bool exactly) {
    return MeanOfFirstFrames(CroppedMovie(path, x, y, width, height, fromSeconds, exactly) + ",signalstats");
}

double LumaDifference(const std::string& path, const std::string& reference, int x, int y, int width, int height,
                      double fromSeconds) {
    return MeanOfFirstFrames(CroppedMovie(path, x, y, width, height, fromSeconds, true) + "[a];" +
                             CroppedMovie(reference, x, y, width, height, fromSeconds, true) +
                             ",format=yuv420p[b];[a][b]blend=all_mode=difference,signalstats");
}

std::string SubtitleText(const std::string& path, int track) {
    return RunTool({FFMPEG_PATH, "-nostdin", "-v", "error", "-i", path, "-map", "0:s:" + std::to_string(track), "-f",
                    "srt", "-"});
}

std::string FirstPictureSideData(const std::string& path) {
    return RunTool({FFPROBE_PATH, "-v", "error", "-select_streams", "v:0", "-read_intervals", "%+#1", "-show_entries",
                    "frame_side_data=side_data_type", "-of", "csv=p=0", path});
}

PictureArea ActivePicture(const std::string& path) {
    std::string err;
    RunTool({FFMPEG_PATH, "-nostdin", "-hide_banner", "-i", path, "-map", "0:v:0", "-vf",
             "cropdetect=limit=30:round=2:reset=0", "-f", "null", "-"},
            &err);
    const std::string marker = "crop=";
    std::size_t at = err.rfind(marker);
    PictureArea area;
    if (at != std::string::npos)
        std::sscanf(err.c_str() + at + marker.size(), "%d:%d:%d:%d", &area.width, &area.height, &area.x, &area.y);
    return area;
}

double FirstPictureDifference(const std::string& path, const std::string& reference, double referenceSeconds, int width,
                              int height) {
    const std::string first =
        "trim=end_frame=1,scale=" + std::to_string(width) + ":" + std::to_string(height) + ",format=yuv420p";
    return MeanOfFirstFrames("movie=" + path + "," + first + "[a];movie=" + reference +
                             ",setpts=PTS-STARTPTS,trim=start=" + std::to_string(referenceSeconds) +
                             ",setpts=PTS-STARTPTS," + first + "[b];[a][b]blend=all_mode=difference,signalstats");
}

double PictureSimilarity(const std::string& path, const std::string& reference, const std::string& referenceFilters) {
    std::string err;
    RunTool({FFMPEG_PATH, "-nostdin", "-hide_banner", "-i", path, "-i", reference, "-lavfi",
             "[1:v]" + referenceFilters + "[reference];[0:v][reference]ssim", "-f", "null", "-"},
            &err);
    const std::string marker = " All:";
    std::size_t at = err.rfind(marker);
    return at == std::string::npos ? 0 : std::strtod(err.c_str() + at + marker.size(), nullptr);
}

std::string DetectedFields(const std::string& path) {
    std::string err;
    RunTool({FFMPEG_PATH, "-nostdin", "-hide_banner", "-i", path, "-map", "0:v:0", "-vf", "idet", "-f", "null", "-"},
            &err);
    int tff = 0, bff = 0, progressive = 0;
    std::size_t at = err.rfind("Multi frame detection:");
    if (at == std::string::npos ||
        std::sscanf(err.c_str() + at, "Multi frame detection: TFF: %d BFF: %d Progressive: %d", &tff, &bff,
                    &progressive) != 3)
        return "";
    if (tff > bff && tff > progressive) return "tff";
    if (bff > tff && bff > progressive) return "bff";
    return progressive > 0 ? "progressive" : "";
}

std::string FieldOrderRuns(const std::string& path) {
    std::istringstream lines(RunTool({FFPROBE_PATH, "-v", "error", "-select_streams", "v:0", "-show_entries",
                                      "frame=interlaced_frame,top_field_first", "-of", "csv=p=0", path}));
    std::string runs;
    char last = 0;
    int count = 0;
    for (std::string line; std::getline(lines, line);) {
        if (line.empty()) continue;
        const char order = line[0] == '0' ? 'p' : line.find(",1") != std::string::npos ? 't' : 'b';
        if (order != last && count > 0) runs += last + std::to_string(count);
        count = order == last ? count + 1 : 1;
        last = order;
    }
    if (count > 0) runs += last + std::to_string(count);
    return runs;
}

namespace {

// The number after the last `marker` that the first sound track's `filters`
// log; `missing` when there is none.
double SoundReading(const std::string& path, const std::string& filters, const std::string& marker, double missing) {
    std::string err;
    RunTool({FFMPEG_PATH, "-nostdin", "-hide_banner", "-i", path, "-map", "0:a:0", "-af", filters, "-f", "null", "-"},
            &err);
    std::size_t at = err.rfind(marker);
    return at == std::string::npos ? missing : std::strtod(err.c_str() + at + marker.size(), nullptr);
}

}  // namespace

double MeanVolume(const std::string& path, const std::string& filters) {
    return SoundReading(path, filters + "volumedetect", "mean_volume:", 1);
}

double PeakLevel(const std::string& path) {
    return SoundReading(path, "aformat=sample_fmts=flt,astats=measure_perchannel=none:measure_overall=Peak_level",
                        "Peak level dB:", 100);
}

std::vector<double> FlashTimes(const std::string& path) {
    std::string text = RunTool({FFPROBE_PATH, "-v", "error", "-f", "lavfi", "-i", "movie=" + path + ",signalstats",
                                "-show_entries", "frame=pts_time:frame_tags=lavfi.signalstats.YAVG", "-of", "csv=p=0"});
    std::istringstream lines(text);
    std::vector<double> flashes;
    bool bright = false;
    for (std::string line; std::getline(lines, line);) {
        double time = 0, luma = 0;
        const std::size_t comma = line.find(',');
        if (comma == std::string::npos || !ParseTime(line.substr(0, comma), time) ||
            !ParseTime(line.substr(comma + 1), luma))
            continue;
        if (luma > 128 && !bright) flashes.push_back(time);
        bright = luma > 128;
    }
    return flashes;
}

std::vector<double> BeepTimes(const std::string& path) {
    std::string err;
    RunTool({FFMPEG_PATH, "-nostdin", "-hide_banner", "-i", path, "-map", "0:a:0", "-af",
             "silencedetect=noise=-30dB:duration=0.05", "-f", "null", "-"},
            &err);
    std::vector<double> beeps;
    const std::string marker = "silence_end: ";
    // The silence that ends with the file is not followed by another.
    for (std::size_t at = err.find(marker); at != std::string::npos; at = err.find(marker, at + 1))
        if (err.find("silence_start: ", at) != std::string::npos)
            beeps.push_back(std::strtod(err.c_str() + at + marker.size(), nullptr));
    return beeps;
}
