// SPDX-License-Identifier: GPL-3.0-or-later
#include "TRegFileKey.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

#include "platform/TextCase.h"

namespace {

using Units = std::u16string;

// NOTE: Wine reads the file with the C library's classification in the C locale; these are its
// blank characters and hex digits, independent of the program's locale.
bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool isHexDigit(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

unsigned hexValue(char c) {
    if (c >= '0' && c <= '9')
        return static_cast<unsigned>(c - '0');
    return static_cast<unsigned>((c | 0x20) - 'a' + 10);
}

bool isOctalDigit(char c) {
    return c >= '0' && c <= '7';
}

void skipSpaces(std::string_view line, std::size_t& pos) {
    while (pos < line.size() && isSpace(line[pos]))
        ++pos;
}

// Names compare with their letters folded, as file names do.
Units folded(const Units& text) {
    return FoldedUtf16(text);
}

// Decodes the UTF-8 sequence that begins with the byte at line[pos] (>= 0x80) into out, and
// advances pos. NOTE: as in Wine, a sequence that is cut short, overlong or beyond U+10FFFF is
// dropped together with the bytes it consumed; UTF-8-encoded surrogates are taken as they are.
void decodeUtf8(std::string_view line, std::size_t& pos, Units& out) {
    const auto lead = static_cast<unsigned char>(line[pos++]);
    int following = 0;
    if (lead >= 0xC2 && lead <= 0xDF)
        following = 1;
    else if (lead >= 0xE0 && lead <= 0xEF)
        following = 2;
    else if (lead >= 0xF0 && lead <= 0xF4)
        following = 3;
    else
        return;
    static constexpr std::uint32_t lowest[4] = {0, 0x80, 0x800, 0x10000};
    std::uint32_t code = lead & (0x7Fu >> (following + 1));
    for (int i = 0; i < following; ++i) {
        if (pos >= line.size())
            return;
        const unsigned bits = static_cast<unsigned char>(line[pos]) ^ 0x80u;
        if (bits >= 0x40)
            return;
        code = (code << 6) | bits;
        ++pos;
    }
    if (code < lowest[following] || code > 0x10FFFF)
        return;
    if (code <= 0xFFFF) {
        out.push_back(static_cast<char16_t>(code));
    } else {
        code -= 0x10000;
        out.push_back(static_cast<char16_t>(0xD800 | (code >> 10)));
        out.push_back(static_cast<char16_t>(0xDC00 | (code & 0x3FF)));
    }
}

// The character of a one-letter escape (\a \b \e \f \n \r \t \v), or 0.
char16_t letterEscape(char c) {
    static constexpr std::string_view letters = "abefnrtv";
    static constexpr char16_t codes[] = {0x07, 0x08, 0x1B, 0x0C, 0x0A, 0x0D, 0x09, 0x0B};
    const std::size_t i = letters.find(c);
    return i == std::string_view::npos ? 0 : codes[i];
}

// Decodes an escaped string of the file that starts at line[pos] and ends at the first unescaped
// endChar. Returns false when the line ends first. On success pos is just past endChar. With out
// null the text is only skipped.
bool decodeEscaped(std::string_view line, std::size_t& pos, char endChar, Units* out) {
    Units scratch;
    Units& text = out ? *out : scratch;
    text.clear();
    while (pos < line.size() && line[pos] != endChar) {
        if (line[pos] == '\\') {
            ++pos;
            if (pos >= line.size())
                return false;
            const char c = line[pos];
            const char16_t simple = letterEscape(c);
            if (simple != 0) {
                text.push_back(simple);
                ++pos;
                continue;
            }
            if (c == 'x') {
                // NOTE: one to four hex digits make one UTF-16 unit; "\x" without a digit is an "x".
                ++pos;
                unsigned unit = 0;
                int digits = 0;
                while (digits < 4 && pos < line.size() && isHexDigit(line[pos])) {
                    unit = unit * 16 + hexValue(line[pos++]);
                    ++digits;
                }
                text.push_back(digits == 0 ? u'x' : static_cast<char16_t>(unit));
                continue;
            }
            if (isOctalDigit(c)) {
                unsigned unit = 0;
                int digits = 0;
                while (digits < 3 && pos < line.size() && isOctalDigit(line[pos])) {
                    unit = unit * 8 + static_cast<unsigned>(line[pos++] - '0');
                    ++digits;
                }
                text.push_back(static_cast<char16_t>(unit));
                continue;
            }
            // Any other escaped character stands for itself (\\, \", \[, \]).
        }
        if (static_cast<unsigned char>(line[pos]) < 0x80)
            text.push_back(static_cast<char16_t>(line[pos++]));
        else
            decodeUtf8(line, pos, text);
    }
    if (pos >= line.size())
        return false;
    ++pos;
    return true;
}

// What the C library's strtoul(s, &end, 16) reads at line[pos]: blanks, a sign, an optional "0x",
// hex digits. Returns false (pos unchanged) when there are no digits; saturates on overflow.
bool readUnsignedHex(std::string_view line, std::size_t& pos, std::uint64_t& value) {
    std::size_t p = pos;
    skipSpaces(line, p);
    bool negative = false;
    if (p < line.size() && (line[p] == '+' || line[p] == '-'))
        negative = line[p++] == '-';
    if (p + 2 < line.size() && line[p] == '0' && (line[p + 1] | 0x20) == 'x' && isHexDigit(line[p + 2]))
        p += 2;
    if (p >= line.size() || !isHexDigit(line[p]))
        return false;
    value = 0;
    bool overflow = false;
    while (p < line.size() && isHexDigit(line[p])) {
        if (value > (UINT64_MAX >> 4))
            overflow = true;
        value = (value << 4) | hexValue(line[p++]);
    }
    if (overflow)
        value = UINT64_MAX;
    else if (negative)
        value = 0 - value;
    pos = p;
    return true;
}

// The UTF-8 text of UTF-16 units, up to the first NUL.
std::string utf8UpToNul(const Units& units) {
    std::string out;
    out.reserve(units.size());
    for (std::size_t i = 0; i < units.size() && units[i] != 0; ++i) {
        const char16_t u = units[i];
        if (u >= 0xD800 && u <= 0xDBFF && i + 1 < units.size() && units[i + 1] >= 0xDC00 &&
            units[i + 1] <= 0xDFFF) {
            AppendUtf8(out,
                       0x10000 + ((static_cast<std::uint32_t>(u) - 0xD800) << 10) + (units[i + 1] - 0xDC00u));
            ++i;
        } else if (u >= 0xD800 && u <= 0xDFFF) {
            AppendUtf8(out, 0xFFFD);
        } else {
            AppendUtf8(out, u);
        }
    }
    return out;
}

// UTF-8 text as UTF-16 units, decoded as the file's raw text is.
Units unitsOf(std::string_view text) {
    Units out;
    std::size_t pos = 0;
    while (pos < text.size()) {
        if (static_cast<unsigned char>(text[pos]) < 0x80)
            out.push_back(static_cast<char16_t>(text[pos++]));
        else
            decodeUtf8(text, pos, out);
    }
    return out;
}

// The components of a "\"-separated key path, folded; empty components (repeated, leading or
// trailing separators) are dropped, as Wine does when it creates the key.
std::vector<Units> keyComponents(const Units& path) {
    std::vector<Units> components;
    std::size_t i = 0;
    while (i < path.size()) {
        while (i < path.size() && path[i] == u'\\')
            ++i;
        const std::size_t start = i;
        while (i < path.size() && path[i] != u'\\')
            ++i;
        if (i > start)
            components.push_back(folded(path.substr(start, i - start)));
    }
    return components;
}

enum class PathRelation { Other, Same, Below };

// How the key path of a section relates to the target key: the same key, a key below it (which
// makes the target exist), or another key.
PathRelation relate(const Units& path, const std::vector<Units>& target) {
    std::size_t i = 0;
    std::size_t matched = 0;
    while (true) {
        while (i < path.size() && path[i] == u'\\')
            ++i;
        if (i >= path.size())
            return matched == target.size() ? PathRelation::Same : PathRelation::Other;
        if (matched == target.size())
            return PathRelation::Below;
        const std::size_t start = i;
        while (i < path.size() && path[i] != u'\\')
            ++i;
        if (FoldedUtf16(std::u16string_view(path).substr(start, i - start)) != target[matched])
            return PathRelation::Other;
        ++matched;
    }
}

// The lines of the file. NOTE: Wine reads lines with fgets: a NUL byte ends the line's text, and a
// CR is dropped only directly before the LF.
class LineReader {
public:
    explicit LineReader(std::string_view text) : m_text(text) {}

    bool next(std::string_view& line) {
        if (m_pos >= m_text.size())
            return false;
        const std::size_t end = m_text.find('\n', m_pos);
        const bool hasLf = end != std::string_view::npos;
        line = m_text.substr(m_pos, (hasLf ? end : m_text.size()) - m_pos);
        m_pos = hasLf ? end + 1 : m_text.size();
        if (const std::size_t nul = line.find('\0'); nul != std::string_view::npos)
            line = line.substr(0, nul);
        else if (hasLf && !line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        return true;
    }

private:
    std::string_view m_text;
    std::size_t m_pos = 0;
};

constexpr std::uint32_t kRegSz = 1;
constexpr std::uint32_t kRegExpandSz = 2;

// The name of a value line (its leading blanks already dropped) and the "=" after it; pos is then at
// the data. False when the name cannot be read, so that Wine ignores the line.
bool readValueName(std::string_view line, std::size_t& pos, Units& name) {
    pos = 1;
    if (line[0] == '@')
        name.clear();
    else if (!decodeEscaped(line, pos, '"', &name))
        return false;
    skipSpaces(line, pos);
    if (pos >= line.size() || line[pos] != '=')
        return false;
    ++pos;
    skipSpaces(line, pos);
    return true;
}

// The registry type that the data tag at line[pos] names, pos moved past the tag; text tells whether
// a quoted string follows. Nothing for data that hold no string we read: "dword:", an unknown tag, a
// damaged "hex(...)".
std::optional<std::uint32_t> readTypeTag(std::string_view line, std::size_t& pos, bool& text) {
    const auto tagged = [&](std::string_view tag) {
        if (line.substr(pos).starts_with(tag)) {
            pos += tag.size();
            return true;
        }
        return false;
    };
    text = true;
    if (tagged("\"") || tagged("str:\""))
        return kRegSz;
    if (tagged("str(2):\""))
        return kRegExpandSz;
    if (tagged("str(7):\""))
        return 7; // REG_MULTI_SZ
    text = false;
    if (tagged("hex:"))
        return 3; // REG_BINARY
    if (tagged("hex(")) {
        std::uint64_t number = 0;
        if (!readUnsignedHex(line, pos, number))
            number = 0; // strtoul reads "hex():" as type 0
        if (!line.substr(pos).starts_with("):"))
            return std::nullopt;
        pos += 2;
        return static_cast<std::uint32_t>(number); // Wine keeps the low 32 bits
    }
    // NOTE: any text after "dword:" loads (as strtoul reads it); only the type matters here.
    return std::nullopt;
}

// Comma-separated hex bytes from line[pos]; a "\" continues them on the next line of lines (its
// leading blanks skipped). Appends them to bytes unless it is null. False when they are damaged.
bool readHexBytes(std::string_view line, LineReader& lines, std::size_t pos, std::string* bytes) {
    while (true) {
        while (pos < line.size() && isHexDigit(line[pos])) {
            std::uint64_t byte = 0;
            readUnsignedHex(line, pos, byte);
            if (byte > 0xFF)
                return false;
            if (bytes)
                bytes->push_back(static_cast<char>(byte));
            skipSpaces(line, pos);
            if (pos < line.size() && line[pos] == ',')
                ++pos;
            skipSpaces(line, pos);
        }
        skipSpaces(line, pos);
        if (pos >= line.size())
            return true;
        if (line[pos] != '\\' || !lines.next(line))
            return false;
        pos = 0;
        skipSpaces(line, pos);
    }
}

// The string a value's data hold, read from line[pos] on (and from the continuation lines of hex
// data): the units of a REG_SZ or REG_EXPAND_SZ value. Nothing for damaged data and for every other
// type, which the caller sees as a value without a type. With keep unset the data are only skipped.
std::optional<std::pair<TRegFileKey::Type, Units>> readStringData(std::string_view line, LineReader& lines,
                                                                  std::size_t pos, bool keep) {
    bool text = false;
    const std::optional<std::uint32_t> type = readTypeTag(line, pos, text);
    if (!type || (!keep && text))
        return std::nullopt; // only hex data continue on further lines
    const bool wanted = keep && (*type == kRegSz || *type == kRegExpandSz);
    Units units;
    if (text) {
        if (!decodeEscaped(line, pos, '"', wanted ? &units : nullptr))
            return std::nullopt;
    } else {
        std::string bytes;
        if (!readHexBytes(line, lines, pos, wanted ? &bytes : nullptr))
            return std::nullopt;
        // NOTE: string data in hex form is UTF-16LE; a last odd byte is no whole unit.
        for (std::size_t i = 0; i + 1 < bytes.size(); i += 2)
            units.push_back(static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                                  (static_cast<unsigned char>(bytes[i + 1]) << 8)));
    }
    if (!wanted)
        return std::nullopt;
    return std::pair(*type == kRegSz ? TRegFileKey::Type::String : TRegFileKey::Type::ExpandString,
                     std::move(units));
}

// Reads one value line (its leading blanks already dropped) and, for hex data, its continuation
// lines. Returns false when the name cannot be read, so that Wine ignores the line. Otherwise
// name holds the value's name and, when value is not null, value its type and text (Other for
// damaged data).
bool readValue(std::string_view line, LineReader& lines, Units& name, TRegFileKey::Value* value) {
    std::size_t pos = 0;
    if (!readValueName(line, pos, name))
        return false;
    const auto data = readStringData(line, lines, pos, value != nullptr);
    if (value)
        *value = data ? TRegFileKey::Value{data->first, utf8UpToNul(data->second)} : TRegFileKey::Value{};
    return true;
}

} // namespace

std::optional<TRegFileKey> TRegFileKey::Find(std::string_view text, std::string_view keyPath) {
    LineReader lines(text);
    std::string_view line;
    if (!lines.next(line) || line != "WINE REGISTRY Version 2")
        return std::nullopt;

    const std::vector<Units> target = keyComponents(unitsOf(keyPath));
    TRegFileKey key;
    bool found = false;
    bool inSection = false; // a sound key line was read: values belong to it
    bool inTarget = false;
    std::string_view arch;
    Units scratch;
    while (lines.next(line)) {
        std::size_t pos = 0;
        skipSpaces(line, pos);
        line.remove_prefix(pos);
        if (line.empty())
            continue;
        switch (line[0]) {
        case '[': {
            std::size_t end = 1;
            inSection = decodeEscaped(line, end, ']', &scratch);
            const PathRelation relation = inSection ? relate(scratch, target) : PathRelation::Other;
            inTarget = relation == PathRelation::Same;
            found = found || relation != PathRelation::Other;
            break;
        }
        case '@':
        case '"':
            if (inSection) {
                Value value;
                if (readValue(line, lines, scratch, inTarget ? &value : nullptr) && inTarget)
                    key.m_values[folded(scratch)] = std::move(value);
            }
            break;
        case '#':
            // NOTE: outside a key this is a global option. Wine stops loading the file at an unknown
            // or changed architecture; what was loaded before stays.
            if (!inSection && line.starts_with("#arch=")) {
                const std::string_view name = line.substr(6);
                if ((name != "win32" && name != "win64") || (!arch.empty() && arch != name))
                    return found ? std::optional<TRegFileKey>(std::move(key)) : std::nullopt;
                arch = name;
            }
            break;
        default:
            break; // comments (";") and unrecognised lines
        }
    }
    if (!found)
        return std::nullopt;
    return key;
}

const TRegFileKey::Value* TRegFileKey::FindValue(std::string_view name) const {
    const auto it = m_values.find(folded(unitsOf(name)));
    return it == m_values.end() ? nullptr : &it->second;
}
