// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QStyledItemDelegate>

#include <functional>

class TNameWidths;

// The geometry of one item of the track list: the letter 1 pixel in, the name 15 pixels in with a pixel
// to spare after it, 13 pixels high.
struct TTrackItemGeometry {
    static constexpr int LetterLeft = 1;
    static constexpr int NameLeft = 15;
    static constexpr int NameEndSpare = 1;
    static constexpr int Height = 13;
};

// Draws the track list's items through a drawing function (the window's draw-item handler), after
// preparing the painter as a list box does for an owner-drawn item (font, fill and text colour of the
// item's state), and draws the focus rectangle afterwards.
class TTrackItemDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    // Draws item index in rect on a prepared painter.
    using TDrawItem = std::function<void(QPainter& painter, int index, const QRect& rect)>;

    // model: the list's items, whose display names size the items.
    TTrackItemDelegate(const QAbstractItemModel& model, TDrawItem drawItem, QObject* parent);

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    // Every item is as wide as the widest name (the list's items share one size), so that the list
    // scrolls sideways only when a name is wider than the list.
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

private:
    TDrawItem m_drawItem;
    TNameWidths* m_widths = nullptr; // the widest name, measured as names change
};
