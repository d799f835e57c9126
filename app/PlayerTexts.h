// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>
#include <exception>
#include <string>

#include "tracks/TrackOutcome.h"

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

// path shortened in the middle to about maxChars characters, whole components kept at both ends:
// "/home/player/games/archives/Arch3000/" -> "/home/…/Arch3000/". A short path stays as it is.
QString ShortPath(const QString& path, qsizetype maxChars = 36);

// The status after an operation, its outcome first: "Alpha stopped", "2 tracks stored in /home/…/archive/",
// "Cancelled: 2,176 of 3,000 stored", "Nothing stopped: Bravo is inactive already", and, when tracks
// were left as they were, how many and why: "1 track stopped; 2 left as they were: Bravo is inactive
// already, Delta: d.~env exists". names: the tracks' names for the player (display names), one per
// track of the report; where: what follows the verb (" in /home/…/archive/", " into Baja").
QString OperationStatus(const TOperationReport& report, const QStringList& names, const QString& where);

// The operation's full report: its status, then one line per track with its fate and why.
QString OperationReport(const TOperationReport& report, const QStringList& names, const QString& where);
