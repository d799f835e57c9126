#include "platform/TextCase.h"

namespace {

// Decodes the two-byte UTF-8 sequence at text[i] when there is one; any other byte stands for
// itself. count is the number of bytes taken.
char32_t nextCodePoint(std::string_view text, std::size_t i, std::size_t& count) {
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
    const unsigned char b0 = byte(i);
    if (b0 >= 0xC2 && b0 <= 0xDF && i + 1 < text.size() && (byte(i + 1) & 0xC0) == 0x80) {
        count = 2;
        return ((b0 & 0x1Fu) << 6) | (byte(i + 1) & 0x3Fu);
    }
    count = 1;
    return b0;
}

char32_t foldCodePoint(char32_t c) {
    if (c >= U'A' && c <= U'Z')
        return c + 32;
    // Latin-1 capitals À..Þ except the multiplication sign.
    if (c >= 0xC0 && c <= 0xDE && c != 0xD7)
        return c + 32;
    return c;
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
        if (count == 1)
            folded += lowerAscii(name[i]);
        else
            AppendUtf8(folded, foldCodePoint(c)); // a Latin-1 letter folds within its two bytes
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
