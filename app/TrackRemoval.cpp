#include "app/TrackRemoval.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QStorageInfo>

#include "platform/FileOps.h"
#include "platform/NativePath.h"

#ifndef _WIN32
#include <unistd.h>
#endif

namespace {

// A removal that went no further than deleting.
TRemoval deletion(const std::string& path) {
    const TFileError error = DeleteFile(path);
    if (!error.Failed())
        return {TTrackFate::Deleted, {}, {}};
    return {IsFileMissing(error) ? TTrackFate::Missing : TTrackFate::Refused, error, {}};
}

} // namespace

TRemoval RemoveTrackFile(const std::string& path) {
    const QString native = QString::fromStdString(NativePath(path));
    const QFileInfo info(native);
    // Not a file: the system's deletion of a file says why (missing, or a folder), and removes no folder.
    if (!info.isSymLink() && !info.isFile())
        return deletion(path);
    QString trashed;
    if (QFile::moveToTrash(native, &trashed))
        return {TTrackFate::Trashed, {}, trashed.toStdString()};
    // No trash on that disk, or the move was refused: a plain deletion, which fails in the second case.
    return deletion(path);
}

bool TrashTakes(const std::string& path) {
#ifdef _WIN32
    (void)path;
    return true;
#else
    // The home trash takes files of its own disk; files elsewhere go to a trash at the top of their disk,
    // which the desktop makes only where it may.
    const QString home = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    const QStorageInfo fileDisk(QFileInfo(QString::fromStdString(NativePath(path))).absolutePath());
    const QStorageInfo homeDisk(home);
    if (fileDisk.isValid() && homeDisk.isValid() && fileDisk.rootPath() == homeDisk.rootPath())
        return true;
    const QString top = fileDisk.rootPath();
    return QFileInfo(top + "/.Trash").isDir() ||
           QFileInfo(top + "/.Trash-" + QString::number(getuid())).isDir();
#endif
}

TFileError RestoreTrackFile(const std::string& trashPlace, const std::string& path) {
    const TFileError error = RenameFile(trashPlace, path);
    if (error.Failed())
        return error;
    const QFileInfo placed(QString::fromStdString(trashPlace));
    const QString info = placed.dir().absolutePath() + "/../info/" + placed.fileName() + ".trashinfo";
    if (placed.dir().dirName() == "files")
        QFile::remove(info);
    return {};
}
