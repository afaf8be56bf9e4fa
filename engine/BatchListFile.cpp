#include "engine/BatchListFile.h"

#include "core/SettingsStore.h"
#include "protocol/RenameWithoutReplacing.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <algorithm>
#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <optional>

namespace {

using Listed = BatchListFile::Listed;

constexpr auto kVersionKey = "tarvineList";
constexpr auto kSettingsKey = "settings";
constexpr auto kSettingsBytesKey = "settingsBytes";
constexpr auto kFilesKey = "files";
constexpr auto kPathKey = "path";
constexpr auto kPathBytesKey = "pathBytes";

QString Readable(const std::string& path) {
    return QString::fromUtf8(path.data(), static_cast<qsizetype>(path.size()));
}

QString SystemReason(int error) { return QString::fromLocal8Bit(std::strerror(error)); }

bool IsUtf8(const std::string& bytes) { return Readable(bytes).toUtf8().toStdString() == bytes; }

QString Base64(const std::string& bytes) { return QString::fromLatin1(QByteArray::fromStdString(bytes).toBase64()); }

std::optional<std::string> Text(const QJsonValue& value) {
    if (!value.isString()) return std::nullopt;
    return value.toString().toStdString();
}

// Bytes in base64, as the list writes what is not UTF-8; none when malformed.
std::optional<std::string> FromBase64(const QJsonValue& value) {
    const auto decoded =
        QByteArray::fromBase64Encoding(value.toString().toLatin1(), QByteArray::AbortOnBase64DecodingErrors);
    if (!value.isString() || !decoded) return std::nullopt;
    return decoded.decoded.toStdString();
}

// ---- Writing

QJsonObject EdgesObject(const CropEdges& edges) {
    return {{"left", edges.left}, {"top", edges.top}, {"right", edges.right}, {"bottom", edges.bottom}};
}

QJsonArray NumberArray(const std::vector<int>& numbers) {
    QJsonArray array;
    for (int number : numbers) array.append(number);
    return array;
}

// A choice left at its default is left out: the batch's settings decide it.
void PutOrder(QJsonObject& file, const FileOrder& order) {
    if (order.startSeconds) file["start"] = *order.startSeconds;
    if (order.endSeconds) file["end"] = *order.endSeconds;
    if (order.crop == CropMode::Automatic) file["crop"] = "auto";
    if (order.crop == CropMode::Custom) file["crop"] = EdgesObject(order.customCrop);
    if (order.measuredCrop) {
        QJsonObject measured = EdgesObject(order.measuredCrop->edges);
        measured["agreeing"] = order.measuredCrop->agreeing;
        measured["points"] = order.measuredCrop->points;
        file["measuredCrop"] = measured;
    }
    if (order.soundTracks) file["soundTracks"] = NumberArray(*order.soundTracks);
    if (order.subtitleTracks) file["subtitleTracks"] = NumberArray(*order.subtitleTracks);
    if (order.shownSubtitle) file["shownSubtitle"] = *order.shownSubtitle;
    if (order.burnSubtitle) file["burnSubtitle"] = true;
}

// A readable text, and the exact bytes beside it when they are not UTF-8.
QJsonObject FileObject(const Listed& listed) {
    QJsonObject file{{kPathKey, Readable(listed.path)}};
    if (!IsUtf8(listed.path)) file[kPathBytesKey] = Base64(listed.path);
    PutOrder(file, listed.order);
    return file;
}

QByteArray ListJson(const ConversionSettings& settings, const std::vector<Listed>& files) {
    QJsonObject keyed;
    QJsonObject keyedBytes;  // the exact bytes of a value (a folder) that is not UTF-8
    for (const auto& [key, value] : SettingsStore::Keyed(settings)) {
        keyed[QString::fromStdString(key)] = Readable(value);
        if (!IsUtf8(value)) keyedBytes[QString::fromStdString(key)] = Base64(value);
    }
    QJsonArray listed;
    for (const Listed& file : files) listed.append(FileObject(file));
    QJsonObject list{{kVersionKey, BatchListFile::kVersion}, {kSettingsKey, keyed}, {kFilesKey, listed}};
    if (!keyedBytes.isEmpty()) list[kSettingsBytesKey] = keyedBytes;
    return QJsonDocument(list).toJson(QJsonDocument::Indented);
}

bool WriteAll(int fd, const QByteArray& data) {
    for (qsizetype written = 0; written < data.size();) {
        const ssize_t step = ::write(fd, data.constData() + written, static_cast<size_t>(data.size() - written));
        if (step < 0 && errno == EINTR) continue;
        if (step <= 0) return false;
        written += step;
    }
    return ::fsync(fd) == 0;
}

// Zero, or the errno of what failed; the temporary file never stays.
int WriteWhole(const std::string& path, const QByteArray& data, bool replace) {
    std::string temporary = path + ".XXXXXX";
    const int fd = ::mkstemp(temporary.data());
    if (fd < 0) return errno;
    bool done = WriteAll(fd, data) && ::fchmod(fd, 0644) == 0;
    int error = errno;
    done = ::close(fd) == 0 && done;
    if (done) {
        done = replace ? std::rename(temporary.c_str(), path.c_str()) == 0 : RenameWithoutReplacing(temporary, path);
        error = errno;
    }
    if (done) return 0;
    std::remove(temporary.c_str());
    return error != 0 ? error : EIO;
}

// ---- Reading

// The file's bytes, at most one more than kLargestList; a list may come
// through a pipe, so its size is not asked beforehand.
int ReadBounded(const std::string& path, QByteArray& data) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return errno;
    struct stat status {};
    if (::fstat(fd, &status) == 0 && S_ISDIR(status.st_mode)) {
        ::close(fd);
        return EISDIR;
    }
    data.resize(BatchListFile::kLargestList + 1);
    qsizetype got = 0;
    int error = 0;
    while (got < data.size()) {
        const ssize_t step = ::read(fd, data.data() + got, static_cast<size_t>(data.size() - got));
        if (step < 0 && errno == EINTR) continue;
        if (step < 0) error = errno;
        if (step <= 0) break;
        got += step;
    }
    ::close(fd);
    data.resize(got);
    return error;
}

