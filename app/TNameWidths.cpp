// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/TNameWidths.h"

#include <QAbstractItemModel>

TNameWidths::TNameWidths(const QAbstractItemModel& model, QObject* parent) : QObject(parent), m_model(model) {
    const auto all = [this] { m_all = true; };
    connect(&model, &QAbstractItemModel::modelReset, this, all);
    connect(&model, &QAbstractItemModel::layoutChanged, this, all);
    connect(&model, &QAbstractItemModel::rowsMoved, this, all);
    connect(&model, &QAbstractItemModel::rowsInserted, this,
            [this](const QModelIndex& parent, int first, int last) {
                if (m_all || parent.isValid())
                    return;
                m_widths.insert(m_widths.begin() + first, static_cast<std::size_t>(last - first) + 1,
                                Unmeasured);
                m_some = true;
            });
    connect(&model, &QAbstractItemModel::rowsAboutToBeRemoved, this,
            [this](const QModelIndex& parent, int first, int last) {
                if (m_all || parent.isValid())
                    return;
                forget(first, last);
                m_widths.erase(m_widths.begin() + first, m_widths.begin() + last + 1);
            });
    connect(&model, &QAbstractItemModel::dataChanged, this,
            [this](const QModelIndex& topLeft, const QModelIndex& bottomRight, const QList<int>& roles) {
                if (m_all || (!roles.isEmpty() && !roles.contains(Qt::DisplayRole)))
                    return;
                forget(topLeft.row(), bottomRight.row());
                m_some = true;
            });
}

void TNameWidths::forget(int first, int last) {
    for (int row = first; row <= last; ++row) {
        int& width = m_widths[static_cast<std::size_t>(row)];
        if (width != Unmeasured) {
            const auto count = m_counts.find(width);
            if (--count->second == 0)
                m_counts.erase(count);
        }
        width = Unmeasured;
    }
}

int TNameWidths::Widest(const QFontMetrics& metrics) {
    if (!m_metrics || !(*m_metrics == metrics)) {
        m_metrics = metrics;
        m_all = true;
    }
    const int rows = m_model.rowCount();
    if (m_all || m_widths.size() != static_cast<std::size_t>(rows)) {
        m_widths.assign(static_cast<std::size_t>(rows), Unmeasured);
        m_counts.clear();
        m_all = false;
        m_some = true;
    }
    if (m_some) {
        for (int row = 0; row < rows; ++row) {
            int& width = m_widths[static_cast<std::size_t>(row)];
            if (width != Unmeasured)
                continue;
            width =
                metrics.horizontalAdvance(m_model.data(m_model.index(row, 0), Qt::DisplayRole).toString());
            ++m_counts[width];
        }
        m_some = false;
    }
    return m_counts.empty() ? 0 : m_counts.rbegin()->first;
}
