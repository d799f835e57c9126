// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/AnsiText.h"

#include <array>
#include <cstdint>
#include <initializer_list>

#include "platform/TextCase.h"

namespace {

// Unicode code points of the bytes 0x80..0x9F in Windows-1252.
constexpr char16_t HighControls[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

std::uint8_t foldAnsi(std::uint8_t c) {
    if ((c >= 'A' && c <= 'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7))
        return static_cast<std::uint8_t>(c + 0x20);
    switch (c) {
    case 0x8A: // S caron
    case 0x8C: // OE
    case 0x8E: // Z caron
        return static_cast<std::uint8_t>(c + 0x10);
    case 0x9F: // Y diaeresis
        return 0xFF;
    default:
        return c;
    }
}

// A Windows-1252 byte as the base letters it sorts as: small letters without accents, one or two of
// them; every other byte stands for itself.
struct TBaseLetters {
    char first;
    char second; // 0 when there is one
};

constexpr std::array<TBaseLetters, 256> BaseLetterTable = [] {
    std::array<TBaseLetters, 256> table{};
    for (int c = 0; c < 256; ++c)
        table[c] = {static_cast<char>(c), 0};
    for (int c = 'A'; c <= 'Z'; ++c)
        table[c] = {static_cast<char>(c + 0x20), 0};
    const auto set = [&](std::initializer_list<int> bytes, char first, char second = 0) {
        for (const int c : bytes)
            table[c] = {first, second};
    };
    set({0xC0, 0xC1, 0xC2, 0xC3, 0xC4, 0xC5, 0xE0, 0xE1, 0xE2, 0xE3, 0xE4, 0xE5}, 'a');
    set({0xC6, 0xE6}, 'a', 'e');
    set({0xC7, 0xE7}, 'c');
    set({0xD0, 0xF0}, 'd');
    set({0xC8, 0xC9, 0xCA, 0xCB, 0xE8, 0xE9, 0xEA, 0xEB}, 'e');
    set({0x83}, 'f');
    set({0xCC, 0xCD, 0xCE, 0xCF, 0xEC, 0xED, 0xEE, 0xEF}, 'i');
    set({0xD1, 0xF1}, 'n');
    set({0xD2, 0xD3, 0xD4, 0xD5, 0xD6, 0xD8, 0xF2, 0xF3, 0xF4, 0xF5, 0xF6, 0xF8}, 'o');
    set({0x8C, 0x9C}, 'o', 'e');
    set({0x8A, 0x9A}, 's');
    set({0xDF}, 's', 's');
    set({0xD9, 0xDA, 0xDB, 0xDC, 0xF9, 0xFA, 0xFB, 0xFC}, 'u');
    set({0xDD, 0xFD, 0xFF, 0x9F}, 'y');
    set({0x8E, 0x9E}, 'z');
    // Thorn has no base letter; both cases sort as the small one, after z.
    set({0xDE, 0xFE}, static_cast<char>(0xFE));
    return table;
}();

// Reads a text as its base letters, one at a time.
class TBaseLetterReader {
public:
    TBaseLetterReader(std::string_view text, std::size_t from) : m_text(text), m_at(from) {}
    // The next base letter as 0..255, or -1 at the end.
    int next() {
        if (m_pending != 0) {
            const int c = static_cast<std::uint8_t>(m_pending);
            m_pending = 0;
            return c;
        }
        if (m_at == m_text.size())
            return -1;
        const TBaseLetters letters = BaseLetterTable[static_cast<std::uint8_t>(m_text[m_at++])];
        m_pending = letters.second;
        return static_cast<std::uint8_t>(letters.first);
    }

private:
    std::string_view m_text;
    std::size_t m_at;
    char m_pending = 0;
};

} // namespace

int CompareAnsiNames(std::string_view a, std::string_view b) {
    // Equal beginnings read as equal letters: start where the bytes first differ.
    std::size_t same = 0;
    const std::size_t n = a.size() < b.size() ? a.size() : b.size();
    while (same < n && a[same] == b[same])
        ++same;
    TBaseLetterReader x(a, same);
    TBaseLetterReader y(b, same);
    for (;;) {
        const int cx = x.next();
        const int cy = y.next();
        if (cx != cy)
            return cx < cy ? -1 : 1;
        if (cx < 0)
            break;
    }
    return CompareAnsiIgnoringCase(a, b);
}

std::string Utf8FromAnsi(std::string_view ansi) {
    std::string out;
    out.reserve(ansi.size());
    for (const char ch : ansi) {
        const auto c = static_cast<std::uint8_t>(ch);
        if (c >= 0x80 && c < 0xA0)
            AppendUtf8(out, HighControls[c - 0x80]);
        else
            AppendUtf8(out, c);
    }
    return out;
}

int CompareAnsiIgnoringCase(std::string_view a, std::string_view b) {
    const std::size_t n = a.size() < b.size() ? a.size() : b.size();
    for (std::size_t i = 0; i < n; ++i) {
        if (a[i] == b[i])
            continue; // names share long beginnings: fold only where the bytes differ
        const int x = foldAnsi(static_cast<std::uint8_t>(a[i]));
        const int y = foldAnsi(static_cast<std::uint8_t>(b[i]));
        if (x != y)
            return x - y;
    }
    return a.size() < b.size() ? -1 : a.size() > b.size() ? 1 : 0;
}
