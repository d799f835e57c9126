// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/PlayerTexts.h"

#include <QLocale>
#include <algorithm>
#include <filesystem>
#include <system_error>

#include "platform/Exceptions.h"
#include "platform/NativePath.h"
#include "platform/PathParts.h"
#include "platform/ProtectedFolder.h"
#include "tracks/TrackCatalogue.h"
#include "tracks/TrackOperations.h"

std::string ShownPath(const std::string& path) {
    return FileManagerPath(path);
}

QString FailureMessage(const std::exception& failure) {
    if (const auto* unreadable = dynamic_cast<const ETracksUnreadable*>(&failure);
        unreadable && unreadable->First()) {
        try {
            std::rethrow_exception(unreadable->First());
        } catch (const std::exception& first) {
            return FailureMessage(first) + QString::fromStdString(unreadable->MoreText());
        }
    }
    if (const auto* open = dynamic_cast<const EFOpenError*>(&failure))
        return "Cannot open file " + QString::fromStdString(ShownPath(open->Path()));
    if (const auto* folder = dynamic_cast<const EFolderMissing*>(&failure))
        return "The folder " + QString::fromStdString(ShownPath(folder->Folder())) + " does not exist";
    if (const auto* create = dynamic_cast<const EFCreateError*>(&failure)) {
        QString text = "Cannot create file " + QString::fromStdString(ShownPath(create->Path()));
        const std::string advice =
            ProtectedFolderAdvice(ShownPath(FolderPart(create->Path())), create->Error().code);
        if (!advice.empty())
            text += ": " + QString::fromStdString(advice);
        return text;
    }
    return QString::fromStdString(failure.what());
}

QString CountText(qsizetype count) {
    return QLocale(QLocale::English, QLocale::UnitedStates).toString(static_cast<qlonglong>(count));
}

QString TracksText(qsizetype count) {
    return CountText(count) + (count == 1 ? " track" : " tracks");
}

QString OutcomeText(const QString& done, qsizetype left, const QStringList& reasons) {
    if (left <= 0)
        return done;
    QString text = done + "; " + CountText(left) + (left == 1 ? " left as it was" : " left as they were");
    if (reasons.isEmpty())
        return text;
    constexpr qsizetype Named = 3;
    text += ": " + reasons.mid(0, Named).join(", ");
    if (reasons.size() > Named)
        text += " and " + CountText(reasons.size() - Named) + " more";
    return text;
}

QString ShortPath(const QString& path, qsizetype maxChars) {
    if (path.size() <= maxChars)
        return path;
    const QChar separator = path.contains('\\') && !path.startsWith('/') ? QChar('\\') : QChar('/');
    const QStringList parts = path.split(separator);
    // Kept: the root and first folder ("/home", "C:\Games"), and as many whole components from the end
    // as fit; the last one always, however long.
    const qsizetype head = std::min<qsizetype>(parts.size(), parts.value(0).isEmpty() ? 2 : 1);
    QString start = QStringList(parts.mid(0, head)).join(separator) + separator + QChar(0x2026);
    QString end;
    for (qsizetype i = parts.size() - 1; i >= head; --i) {
        const QString next = separator + parts[i] + end;
        if (!end.isEmpty() && start.size() + next.size() > maxChars)
            break;
        if (i == head)
            return path;
        end = next;
    }
    if (parts.back().isEmpty() && end == QString(separator)) // a folder: its own name too
        end = separator + parts[parts.size() - 2] + separator;
    return start + end;
}

