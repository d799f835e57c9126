#include "app/TPreviewImage.h"

#include <QPainter>

QImage& TPreviewImage::Canvas() {
    if (m_picture.isNull()) {
        m_picture = QImage(size(), QImage::Format_RGB32);
        m_picture.fill(Qt::white);
    }
    return m_picture;
}

void TPreviewImage::SetPicture(QImage picture) {
    m_picture = std::move(picture);
    update();
}

void TPreviewImage::paintEvent(QPaintEvent*) {
    if (m_picture.isNull())
        return;
    QPainter painter(this);
    painter.drawImage(0, 0, m_picture);
}
