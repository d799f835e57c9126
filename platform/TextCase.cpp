// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/TextCase.h"

#include <algorithm>
#include <cstdint>
#include <iterator>

#include "platform/CaseFoldingTable.h"

namespace {

// A byte that is not part of valid UTF-8 stands for itself, kept apart from every code point.
constexpr char32_t RawByte = 0x110000;

// Decodes the UTF-8 sequence at text[i] (no overlong forms, no surrogates, nothing beyond U+10FFFF);
// any other byte comes back as RawByte + byte. count is the number of bytes taken.
char32_t nextCodePoint(std::string_view text, std::size_t i, std::size_t& count) {
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
    const unsigned char b0 = byte(i);
    count = 1;
    if (b0 < 0x80)
        return b0;
    int following = 0;
    char32_t cp = 0;
    char32_t least = 0;
    if (b0 >= 0xC2 && b0 <= 0xDF) {
        following = 1;
        cp = b0 & 0x1Fu;
        least = 0x80;
    } else if (b0 >= 0xE0 && b0 <= 0xEF) {
        following = 2;
        cp = b0 & 0x0Fu;
        least = 0x800;
    } else if (b0 >= 0xF0 && b0 <= 0xF4) {
        following = 3;
        cp = b0 & 0x07u;
        least = 0x10000;
    } else {
        return RawByte + b0;
    }
    if (i + static_cast<std::size_t>(following) >= text.size())
        return RawByte + b0;
    for (int k = 1; k <= following; ++k) {
        const unsigned char next = byte(i + static_cast<std::size_t>(k));
        if ((next & 0xC0) != 0x80)
            return RawByte + b0;
        cp = (cp << 6) | (next & 0x3Fu);
    }
    if (cp < least || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
        return RawByte + b0;
    count = static_cast<std::size_t>(following) + 1;
    return cp;
}

// The simple case folding of one code point; RawByte values and unmapped code points stay.
char32_t foldCodePoint(char32_t c) {
    if (c < 0x80)
        return c >= U'A' && c <= U'Z' ? c + 32 : c;
    if (c >= RawByte)
        return c;
    // The last run that starts at or before c.
    const auto* end = std::end(CaseFoldRuns);
    const auto* run = std::upper_bound(std::begin(CaseFoldRuns), end, c,
                                       [](char32_t cp, const TCaseFoldRun& r) { return cp < r.First; });
    if (run == std::begin(CaseFoldRuns))
        return c;
    --run;
    const char32_t offset = c - run->First;
    if (offset % run->Step != 0 || offset / run->Step >= run->Count)
        return c;
    return static_cast<char32_t>(static_cast<std::int32_t>(c) + run->Delta);
}

char lowerAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c + ('a' - 'A')) : c;
}

} // namespace

std::string FoldedName(std::string_view name) {
    std::string folded;
    folded.reserve(name.size());
    for (std::size_t i = 0; i < name.size();) {
        std::size_t count = 0;
        const char32_t c = nextCodePoint(name, i, count);
        if (c < 0x80 || c >= RawByte)
            folded += lowerAscii(name[i]);
        else
            AppendUtf8(folded, foldCodePoint(c));
        i += count;
    }
    return folded;
}

bool SameNameIgnoringCase(std::string_view a, std::string_view b) {
    std::size_t i = 0;
    std::size_t j = 0;
    while (i < a.size() && j < b.size()) {
        std::size_t takenA = 0;
        std::size_t takenB = 0;
        if (foldCodePoint(nextCodePoint(a, i, takenA)) != foldCodePoint(nextCodePoint(b, j, takenB)))
            return false;
        i += takenA;
        j += takenB;
    }
    return i == a.size() && j == b.size();
}

std::u16string FoldedUtf16(std::u16string_view text) {
    std::u16string folded;
    folded.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t c = text[i];
        const bool pair = c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
                          text[i + 1] <= 0xDFFF;
        if (pair)
            c = 0x10000 + ((c - 0xD800) << 10) + (text[++i] - 0xDC00);
        else if (c >= 0xD800 && c <= 0xDFFF)
            c = RawByte; // an unpaired surrogate: kept below as it is
        const char32_t f = c == RawByte ? c : foldCodePoint(c);
        if (f == RawByte) {
            folded += text[i];
        } else if (f >= 0x10000) {
            folded += static_cast<char16_t>(0xD800 + ((f - 0x10000) >> 10));
            folded += static_cast<char16_t>(0xDC00 + ((f - 0x10000) & 0x3FF));
        } else {
            folded += static_cast<char16_t>(f);
        }
    }
    return folded;
}

std::string LowerAscii(std::string_view text) {
    std::string lower(text);
    for (char& c : lower)
        c = lowerAscii(c);
    return lower;
}

bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (lowerAscii(a[i]) != lowerAscii(b[i]))
            return false;
    }
    return true;
}

void AppendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}
