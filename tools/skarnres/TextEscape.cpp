// SPDX-License-Identifier: GPL-3.0-or-later
#include "TextEscape.h"

#include <cstddef>
#include <cstdint>

namespace {

// The length of the well-formed UTF-8 sequence at text[at], or 0 when none starts there (overlong
// forms, surrogates and values beyond U+10FFFF are not well-formed).
std::size_t utf8Length(const std::string& text, std::size_t at) {
    const auto byte = [&](std::size_t i) { return static_cast<std::uint8_t>(text[i]); };
    const std::uint8_t lead = byte(at);
    std::size_t length = 0;
    std::uint8_t low = 0x80;
    std::uint8_t high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        low = lead == 0xE0 ? 0xA0 : 0x80;
        high = lead == 0xED ? 0x9F : 0xBF;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    } else {
        return 0;
    }
    if (text.size() - at < length)
        return 0;
    // The second byte has the narrowed range; the others any continuation byte.
    if (byte(at + 1) < low || byte(at + 1) > high)
        return 0;
    for (std::size_t i = 2; i < length; ++i) {
        if (byte(at + i) < 0x80 || byte(at + i) > 0xBF)
            return 0;
    }
    return length;
}

// Appends the bytes at bytes[i]: a well-formed UTF-8 sequence as it is, any other byte as "\xHH". Returns
// how many bytes it took.
std::size_t appendUtf8OrHex(const std::string& bytes, std::size_t i, std::string& out) {
    static const char hex[] = "0123456789abcdef";
    const auto c = static_cast<std::uint8_t>(bytes[i]);
    if (const std::size_t length = c >= 0x80 ? utf8Length(bytes, i) : 0; length > 0) {
        out.append(bytes, i, length);
        return length;
    }
    out += "\\x";
    out += hex[c >> 4];
    out += hex[c & 0xF];
    return 1;
}

} // namespace

std::string EscapeField(const std::string& bytes) {
    return EscapePathField(bytes, false);
}

std::string EscapePathField(const std::string& bytes, bool windowsPaths) {
    std::string out;
    out.reserve(bytes.size());
    for (std::size_t i = 0; i < bytes.size();) {
        const auto c = static_cast<std::uint8_t>(bytes[i]);
        if (c == '\\' && windowsPaths) {
            out += '\\';
            ++i;
        } else if (c == '\\' || c == '\t' || c == '\n' || c == '\r') {
            out += '\\';
            out += c == '\\' ? '\\' : c == '\t' ? 't' : c == '\n' ? 'n' : 'r';
            ++i;
        } else if (c >= 0x20 && c < 0x7F) {
            out += static_cast<char>(c);
            ++i;
        } else {
            i += appendUtf8OrHex(bytes, i, out);
        }
    }
    return out;
}

std::string EscapeJsonText(const std::string& bytes) {
    std::string out;
    out.reserve(bytes.size());
    for (std::size_t i = 0; i < bytes.size();) {
        if (static_cast<std::uint8_t>(bytes[i]) < 0x80)
            out += bytes[i++];
        else
            i += appendUtf8OrHex(bytes, i, out);
    }
    return out;
}
