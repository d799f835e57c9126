// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/TPreviewImage.h"

#include <QPainter>

#include "controls/BitmapImage.h"

QImage TPreviewImage::Picture() const {
    return BitmapImage(m_bitmap).copy();
}

void TPreviewImage::paintEvent(QPaintEvent*) {
    const QImage picture = BitmapImage(m_bitmap);
    if (picture.isNull())
        return;
    QPainter painter(this);
    painter.drawImage(0, 0, picture);
}
