// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/TTrackItemDelegate.h"

#include <QPainter>

#include <utility>

#include "app/TNameWidths.h"

TTrackItemDelegate::TTrackItemDelegate(const QAbstractItemModel& model, TDrawItem drawItem, QObject* parent)
    : QStyledItemDelegate(parent), m_drawItem(std::move(drawItem)) {
    m_widths = new TNameWidths(model, this);
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
    return {TTrackItemGeometry::NameLeft + m_widths->Widest(option.fontMetrics) +
                TTrackItemGeometry::NameEndSpare,
            TTrackItemGeometry::Height};
}
