// SPDX-License-Identifier: GPL-3.0-or-later
#include "FileOps.h"

#include <cstdint>
#include <random>
#include <string>
#include <utility>

#include "CopyFaults.h"
#include "FileOpsInternal.h"

namespace {

// 16 hexadecimal digits of value. Hex digits never spell "env", so a temporary file in an event folder
// is never taken for a track.
std::string hexOf(std::uint64_t value) {
    static const char digits[] = "0123456789abcdef";
    std::string text(16, '0');
    for (int i = 0; i < 16; ++i)
        text[static_cast<std::size_t>(i)] = digits[(value >> (4 * i)) & 0xF];
    return text;
}

bool isHex(const std::string& text, std::size_t from, std::size_t count) {
    if (text.size() < from + count)
        return false;
    for (std::size_t i = from; i < from + count; ++i) {
        const char c = text[i];
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f')))
            return false;
    }
    return true;
}

} // namespace

std::string randomHex() {
    static std::mt19937_64 generator{std::random_device{}()};
    return hexOf(generator());
}

std::string proofOf(std::uint64_t fileId) {
    // NOTE: splitmix64's finaliser, so that neighbouring file numbers give unrelated digits.
    std::uint64_t z = fileId + 0x9E3779B97F4A7C15ULL;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return hexOf(z ^ (z >> 31));
}

std::string copyTemporaryName(const std::string& hex) {
    return CopyTag + hex + ".tmp";
}

std::string trackTemporaryName(const std::string& hex, const std::string& name) {
    return TrackTag + hex + "-" + name;
}

std::string copyTemporaryDigits(const std::string& name) {
    if (name.size() != CopyNameLength || name.compare(0, CopyTagLength, CopyTag) != 0 ||
        !isHex(name, CopyTagLength, 16) || name.compare(name.size() - 4, 4, ".tmp") != 0)
        return {};
    return name.substr(CopyTagLength, 16);
}

std::pair<std::string, std::string> trackTemporaryParts(const std::string& name) {
    if (name.compare(0, TrackTagLength, TrackTag) != 0 || !isHex(name, TrackTagLength, 16) ||
        name.size() <= TrackTagLength + 17 || name[TrackTagLength + 16] != '-')
        return {};
    return {name.substr(TrackTagLength, 16), name.substr(TrackTagLength + 17)};
}

const char* const TemporaryNamePrefix = "~tm-";

TCopyResult CopyFileReplacing(const std::string& source, const std::string& destination,
                              const std::vector<TFileStamp>& keep) {
    return CopyFileReplacingWithFaults(source, destination, TCopyFaults{}, keep);
}

TCopyResult CopyFileReplacingWithFaults(const std::string& source, const std::string& destination,
                                        const TCopyFaults& faults, const std::vector<TFileStamp>& keep) {
    TPendingCopy copy(source, destination, keep, faults);
    copy.Flush();
    const TCopyResult result = copy.Place(keep);
    FlushFolderOf(destination);
    return result;
}

TDeletion DeleteFileIfUnchanged(const std::string& path, const TFileStamp& stamp) {
    return DeleteFileIfUnchangedWithFaults(path, stamp, TCopyFaults{});
}