std::optional<int> WholeNumber(const QJsonValue& value, int least) {
    const double number = value.toDouble(-1.0);
    if (!value.isDouble() || number != std::floor(number) || number < least || number > INT_MAX) return std::nullopt;
    return static_cast<int>(number);
}

bool ReadEdges(const QJsonValue& value, CropEdges& edges) {
    const QJsonObject object = value.toObject();
    std::optional<int> sides[] = {WholeNumber(object["left"], 0), WholeNumber(object["top"], 0),
                                  WholeNumber(object["right"], 0), WholeNumber(object["bottom"], 0)};
    for (const std::optional<int>& side : sides)
        if (!side) return false;
    edges = {*sides[0], *sides[1], *sides[2], *sides[3]};
    return true;
}

bool ReadSeconds(const QJsonValue& value, std::optional<double>& seconds) {
    if (!value.isDouble() || !std::isfinite(value.toDouble()) || value.toDouble() < 0) return false;
    seconds = value.toDouble();
    return true;
}

bool ReadTracks(const QJsonValue& value, std::optional<std::vector<int>>& tracks) {
    if (!value.isArray()) return false;
    std::vector<int> numbers;
    for (const QJsonValue& track : value.toArray()) {
        const std::optional<int> number = WholeNumber(track, 1);
        if (!number) return false;
        numbers.push_back(*number);
    }
    tracks = numbers;
    return true;
}