namespace {

bool isRename(TTrackOperation operation) {
    return operation == TTrackOperation::Start || operation == TTrackOperation::Stop ||
           operation == TTrackOperation::Toggle;
}

// The verb for a track done: "started", "stored", "moved to the trash".
QString doneVerb(const TOperationReport& report, const TTrackOutcome& track) {
    switch (report.Operation) {
    case TTrackOperation::Start:
        return "started";
    case TTrackOperation::Stop:
        return "stopped";
    case TTrackOperation::Toggle:
        return IsInactiveTrack(track.Result) ? "stopped" : "started";
    case TTrackOperation::Store:
        return "stored";
    case TTrackOperation::Fetch:
        return "fetched";
    case TTrackOperation::Delete:
        return track.Fate == TTrackFate::Trashed ? "moved to the trash" : "deleted";
    case TTrackOperation::Undo:
        return "put back";
    }
    return {};
}

bool isDone(TTrackFate fate) {
    return fate == TTrackFate::Done || fate == TTrackFate::Trashed || fate == TTrackFate::Deleted ||
           fate == TTrackFate::SourceStayed;
}

QString fromStd(const std::string& text) {
    return QString::fromStdString(text);
}

// Why a track was left as it was, or what else the player should know of it; "" when nothing.
QString whyLeft(const TOperationReport& report, const TTrackOutcome& track, const QString& name) {
    switch (track.Fate) {
    case TTrackFate::AlreadySo:
        if (report.Operation == TTrackOperation::Fetch)
            return name + " is there already";
        return name + (IsInactiveTrack(track.Track) ? " is inactive already" : " is active already");
    case TTrackFate::TargetExists:
        if (report.Operation == TTrackOperation::Undo)
            return name + ": " + fromStd(track.Other) + " is taken now";
        if (report.Operation == TTrackOperation::Fetch)
            return name + " not fetched: " + fromStd(track.Other) + " is the same track, " +
                   (IsInactiveTrack(track.Other) ? "stopped" : "started");
        return name + ": " + fromStd(track.Other) + " exists";
    case TTrackFate::Missing:
        return name + " is missing";
    case TTrackFate::Refused: {
        if (!track.Message.empty())
            return name + ": " + fromStd(track.Message);
        // A refusal under Program Files says what it means and what to do, not only the system's words.
        const std::string advice = ProtectedFolderAdvice(ShownPath(track.Folder), track.Error.code);
        return name + ": " + (advice.empty() ? fromStd(SystemErrorText(track.Error.code)) : fromStd(advice));
    }
    case TTrackFate::SourceStayed:
        return name + " is still in the game too" +
               (track.Error.Failed() ? ": " + fromStd(SystemErrorText(track.Error.code)) : QString());
    default:
        return {};
    }
}

// "Alpha stopped", "3 tracks stopped", "2 tracks started, 1 stopped", "1 track moved to the trash, 1
// deleted".
QString doneText(const TOperationReport& report, const QStringList& names) {
    QStringList verbs;
    std::vector<qsizetype> counts;
    qsizetype done = 0;
    qsizetype single = -1;
    for (std::size_t i = 0; i < report.Tracks.size(); ++i) {
        const TTrackOutcome& track = report.Tracks[i];
        if (!isDone(track.Fate))
            continue;
        const QString verb = doneVerb(report, track);
        const qsizetype at = verbs.indexOf(verb);
        if (at < 0) {
            verbs.push_back(verb);
            counts.push_back(1);
        } else {
            ++counts[static_cast<std::size_t>(at)];
        }
        ++done;
        single = static_cast<qsizetype>(i);
    }
    if (done == 1)
        return names.value(single) + " " + verbs[0];
    QString text = TracksText(counts[0]) + " " + verbs[0];
    for (qsizetype i = 1; i < verbs.size(); ++i)
        text += ", " + CountText(counts[static_cast<std::size_t>(i)]) + " " + verbs[i];
    return text;
}

QString pastVerb(TTrackOperation operation) {
    switch (operation) {
    case TTrackOperation::Start:
        return "started";
    case TTrackOperation::Stop:
        return "stopped";
    case TTrackOperation::Toggle:
        return "switched";
    case TTrackOperation::Store:
        return "stored";
    case TTrackOperation::Fetch:
        return "fetched";
    case TTrackOperation::Delete:
        return "deleted";
    case TTrackOperation::Undo:
        return "put back";
    }
    return {};
}

QString failureText(const std::exception_ptr& failure) {
    try {
        std::rethrow_exception(failure);
    } catch (const std::exception& e) {
        return FailureMessage(e);
    } catch (...) {
        return "failed";
    }
}

} // namespace

