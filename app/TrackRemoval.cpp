#include "app/TrackRemoval.h"

TTrashResult RemoveTrackFile(const std::string& path) {
    return MoveToTrash(path, TWithoutTrash::Delete);
}
