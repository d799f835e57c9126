// SPDX-License-Identifier: GPL-3.0-or-later
// Fuzz target: any text is read as a Wine registry file and keys and values are looked up in it.
// Beyond memory safety it checks what the rest of the program relies on: a string value's text is
// valid UTF-8 without NUL, and a value of another type has no text.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "platform/TRegFileKey.h"

namespace {

bool validUtf8(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size()) {
        const auto b = static_cast<unsigned char>(text[i]);
        if (b == 0)
            return false;
        int following = 0;
        std::uint32_t lowest = 0;
        if (b < 0x80) {
            ++i;
            continue;
        }
        if (b >= 0xC2 && b <= 0xDF) {
            following = 1;
            lowest = 0x80;
        } else if (b >= 0xE0 && b <= 0xEF) {
            following = 2;
            lowest = 0x800;
        } else if (b >= 0xF0 && b <= 0xF4) {
            following = 3;
            lowest = 0x10000;
        } else {
            return false;
        }
        std::uint32_t code = b & (0x7Fu >> (following + 1));
        for (int k = 1; k <= following; ++k) {
            if (i + k >= text.size() || (static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80)
                return false;
            code = (code << 6) | (static_cast<unsigned char>(text[i + k]) & 0x3Fu);
        }
        if (code < lowest || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
            return false;
        i += static_cast<std::size_t>(following) + 1;
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    static constexpr const char* keys[] = {
        "Software\\Wow6432Node\\Vuzezevev\\Vuzezevev Games\\Skarn Rally 2",
        "SOFTWARE\\Vuzezevev\\Vuzezevev Games\\Skarn Rally 2",
        "A",
        "a\\b",
    };
    static constexpr const char* names[] = {"HardDriveRootPath", "", "A", "n\"q", "\xC3\x89"};
    for (const char* key : keys) {
        const auto found = TRegFileKey::Find(text, key);
        if (!found)
            continue;
        for (const char* name : names) {
            const TRegFileKey::Value* value = found->FindValue(name);
            if (!value)
                continue;
            if (value->DataType == TRegFileKey::Type::Other ? !value->Text.empty() : !validUtf8(value->Text))
                std::abort();
        }
    }
    return 0;
}
