// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>

// One key of a Wine registry file (a prefix's system.reg) with its values.
//
// The file is text: the line "WINE REGISTRY Version 2", then sections that begin with a key line
// ("[Software\\Vendor\\Game] 1700000000") followed by value lines ("\"Name\"=\"text\"",
// "@=str(2):\"%WINDIR%\"", "\"Bin\"=hex:01,02,\" with continuation lines). Key paths are relative to
// the root the file belongs to (HKEY_LOCAL_MACHINE for system.reg).
//
// Find reads such a file the way Wine loads it, line by line, without building the whole tree and
// without trusting anything in it:
//   - a trailing CR is dropped (CRLF files load); a NUL byte ends the line;
//   - key and value names compare without regard to letter case, and a key that appears twice is
//     merged; of a value that appears twice the last one wins;
//   - a key exists also when only its subkeys are written (Wine does not write empty keys);
//   - strings are decoded (\\ \" \n \t \r \a \b \e \f \v, \x with 1-4 hex digits for one UTF-16
//     unit, \ with 1-3 octal digits, raw UTF-8) into UTF-8 text; unpaired UTF-16 surrogates become
//     U+FFFD;
//   - a line that cannot be read is skipped as Wine skips it: a damaged key line hides the values
//     that follow it up to the next key line; a value whose name is damaged is ignored; a value
//     whose name is sound but whose data is damaged is there with no type (Wine's REG_NONE).
// FIXME: keys marked "#link" (registry symbolic links) are not followed; no game key is one.
class TRegFileKey {
public:
    enum class Type {
        String,       // REG_SZ: "..." or str:"..." or hex(1):
        ExpandString, // REG_EXPAND_SZ: str(2):"..." or hex(2):
        Other,        // every other type, and a value whose data is damaged
    };

    struct Value {
        Type DataType = Type::Other;
        // String and ExpandString: the data as UTF-8 text, cut at its first NUL. Empty otherwise.
        std::string Text;
    };

    // Looks up keyPath ("Software\\Vendor\\Game": "\"-separated, any letter case, UTF-8) in text, the
    // whole contents of a registry file. Returns the key with its values when the file holds it, or
    // nothing when it does not or when text is not a registry file (its first line is not
    // "WINE REGISTRY Version 2"). Never throws, except std::bad_alloc.
    static std::optional<TRegFileKey> Find(std::string_view text, std::string_view keyPath);

    // The value called name (UTF-8, any letter case; "" is the key's default value "@"), or null
    // when the key has no value of that name. The pointer lives as long as this object.
    const Value* FindValue(std::string_view name) const;

    int ValueCount() const { return static_cast<int>(m_values.size()); }

private:
    // Keyed by the name with its letters folded to lower case.
    std::map<std::u16string, Value> m_values;
};
