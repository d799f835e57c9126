#include "app/TrackRemoval.h"

#include <QFile>
#include <QFileInfo>

#include "platform/FileOps.h"
#include "platform/NativePath.h"

TRemoval RemoveTrackFile(const std::string& path) {
    const QString native = QString::fromStdString(NativePath(path));
    const QFileInfo info(native);
    if (!info.isSymLink() && !info.isFile())
        return TRemoval::Failed;
    if (QFile::moveToTrash(native))
        return TRemoval::Trashed;
    // No trash on that disk, or the move was refused: a plain deletion, which fails in the second case.
    return DeleteFile(path) ? TRemoval::Deleted : TRemoval::Failed;
}
