// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

// One field of a tab-separated output line, so that every record stays one line with a fixed number
// of fields whatever bytes a name holds: a backslash becomes "\\", a tab "\t", a line feed "\n", a
// carriage return "\r"; every other control character (below 0x20, and 0x7F) and every byte that is
// not part of well-formed UTF-8 becomes "\x" and two lower-case hexadecimal digits. Well-formed UTF-8
// stays as it is.
std::string EscapeField(const std::string& bytes);

// A path as a field: as EscapeField writes it, except that where the system's paths are Windows paths
// (windowsPaths) a backslash, their separator, stays one backslash, so that "C:\Games\t.env" reads as
// the path it is; such names hold no control characters, so a line stays unambiguous.
std::string EscapePathField(const std::string& path, bool windowsPaths);

// Text for a JSON string: well-formed UTF-8 as it is (the JSON writer escapes quotes, backslashes and
// control characters itself), and each byte that is not part of well-formed UTF-8 as "\x" and two
// lower-case hexadecimal digits, as EscapeField writes it.
std::string EscapeJsonText(const std::string& bytes);
