// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QString>

#include "platform/TFolderNotice.h"

class QFileSystemWatcher;
class QSocketNotifier;

// Watches one folder for changes by any program: Touched() tells that something changed in it, and
// Take() which files were written, where the system tells that (TFolderNotice). Elsewhere, or when the
// system's notice cannot watch the folder, the toolkit's watcher tells that something changed, and the
// folder's listing must tell what.
class TFolderWatch : public QObject {
    Q_OBJECT
public:
    explicit TFolderWatch(QObject* parent);

    // Watches folder (an existing folder, or "" for none) instead of the one watched before.
    void Watch(const QString& folder);
    // What the notice told since the last Take: nothing when only the toolkit's watcher watches.
    TFolderNews Take() { return m_notice.Take(); }

signals:
    void Touched();

private:
    void readNotice();

    TFolderNotice m_notice;
    QSocketNotifier* m_noticeReady = nullptr;
    QFileSystemWatcher* m_watcher = nullptr; // made when the notice cannot watch
};
