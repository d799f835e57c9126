#pragma once

#include <QString>
#include <QStringList>
#include <exception>
#include <string>

// Texts the window shows the player: paths spelled as the player finds them, counts, and failures.

// A path as the player finds it in a file manager: on Linux the native file the program's Windows
// path leads to in the Wine prefix (an absolute path, drive links followed); on Windows the path with
// Windows separators. A path that is already native stays as it is.
std::string ShownPath(const std::string& path);

// The failure's message, with the path of a file that could not be opened or created spelled by
// ShownPath; a file that a protected folder refused to create is followed by what that means and what
// to do (ProtectedFolderAdvice).
QString FailureMessage(const std::exception& failure);

// A count with thousands grouped by commas, as "3,004".
QString CountText(qsizetype count);

// "1 track", "2 tracks", "3,004 tracks".
QString TracksText(qsizetype count);

// The status after an operation on tracks: done (as "2 tracks stopped"), followed, when tracks were
// left as they were, by how many and why: "2 tracks stopped; 1 left as it was: t.~env exists". Of many
// reasons the first three are named.
QString OutcomeText(const QString& done, qsizetype left, const QStringList& reasons);

// Why eventFolder + fileName could not be renamed to newName: "t.~env exists", "t.env is missing",
// or "t.env could not be renamed" (locked, or rights refused).
QString WhyNotRenamed(const std::string& eventFolder, const std::string& fileName,
                      const std::string& newName);

// Why path could not be deleted: "t.env is missing" or "t.env could not be deleted".
QString WhyNotDeleted(const std::string& path);
