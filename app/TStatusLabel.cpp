// SPDX-License-Identifier: GPL-3.0-or-later
#include "TStatusLabel.h"

#include <QPainter>
#include <QStyle>

QRect TStatusLabel::textArea() const {
    return contentsRect().adjusted(margin(), margin(), -margin(), -margin());
}

QString TStatusLabel::ShownText() const {
    QString line = text();
    line.replace('\n', ' ');
    return fontMetrics().elidedText(line, Qt::ElideRight, textArea().width());
}

QSize TStatusLabel::sizeHint() const {
    return {0, QLabel::sizeHint().height()};
}

QSize TStatusLabel::minimumSizeHint() const {
    return {0, QLabel::minimumSizeHint().height()};
}

void TStatusLabel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    style()->drawItemText(&painter, textArea(),
                          static_cast<int>(QStyle::visualAlignment(layoutDirection(), alignment())),
                          palette(), isEnabled(), ShownText(), foregroundRole());
}
