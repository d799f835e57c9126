#include "app/TTrackItemDelegate.h"

#include <QPainter>

#include <algorithm>
#include <utility>

TTrackItemDelegate::TTrackItemDelegate(const QAbstractItemModel& model, TDrawItem drawItem, QObject* parent)
    : QStyledItemDelegate(parent), m_model(model), m_drawItem(std::move(drawItem)) {
    const auto forget = [this] { m_widest = -1; };
    connect(&model, &QAbstractItemModel::modelReset, this, forget);
    connect(&model, &QAbstractItemModel::dataChanged, this, forget);
    connect(&model, &QAbstractItemModel::rowsInserted, this, forget);
    connect(&model, &QAbstractItemModel::rowsRemoved, this, forget);
}

void TTrackItemDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                               const QModelIndex& index) const {
    painter->save();
    const bool selected = option.state & QStyle::State_Selected;
    const QPalette& palette = option.palette;
    painter->setFont(option.font);
    painter->setBrush(selected ? palette.highlight() : palette.base());
    painter->setPen(selected ? palette.highlightedText().color() : palette.text().color());
    painter->setClipRect(option.rect);
    m_drawItem(*painter, index.row(), option.rect);
    painter->restore();

    if (option.state & QStyle::State_HasFocus) {
        painter->save();
        QPen dotted(selected ? palette.highlightedText().color() : palette.text().color());
        dotted.setStyle(Qt::DotLine);
        painter->setPen(dotted);
        painter->setBrush(Qt::NoBrush);
        painter->drawRect(option.rect.adjusted(0, 0, -1, -1));
        painter->restore();
    }
}

QSize TTrackItemDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex&) const {
    if (m_widest < 0) {
        m_widest = 0;
        for (int row = 0; row < m_model.rowCount(); ++row) {
            const QString name = m_model.data(m_model.index(row, 0), Qt::DisplayRole).toString();
            m_widest = std::max(m_widest, option.fontMetrics.horizontalAdvance(name));
        }
    }
    return {TTrackItemGeometry::NameLeft + m_widest + TTrackItemGeometry::NameEndSpare,
            TTrackItemGeometry::Height};
}
