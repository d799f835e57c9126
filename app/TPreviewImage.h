// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>

#include "platform/TBitmap.h"

// The preview: shows its bitmap unscaled from its top-left corner; where the bitmap does not reach,
// the parent shows through.
class TPreviewImage : public QWidget {
    Q_OBJECT
public:
    using QWidget::QWidget;

    // The picture's bitmap, which decoding and drawing change in place; call update() afterwards.
    TBitmap& Bitmap() { return m_bitmap; }
    const TBitmap& Bitmap() const { return m_bitmap; }
    // The picture as the control shows it (a copy).
    QImage Picture() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    TBitmap m_bitmap;
};