QString OperationStatus(const TOperationReport& report, const QStringList& names, const QString& where) {
    const auto total = static_cast<qsizetype>(report.Tracks.size());
    qsizetype done = 0;
    qsizetype replaced = 0;
    QStringList reasons;
    for (std::size_t i = 0; i < report.Tracks.size(); ++i) {
        const TTrackOutcome& track = report.Tracks[i];
        done += isDone(track.Fate) ? 1 : 0;
        replaced += track.Replaced ? 1 : 0;
        if (!isDone(track.Fate) && track.Fate != TTrackFate::Cancelled)
            reasons.push_back(whyLeft(report, track, names.value(static_cast<qsizetype>(i))));
    }
    const QString verb = pastVerb(report.Operation);
    if (report.CancelledCount > 0)
        return "Cancelled: " + CountText(done) + " of " + CountText(total) + " " + verb;
    if (report.Failure)
        return "Failed: " + CountText(done) + " of " + CountText(total) + " " + verb + where + "; " +
               failureText(report.Failure);
    QString text;
    if (done == 0) {
        text = reasons.isEmpty() ? "Nothing " + verb : (total == 1 ? QString() : "Nothing " + verb + ": ");
        constexpr qsizetype Named = 3;
        text += reasons.mid(0, Named).join(", ");
        if (reasons.size() > Named)
            text += " and " + CountText(reasons.size() - Named) + " more";
        return text;
    }
    text = doneText(report, names) + where;
    if (replaced > 0)
        text += replaced == 1 ? ", replacing an older copy"
                              : ", replacing " + CountText(replaced) + " older copies";
    const qsizetype left = total - done;
    // The tracks whose files could not be deleted, grouped by why: "Alpha, Bravo (Read-only file system)".
    QStringList why;
    QList<QStringList> stayed;
    for (std::size_t i = 0; i < report.Tracks.size(); ++i) {
        const TTrackOutcome& track = report.Tracks[i];
        if (track.Fate != TTrackFate::SourceStayed)
            continue;
        const QString reason = fromStd(SystemErrorText(track.Error.code));
        if (!why.contains(reason)) {
            why.push_back(reason);
            stayed.push_back({});
        }
        stayed[why.indexOf(reason)].push_back(names.value(static_cast<qsizetype>(i)));
    }
    QStringList groups;
    qsizetype stayedCount = 0;
    for (qsizetype i = 0; i < why.size(); ++i) {
        groups.push_back(stayed[i].join(", ") + (why[i].isEmpty() ? QString() : " (" + why[i] + ")"));
        stayedCount += stayed[i].size();
    }
    // The count comes early, so that a narrow bar still shows that not all went.
    if (!groups.isEmpty())
        text += "; " + CountText(stayedCount) + " still in the game too, not deleted: " + groups.join(", ");
    return OutcomeText(text, left, reasons);
}

QString OperationReport(const TOperationReport& report, const QStringList& names, const QString& where) {
    QString text = OperationStatus(report, names, where) + "\n";
    for (std::size_t i = 0; i < report.Tracks.size(); ++i) {
        const TTrackOutcome& track = report.Tracks[i];
        const QString name = names.value(static_cast<qsizetype>(i));
        const QString file =
            fromStd(report.Operation == TTrackOperation::Fetch ? ShownPath(track.Track) : track.Track);
        QString fate;
        if (isDone(track.Fate)) {
            fate = doneVerb(report, track);
            if (!track.Result.empty() && report.Operation != TTrackOperation::Delete)
                fate += isRename(report.Operation) || report.Operation == TTrackOperation::Undo
                            ? ": now " + fromStd(track.Result)
                            : ": " + fromStd(ShownPath(track.Result));
            else if (track.Fate == TTrackFate::Trashed && !track.Result.empty())
                fate += ": " + fromStd(track.Result);
            if (track.Replaced)
                fate += track.Other.empty() ? QString(", replacing an older copy")
                                            : ", replacing " + fromStd(track.Other);
            if (track.Fate == TTrackFate::SourceStayed)
                fate += ";" + whyLeft(report, track, {});
        } else if (track.Fate == TTrackFate::Cancelled) {
            fate = report.Failure ? "not reached: the operation failed before it" : "cancelled before it";
        } else {
            QString why = whyLeft(report, track, {});
            why.remove(0, why.startsWith(": ") ? 2 : why.startsWith(' ') ? 1 : 0);
            fate = "left as it was (" + why + ")";
        }
        text += "\n" + (name == file || name.isEmpty() ? file : name + " (" + file + ")") + " - " + fate;
    }
    return text;
}
