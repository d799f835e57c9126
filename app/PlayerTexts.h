#pragma once

#include <QString>
#include <exception>
#include <string>

// Texts the window shows the player: paths spelled as the player finds them, counts, and failures.

// A path as the player finds it in a file manager: on Linux the native file the program's Windows
// path leads to in the Wine prefix (an absolute path, drive links followed); on Windows the path with
// Windows separators. A path that is already native stays as it is.
std::string ShownPath(const std::string& path);

// The failure's message, with the path of a file that could not be opened or created spelled by
// ShownPath.
QString FailureMessage(const std::exception& failure);

// A count with thousands grouped by commas, as "3,004".
QString CountText(qsizetype count);

// "1 track", "2 tracks", "3,004 tracks".
QString TracksText(qsizetype count);
