// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/TrackRemoval.h"

#include "platform/FileOps.h"
#include "platform/Trash.h"

TRemoval RemoveTrackFile(const std::string& path) {
    const TTrashResult result = MoveToTrash(path, TWithoutTrash::Delete);
    switch (result.outcome) {
    case TTrashOutcome::Trashed:
        return {TTrackFate::Trashed, {}, result.trashedPath};
    case TTrashOutcome::Deleted:
        return {TTrackFate::Deleted, {}, {}};
    case TTrashOutcome::Refused:
        break;
    }
    return {IsFileMissing(result.error) ? TTrackFate::Missing : TTrackFate::Refused, result.error, {}};
}

bool TrashTakes(const std::string& path) {
    return WouldGoToTrash(path);
}

TFileError RestoreTrackFile(const std::string& trashPlace, const std::string&) {
    // The trash's record names the place the file came from, which is where Delete took it from.
    return RestoreFromTrash(trashPlace);
}
