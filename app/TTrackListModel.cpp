// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/TTrackListModel.h"

#include <algorithm>

#include "platform/AnsiText.h"
#include "platform/ScopeExit.h"

int TTrackListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_tracks.size());
}

QVariant TTrackListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    if (role == Qt::DisplayRole)
        return QString::fromStdString(Utf8FromAnsi(Item(index.row()).DisplayName));
    // The whole name, also when the list is too narrow for it, and the file it is read from.
    if (role == Qt::ToolTipRole)
        return QString::fromStdString(Utf8FromAnsi(Item(index.row()).DisplayName) + "\n" +
                                      Item(index.row()).FileName);
    return {};
}

void TTrackListModel::Fill(const std::string& eventFolder) {
    // The reset ends also when the fill throws: the view then shows every track that could be read.
    beginResetModel();
    const TScopeExit endReset([this] { endResetModel(); });
    m_tracks.Fill(eventFolder);
}

void TTrackListModel::Update(const std::string& eventFolder, const TFolderNews& news) {
    if (!m_tracks.Follows(eventFolder)) {
        Fill(eventFolder);
        return;
    }
    const TTrackChanges changes = m_tracks.Update(eventFolder, news);
    // Row by row, each change moves the rows after it: beyond a few, one reset costs less.
    const std::size_t fewChanges = std::max<std::size_t>(64, m_tracks.size() / 64);
    if (changes.size() > fewChanges) {
        beginResetModel();
        m_tracks.Apply(changes, nullptr);
        endResetModel();
    } else if (!changes.empty()) {
        const TTrackListEvents events{
            .removing = [this](int row) { beginRemoveRows({}, row, row); },
            .inserting = [this](int row) { beginInsertRows({}, row, row); },
            .changed =
                [this](int row) {
                    const QModelIndex at = index(row);
                    emit dataChanged(at, at);
                },
            .removed = [this] { endRemoveRows(); },
            .inserted = [this] { endInsertRows(); },
        };
        m_tracks.Apply(changes, &events);
    }
    changes.ThrowFailures();
}

void TTrackListModel::Assign(std::vector<TTrackItem> items) {
    beginResetModel();
    m_tracks.Assign(std::move(items));
    endResetModel();
}

void TTrackListModel::Clear() {
    beginResetModel();
    m_tracks.Clear();
    endResetModel();
}

void TTrackListModel::SetFileName(int row, const std::string& fileName) {
    m_tracks.Rename(static_cast<std::size_t>(row), fileName);
    const QModelIndex at = index(row);
    emit dataChanged(at, at);
}
