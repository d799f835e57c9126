// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QFontMetrics>
#include <QObject>

#include <map>
#include <optional>
#include <vector>

class QAbstractItemModel;

// The width of the widest display name of a list model, kept as rows come and go: only the names of
// rows inserted or changed since the last question are measured, so that one change in a long list
// does not measure every name again.
class TNameWidths : public QObject {
public:
    TNameWidths(const QAbstractItemModel& model, QObject* parent);

    // The width of the widest name in metrics, 0 for an empty list. Other metrics than last time
    // measure every name again.
    int Widest(const QFontMetrics& metrics);

private:
    void forget(int first, int last);

    const QAbstractItemModel& m_model;
    std::optional<QFontMetrics> m_metrics;
    std::vector<int> m_widths;   // per row; Unmeasured until asked for
    std::map<int, int> m_counts; // width -> how many measured rows have it
    bool m_all = true;           // every row is to be measured
    bool m_some = false;         // some row is Unmeasured

    static constexpr int Unmeasured = -1;
};
