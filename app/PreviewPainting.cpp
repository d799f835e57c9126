// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/PreviewPainting.h"

#include <QFont>
#include <QFontMetrics>
#include <QPainter>
#include <QSysInfo>

#include "controls/BitmapImage.h"
#include "controls/SysColors.h"
#include "platform/TBitmap.h"
#include "platform/TColor.h"

namespace {

// The program's greyish blue (a plain colour: no palette is consulted).
QColor fillColour() {
    return QColorOf(clSkarnBlue, QPalette());
}

// Makes the bitmap 24-bit and paints the background on it; the view to go on painting on, or a null
// image for an empty bitmap.
QImage paintBackground(TBitmap& bitmap) {
    if (bitmap.PixelFormat() != TPixelFormat::pf24bit)
        bitmap.SetPixelFormat(TPixelFormat::pf24bit);
    QImage canvas = BitmapImage(bitmap);
    if (canvas.isNull())
        return canvas;
    QPainter painter(&canvas);
    painter.setPen(QPen(Qt::black, 1));
    painter.setBrush(fillColour());
    // The rectangle from (0, 0) to (width, height) leaves out its right and bottom edges: its 1-pixel
    // outline runs through (0, 0) and (width - 1, height - 1).
    painter.drawRect(0, 0, PreviewWidth - 1, PreviewHeight - 1);
    return canvas;
}

} // namespace

QFont WindowFont() {
    QFont font("MS Sans Serif");
    // Qt's font engines on Windows cannot draw the bitmap font "MS Sans Serif" and put a serif face in
    // its place. Its outline successor has the same metrics; every Windows has it and the faces after
    // it, and Wine has its own Tahoma (a prefix made without Wine's fonts gets the program's copy:
    // LoadFallbackFonts). Elsewhere the font configuration finds the face that stands in for the name.
    if (QSysInfo::kernelType() == "winnt")
        font.setFamilies({"Microsoft Sans Serif", "Tahoma", "Segoe UI", "Arial"});
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(11);
    return font;
}

void PaintPreviewBackground(TBitmap& bitmap) {
    paintBackground(bitmap);
}

void PaintNoPreview(TBitmap& bitmap, const QFont& font) {
    QImage canvas = paintBackground(bitmap);
    if (canvas.isNull())
        return;
    QPainter painter(&canvas);
    painter.setFont(font);
    painter.setPen(Qt::black);
    painter.setBackground(fillColour());
    painter.setBackgroundMode(Qt::OpaqueMode);
    painter.drawText(QPoint(15, 15 + QFontMetrics(font).ascent()), "No Preview Available");
}