bool ReadCrop(const QJsonValue& value, FileOrder& order) {
    if (value == QJsonValue("none") || value == QJsonValue("auto")) {
        order.crop = value == QJsonValue("auto") ? CropMode::Automatic : CropMode::None;
        return true;
    }
    if (!value.isObject() || !ReadEdges(value, order.customCrop)) return false;
    order.crop = CropMode::Custom;
    return true;
}

bool ReadMeasuredCrop(const QJsonValue& value, FileOrder& order) {
    MeasuredCrop measured;
    const std::optional<int> agreeing = WholeNumber(value["agreeing"], 0);
    const std::optional<int> points = WholeNumber(value["points"], 0);
    if (!value.isObject() || !ReadEdges(value, measured.edges) || !agreeing || !points) return false;
    measured.agreeing = *agreeing;
    measured.points = *points;
    order.measuredCrop = measured;
    return true;
}

// Each choice a listed file may carry; true when its value was understood.
struct OrderKey {
    const char* key;
    bool (*read)(const QJsonValue& value, FileOrder& order);
};

constexpr OrderKey kOrderKeys[] = {
    {"start", [](const QJsonValue& v, FileOrder& o) { return ReadSeconds(v, o.startSeconds); }},
    {"end", [](const QJsonValue& v, FileOrder& o) { return ReadSeconds(v, o.endSeconds); }},
    {"crop", ReadCrop},
    {"measuredCrop", ReadMeasuredCrop},
    {"soundTracks", [](const QJsonValue& v, FileOrder& o) { return ReadTracks(v, o.soundTracks); }},
    {"subtitleTracks", [](const QJsonValue& v, FileOrder& o) { return ReadTracks(v, o.subtitleTracks); }},
    {"shownSubtitle",
     [](const QJsonValue& v, FileOrder& o) {
         o.shownSubtitle = WholeNumber(v, 1);
         return o.shownSubtitle.has_value();
     }},
    {"burnSubtitle",
     [](const QJsonValue& v, FileOrder& o) {
         o.burnSubtitle = v.toBool();
         return v.isBool();
     }},
};

// Reads one list, keeping every sentence about what it leaves out.
class ListReader {
public:
    ListReader(const std::string& path, const QJsonObject& list, BatchListFile::Opened& opened)
        : m_path(path), m_list(list), m_opened(opened) {}

    void Read() {
        const QJsonValue version = m_list[kVersionKey];
        if (version != QJsonValue(BatchListFile::kVersion))
            Tell(QStringLiteral("%1 is a list of version %2, and this Tarvine reads version %3: what it does not "
                                "understand is left out.")
                     .arg(Readable(m_path), version.isDouble() ? QString::number(version.toDouble()) : "?")
                     .arg(BatchListFile::kVersion));
        for (auto it = m_list.begin(); it != m_list.end(); ++it)
            if (!QStringList{kVersionKey, kSettingsKey, kSettingsBytesKey, kFilesKey}.contains(it.key()))
                LeftOut(QStringLiteral("\"%1\"").arg(it.key()));
        ReadSettings(kSettingsKey, false);
        ReadSettings(kSettingsBytesKey, true);
        const QJsonArray files = m_list[kFilesKey].toArray();
        for (qsizetype i = 0; i < files.size(); ++i) ReadFile(files[i], static_cast<int>(i) + 1);
    }

private:
    void Tell(const QString& sentence) { m_opened.notUnderstood << sentence; }
    void LeftOut(const QString& what) {
        Tell(QStringLiteral("In %1, %2 is not understood and is left out.").arg(Readable(m_path), what));
    }

    // With `bytes` the values are the exact bytes, in base64.
    void ReadSettings(const char* key, bool bytes) {
        const QJsonValue value = m_list[key];
        if (value.isUndefined()) return;
        if (!value.isObject()) return LeftOut(QStringLiteral("\"%1\"").arg(key));
        const QJsonObject settings = value.toObject();
        for (auto it = settings.begin(); it != settings.end(); ++it) {
            const std::optional<std::string> text = bytes ? FromBase64(it.value()) : Text(it.value());
            if (!text || !SettingsStore::SetKeyed(m_opened.settings, it.key().toStdString(), *text))
                LeftOut(QStringLiteral("the setting \"%1\"").arg(it.key()));
        }
    }

