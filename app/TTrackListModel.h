// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QAbstractListModel>

#include "tracks/TrackCatalogue.h"

// The items of ActiveListBox: a TTrackList adapted to Qt's item views. The display role is the
// display name as Unicode text; the items' file names are reached through Item().
class TTrackListModel : public QAbstractListModel {
    Q_OBJECT
public:
    using QAbstractListModel::QAbstractListModel;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;

    // Rebuilds the items from an event folder in one reset. A track that cannot be read is passed over:
    // the items hold every track that can be read, and ETracksUnreadable then goes on to the caller
    // with the others (TTrackList::Fill).
    void Fill(const std::string& eventFolder);
    // Brings the items up to date with the folder they were filled from, reading only the track files
    // that are new or changed, and changing only the rows that changed (rows inserted, removed or
    // changed, so that views keep their selection and scroll position). Many changes at once, or
    // another folder, become one reset. The files news tells written are read again whatever the
    // listing says. Throws ETracksUnreadable as Fill does, after the update.
    void Update(const std::string& eventFolder, const TFolderNews& news = {});
    void Clear();
    // Replaces the items with these, in list order, in one reset.
    void Assign(std::vector<TTrackItem> items);

    const TTrackItem& Item(int row) const { return m_tracks[static_cast<std::size_t>(row)]; }
    // Writes a track's new file name into its item (after a rename) and repaints it.
    void SetFileName(int row, const std::string& fileName);

private:
    TTrackList m_tracks;
};
