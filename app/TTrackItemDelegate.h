#pragma once

#include <QStyledItemDelegate>

class TForm1;
class TNameWidths;

// Draws ActiveListBox's items through the window's draw-item handler, after preparing the painter
// as the list box does for an owner-drawn item (font, fill and text colour of the item's state), and
// draws the focus rectangle afterwards.
class TTrackItemDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    static constexpr int ItemHeight = 13;

    TTrackItemDelegate(TForm1& form, QObject* parent);

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    // Every item is as wide as the widest name (the list's items share one size), so that the list
    // scrolls sideways only when a name is wider than the list.
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

private:
    TForm1& m_form;
    TNameWidths* m_widths = nullptr; // the widest name, measured as names change
};