    void ReadFile(const QJsonValue& value, int number) {
        const QJsonObject file = value.toObject();
        std::optional<std::string> path = PathOf(file, number);
        if (!path) return;
        Listed listed{std::move(*path)};
        for (auto it = file.begin(); it != file.end(); ++it) {
            if (it.key() == kPathKey || it.key() == kPathBytesKey) continue;
            const auto row = std::find_if(std::begin(kOrderKeys), std::end(kOrderKeys),
                                          [&it](const OrderKey& key) { return it.key() == key.key; });
            FileOrder order = listed.order;
            if (row != std::end(kOrderKeys) && row->read(it.value(), order))
                listed.order = order;
            else
                LeftOut(QStringLiteral("\"%1\" of %2").arg(it.key(), Readable(listed.path)));
        }
        m_opened.files.push_back(std::move(listed));
    }

    // The exact bytes when the list holds them, else the text; a relative
    // path is taken from the list's folder. None, said, when there is no
    // path, or one that the system would read as a shorter one.
    std::optional<std::string> PathOf(const QJsonObject& file, int number) {
        std::string path = file[kPathKey].toString().toStdString();
        if (file.contains(kPathBytesKey)) {
            const std::optional<std::string> bytes = FromBase64(file[kPathBytesKey]);
            if (bytes && !bytes->empty())
                path = *bytes;
            else
                LeftOut(QStringLiteral("the \"%1\" of file %2").arg(kPathBytesKey).arg(number));
        }
        if (path.empty() || path.find('\0') != std::string::npos) {
            LeftOut(QStringLiteral("file %1, which names no file,").arg(number));
            return std::nullopt;
        }
        namespace fs = std::filesystem;
        if (fs::path(path).is_absolute()) return path;
        return (fs::absolute(m_path).parent_path() / path).lexically_normal().string();
    }

    const std::string& m_path;
    const QJsonObject& m_list;
    BatchListFile::Opened& m_opened;
};

}  // namespace

QString BatchListFile::Save(const std::string& path, const ConversionSettings& settings,
                            const std::vector<Listed>& files, bool replace) {
    const int error = WriteWhole(path, ListJson(settings, files), replace);
    if (error == 0) return {};
    const QString reason =
        error == EEXIST ? QStringLiteral("a file of that name is already there") : SystemReason(error);
    return QStringLiteral("The list %1 could not be saved: %2.").arg(Readable(path), reason);
}

BatchListFile::Opened BatchListFile::Open(const std::string& path, const ConversionSettings& base) {
    Opened opened{{}, base, {}, {}};
    QByteArray data;
    if (const int error = ReadBounded(path, data); error != 0) {
        opened.failure = QStringLiteral("The list %1 cannot be read: %2.").arg(Readable(path), SystemReason(error));
        return opened;
    }
    if (data.size() > kLargestList) {
        opened.failure = QStringLiteral("The list %1 is far too large for a list of files.").arg(Readable(path));
        return opened;
    }
    QJsonParseError parse{};
    const QJsonObject list = QJsonDocument::fromJson(data, &parse).object();
    if (parse.error != QJsonParseError::NoError) {
        opened.failure = QStringLiteral("%1 is no list of files: it is not JSON (%2 at byte %3).")
                             .arg(Readable(path), parse.errorString())
                             .arg(parse.offset);
    } else if (!list.contains(kVersionKey) || !list[kFilesKey].isArray()) {
        opened.failure = QStringLiteral("%1 is no Tarvine list of files.").arg(Readable(path));
    } else {
        ListReader(path, list, opened).Read();
    }
    return opened;
}
