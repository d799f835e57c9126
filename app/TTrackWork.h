// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QString>
#include <functional>

#include "tracks/TrackOutcome.h"

class QLabel;
class QWidget;

// One operation on many tracks (Start, Stop, Store, Fetch, Delete). Between tracks it keeps the window
// painting, shows "Storing 120 of 3,004 (Esc cancels)" in the status bar once the work has run for an
// interval, and lets the player cancel with Escape or by closing the window. The track in hand is
// always finished: a cancel takes effect before the next one. While it runs, other input is held back,
// so nothing changes the list or starts a second operation under it.
class TTrackWork : public QObject {
public:
    // verb: "Storing", "Deleting"... total: the number of tracks. Every intervalMs milliseconds the
    // status and onShown(done, total) are updated and pending events handled.
    TTrackWork(QLabel& status, const QString& verb, qsizetype total, int intervalMs,
               std::function<void(qsizetype, qsizetype)> onShown = {});
    ~TTrackWork() override;
    TTrackWork(const TTrackWork&) = delete;
    TTrackWork& operator=(const TTrackWork&) = delete;

    // Called before the track at index (0-based): false once the player has cancelled.
    bool proceed(qsizetype index);
    bool cancelled() const { return m_cancelled; }
    // proceed as the operations of tracks/ ask it, before each track. Their count of tracks is the one
    // shown: a Fetch knows the tracks of its archives only once it has read them.
    TProgress progress() {
        return [this](std::size_t index, std::size_t total) {
            m_total = static_cast<qsizetype>(total);
            return proceed(static_cast<qsizetype>(index));
        };
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QLabel& m_status;
    QString m_verb;
    qsizetype m_total;
    int m_intervalMs;
    std::function<void(qsizetype, qsizetype)> m_onShown;
    QElapsedTimer m_sincePump;
    bool m_cancelled = false;
    QPointer<QWidget> m_closing; // the window the player asked to close, closed once the work ends
};
