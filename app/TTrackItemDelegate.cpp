#include "app/TTrackItemDelegate.h"

#include <QPainter>

#include "app/TForm1.h"
#include "app/TNameWidths.h"
#include "app/TTrackListModel.h"

TTrackItemDelegate::TTrackItemDelegate(TForm1& form, QObject* parent)
    : QStyledItemDelegate(parent), m_form(form) {
    m_widths = new TNameWidths(form.Tracks(), this);
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
    m_form.ActiveListBoxDrawItem(*painter, index.row(), option.rect);
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
    // The name starts 15 pixels in; a pixel to spare at its end.
    return {15 + m_widths->Widest(option.fontMetrics) + 1, ItemHeight};
}
