// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <string_view>

// Letter case, in one place. Two kinds of text fold differently:
//   - names of the file system (UTF-8), compared the way the game's file system compares them;
//   - 8-bit text of the game and the program's own words (entry names of containers, extensions,
//     registry path words), where only the ASCII letters fold.
// Callers compare or fold whole names, never single characters, so that the folding can grow
// without touching them.

// The file-system name with its letters folded for comparison, over all of Unicode with its simple
// case folding ("ИГРЫ" and "игры", "Ärger" and "ärger", "ΟΔΟΣ" and "οδος" fold alike; the final
// sigma too). Bytes that are not valid UTF-8 stay as they are and equal no letter. A folded name
// can differ in length from the name (the Kelvin sign folds to "k").
std::string FoldedName(std::string_view name);

// True when two file-system names are equal after FoldedName.
bool SameNameIgnoringCase(std::string_view a, std::string_view b);

// UTF-16 text (registry key and value names) with its letters folded as FoldedName folds them;
// unpaired surrogates stay as they are.
std::u16string FoldedUtf16(std::u16string_view text);

// text with the ASCII capitals A..Z made small and every other byte as it is.
std::string LowerAscii(std::string_view text);

// True when a and b are equal after LowerAscii.
bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b);

// Appends the UTF-8 form of the code point cp (up to U+10FFFF) to out.
void AppendUtf8(std::string& out, char32_t cp);
