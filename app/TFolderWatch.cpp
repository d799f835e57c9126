// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/TFolderWatch.h"

#include <QFile>
#include <QFileSystemWatcher>
#include <QSocketNotifier>

TFolderWatch::TFolderWatch(QObject* parent) : QObject(parent) {
    if (m_notice.Available()) {
        m_noticeReady = new QSocketNotifier(m_notice.Handle(), QSocketNotifier::Read, this);
        connect(m_noticeReady, &QSocketNotifier::activated, this, &TFolderWatch::readNotice);
    }
}

void TFolderWatch::Watch(const QString& folder) {
    const bool noticed = m_notice.Watch(QFile::encodeName(folder).toStdString());
    if (!noticed && !folder.isEmpty() && !m_watcher) {
        m_watcher = new QFileSystemWatcher(this);
        connect(m_watcher, &QFileSystemWatcher::directoryChanged, this, &TFolderWatch::Touched);
    }
    if (!m_watcher)
        return;
    const QStringList watched = noticed || folder.isEmpty() ? QStringList() : QStringList{folder};
    if (m_watcher->directories() == watched)
        return;
    if (!m_watcher->directories().isEmpty())
        m_watcher->removePaths(m_watcher->directories());
    if (!watched.isEmpty())
        m_watcher->addPaths(watched);
}

void TFolderWatch::readNotice() {
    if (m_notice.ReadWaiting())
        emit Touched();
}
