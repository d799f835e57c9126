// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLabel>

// The status bar's text: one line that ends in "…" where it does not fit, so that a long status never
// seems to end where the bar cuts it; text() and the tooltip keep the whole of it. However long the
// text, it never makes the window wider.
class TStatusLabel : public QLabel {
public:
    explicit TStatusLabel(QWidget* parent) : QLabel(parent) {}

    // What the bar shows of text() at its present width.
    QString ShownText() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QRect textArea() const;
};
