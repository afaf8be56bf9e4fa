#include "DiscStructure.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <span>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr std::uint8_t kPackStart[] = {0x00, 0x00, 0x01, 0xBA};
constexpr std::uint8_t kSequenceStart[] = {0x00, 0x00, 0x01, 0xB3};
// The user data an SVCD encoder leaves for the player's scan offsets.
constexpr std::uint8_t kScanOffsetStart[] = {0x00, 0x00, 0x01, 0xB2, 0x10, 0x0E};

Bytes ReadAll(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

bool StartsWith(const Bytes& bytes, std::size_t at, std::span<const std::uint8_t> pattern) {
    return at + pattern.size() <= bytes.size() && std::equal(pattern.begin(), pattern.end(), bytes.begin() + at);
}

// The mux rate of the pack header at `at`, in bit/s; MPEG-1 and MPEG-2
// packs keep the 22-bit rate (in units of 50 bytes/s) in different places.
long MuxRate(const Bytes& bytes, std::size_t at, bool mpeg2) {
    if (at + 14 > bytes.size()) return -1;
    const std::uint8_t* h = bytes.data() + at;
    long units =
        mpeg2 ? (h[10] << 14) | (h[11] << 6) | (h[12] >> 2) : ((h[9] & 0x7F) << 15) | (h[10] << 7) | (h[11] >> 1);
    return units * 50 * 8;
}

// The VCD standard pads with sectors of zeros rather than padding packs.
bool IsZeroSector(const Bytes& bytes, std::size_t at, std::size_t sector) {
    return std::all_of(bytes.begin() + at, bytes.begin() + at + sector, [](std::uint8_t b) { return b == 0; });
}

bool IsMpeg2Pack(const Bytes& bytes, std::size_t at) { return (bytes[at + 4] >> 6) == 1; }

double FirstTime(const MediaInfo& info) {
    double first = 1e9;
    for (const StreamInfo& stream : info.streams)
        if (stream.packets) first = std::min(first, stream.firstTime);
    return first;
}

}  // namespace

void CheckDiscStructure(const std::string& path, const MediaInfo& info, DiscProfile profile) {
    const std::size_t sector = profile == DiscProfile::Dvd ? 2048 : 2324;
    const bool mpeg2 = profile != DiscProfile::Vcd;
    const long expectedRate = profile == DiscProfile::Vcd ? 1411200 : profile == DiscProfile::Dvd ? 10080000 : 0;
    Bytes bytes = ReadAll(path);
    ASSERT_FALSE(bytes.empty());
    EXPECT_EQ(bytes.size() % sector, 0u) << "the file is not whole " << sector << "-byte sectors";

    std::size_t misplaced = 0, wrongKind = 0, wrongRate = 0, firstBad = 0;
    for (std::size_t at = 0; at + sector <= bytes.size(); at += sector) {
        bool bad = false;
        if (profile == DiscProfile::Vcd && IsZeroSector(bytes, at, sector)) continue;
        if (!StartsWith(bytes, at, kPackStart)) {
            bad = true, misplaced++;
        } else {
            if (IsMpeg2Pack(bytes, at) != mpeg2) bad = true, wrongKind++;
            if (expectedRate && MuxRate(bytes, at, mpeg2) != expectedRate) bad = true, wrongRate++;
        }
        if (bad && !firstBad) firstBad = at + 1;
    }
    EXPECT_EQ(misplaced, 0u) << "sectors that do not begin with a pack header; first bad sector at byte "
                             << (firstBad ? firstBad - 1 : 0);
    EXPECT_EQ(wrongKind, 0u) << (mpeg2 ? "MPEG-1 packs in an MPEG-2 profile" : "MPEG-2 packs in the VCD profile");
    EXPECT_EQ(wrongRate, 0u) << "packs whose mux rate is not " << expectedRate << " (the first reads "
                             << MuxRate(bytes, 0, mpeg2) << ")";

    if (profile == DiscProfile::Vcd) {
        // A preload of 0.44 s puts the first timestamp just after 0.44 s.
        double first = FirstTime(info);
        EXPECT_GE(first, 0.40) << "VCD preload";
        EXPECT_LT(first, 0.50) << "VCD preload";
    }
    if (profile == DiscProfile::Svcd) {
        EXPECT_NE(std::search(bytes.begin(), bytes.end(), std::begin(kScanOffsetStart), std::end(kScanOffsetStart)),
                  bytes.end())
            << "no scan-offset user data in the SVCD video";
    }
}

void CheckSequenceHeader(const std::string& path, int maxRateKbit, int bufferKbit, DiscProfile profile) {
    Bytes bytes = ReadAll(path);
    auto found = std::search(bytes.begin(), bytes.end(), std::begin(kSequenceStart), std::end(kSequenceStart));
    ASSERT_LE(found + 12, bytes.end()) << "no MPEG video sequence header";
    const std::uint8_t* h = &*found;
    long bitRateUnits = (h[8] << 10) | (h[9] << 2) | (h[10] >> 6);  // 400 bit/s each
    long bufferUnits = ((h[10] & 0x1F) << 5) | (h[11] >> 3);        // 16 kbit (16384 bits) each
    EXPECT_NEAR(bitRateUnits * 400.0 / (maxRateKbit * 1000.0), 1.0, 0.03)
        << "sequence header bit rate " << bitRateUnits * 400 << " bit/s for a maximum of " << maxRateKbit << " kbit/s";
    EXPECT_NEAR(bufferUnits * 16384.0 / (bufferKbit * 1000.0), 1.0, 0.05)
        << "VBV buffer of " << bufferUnits << " x 16 kbit for " << bufferKbit << " kbit";
    if (profile == DiscProfile::Vcd) {
        EXPECT_LE(bufferUnits, 20) << "a VCD player's buffer holds 40 KB";
    }
}
