// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <string_view>

// The game's texts (display names in scene descriptors) are 8-bit ANSI, Windows-1252. The program
// shows them as Unicode; these convert them.

// UTF-8 text for Windows-1252 bytes. The five bytes that Windows-1252 leaves unassigned (0x81, 0x8D,
// 0x8F, 0x90, 0x9D) map to the C1 controls of the same number, as Windows does.
std::string Utf8FromAnsi(std::string_view ansi);

// Orders two Windows-1252 texts without regard to letter case: ASCII letters and the accented
// letters of Windows-1252 fold to small letters, then the bytes compare unsigned. Blanks and
// punctuation count; no locale is consulted, so the order is the same on every machine.
// Returns <0, 0 or >0.
int CompareAnsiIgnoringCase(std::string_view a, std::string_view b);

// Orders two Windows-1252 texts as a sorted list box does under a Western locale, without consulting
// the machine's locale: letters with accents sort with their base letters ("\xC4lpler" with the A's,
// "\xC9tape" with the E's), ligatures as their two letters ("\xC6" as "ae", "\xDF" as "ss"), letter
// case ignored. Texts equal so far are ordered by CompareAnsiIgnoringCase, which puts a plain letter
// before its accented forms. Returns <0, 0 or >0.
int CompareAnsiNames(std::string_view a, std::string_view b);
