// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QImage>
#include <QPoint>
#include <QRect>
#include <QString>
#include <QWidget>
#include <cstdint>
#include <functional>
#include <vector>

#include "controls/TBevelCut.h"
#include "platform/TColor.h"

class QPainter;

// Where and how a textured panel paints its picture.
enum TShowBitmap : int { sbCentered, sbTopLeft, sbTiled, sbRandom, sbAutoSize };

class TRandomGenerator;

// A container panel that paints its own background: a solid Color, optionally covered by a picture
// (Glyph) placed in one of the TShowBitmap ways, and an optional outer bevel of single lines. Children
// paint themselves on top as usual. Caption is stored but never shown and BevelInner never drawn.
//
// Color is also the panel's palette colour of its background role, which is where children (the flat
// glyph buttons) look for their parent's colour.
class TBriskPanel : public QWidget {
    Q_OBJECT

public:
    using TNotifyEvent = std::function<void(QObject* sender)>;

    explicit TBriskPanel(QWidget* parent = nullptr);

    // While true the panel is being designed: the Glyph setter then copies the picture's width into
    // the strip-width range, and RandomMin must stay below RandomMax. Off in a running program.
    bool Designing() const { return m_designing; }
    void SetDesigning(bool value) { m_designing = value; }

    // The background colour; a system colour follows the palette. Repaints when changed.
    TColor Color() const { return m_color; }
    void SetColor(TColor value);

    // The frame drawn around the client rectangle; bvNone draws none. Repaints when changed.
    TBevelCut BevelOuter() const { return m_bevelOuter; }
    void SetBevelOuter(TBevelCut value);
    // Stored for the program; never drawn.
    TBevelCut BevelInner() const { return m_bevelInner; }
    void SetBevelInner(TBevelCut value) { m_bevelInner = value; }
    // The width of the outer bevel's pen. Values below 1 are ignored; repaints when changed.
    int BevelWidth() const { return m_bevelWidth; }
    void SetBevelWidth(int value);
    // Stored for the program; never shown.
    const QString& Caption() const { return m_caption; }
    void SetCaption(const QString& value) { m_caption = value; }

    // The generator seed of sbRandom. Repaints when changed.
    std::uint16_t Seed() const { return m_seed; }
    void SetSeed(std::uint16_t value);
    // The strip widths of sbRandom run from RandomMin to RandomMax - 1. RandomMax is taken only when
    // above 0 and above RandomMin; RandomMin only when above 0 and, while designing, below RandomMax.
    // An ignored value leaves the property as it was; a taken one repaints.
    int RandomMax() const { return m_randomMax; }
    void SetRandomMax(int value);
    int RandomMin() const { return m_randomMin; }
    void SetRandomMin(int value);
    // Repaints when changed.
    TShowBitmap ShowBitmap() const { return m_showBitmap; }
    void SetShowBitmap(TShowBitmap value);

    // The picture, owned by the panel: the setter keeps a copy, sets Mask to the picture's transparent
    // colour (its bottom-left pixel's, with the palette-relative flag), and repaints.
    const QImage& Glyph() const { return m_glyph; }
    void SetGlyph(const QImage& value);

    // The colour left out of a masked picture; only its red, green and blue parts are compared.
    // Plain store: takes effect at the next paint.
    TColor Mask() const { return m_mask; }
    void SetMask(TColor value) { m_mask = value; }
    // sbCentered and sbTopLeft leave out the pixels of colour Mask. Plain store.
    bool Masked() const { return m_masked; }
    void SetMasked(bool value) { m_masked = value; }

    // The surface the panel paints on while it paints (for OnPaint handlers); null at any other time.
    QPainter* Canvas() const { return m_canvas; }

    // When assigned, replaces the panel's painting completely: the panel then paints nothing itself,
    // not even its colour, and its parent shows wherever the handler paints nothing. Plain store.
    TNotifyEvent OnPaint;

    // Paints the picture with its top-left corner at (x, y) on the canvas, leaving out the pixels of
    // colour Mask when Masked. Does nothing outside a paint.
    void PaintGlyphAt(int x, int y);
    // Draws bevel as single lines of BevelWidth around the client rectangle on the canvas: bvRaised light
    // at the top and left and dark at the bottom and right, bvLowered and bvSpace the other way
    // round. Does nothing outside a paint or for bvNone.
    void PaintBevel(TBevelCut bevel);

    // The top-left corners of the tiles of sbTiled for a client area of size client and a picture of
    // size glyph, row by row from the top, left to right: columns 0 .. client width div glyph width
    // and rows 0 .. client height div glyph height, both bounds included. Empty for a picture without
    // width or height.
    static std::vector<QPoint> TilePlaces(QSize client, QSize glyph);

    // One strip of sbRandom: the picture stretched into [Left, Left + Width) x [Top, Top + Height).
    // 64-bit, since absurd width ranges give places beyond the range of a pixel coordinate.
    struct TStrip {
        std::int64_t Left;
        std::int64_t Top;
        std::int64_t Width;
        std::int64_t Height;
        bool operator==(const TStrip&) const = default;
    };
    // The strips of sbRandom for a client area clientWidth wide on a panel height high, drawn from
    // random as it stands (the panel paints them from the program's generator set to its Seed). Each
    // strip takes two numbers, first for its width, then for its top. Every strip is at least one pixel wide,
    // also when randomMin is not below randomMax (a running program may set that: the strips are then
    // randomMin wide) or not positive. Empty for a picture without width or height.
    static std::vector<TStrip> RandomStrips(TRandomGenerator& random, int randomMin, int randomMax,
                                            int clientWidth, int height, QSize glyph);

    // value rounded to the nearest integer, halves to the even neighbour.
    static double RoundHalfEven(double value);

protected:
    // Paints the whole panel in this order: OnPaint instead of everything when assigned; otherwise the
    // colour over the client rectangle, the picture placed by ShowBitmap, and the outer bevel.
    virtual void Paint();

    void paintEvent(QPaintEvent* event) override;

private:
    void paintPicture();
    void applyColorToPalette();
    void drawStretched(const TStrip& strip);

    bool m_designing = false;
    TColor m_color = clBtnFace;
    TBevelCut m_bevelOuter = bvRaised;
    TBevelCut m_bevelInner = bvNone;
    int m_bevelWidth = 1;
    QString m_caption;
    std::uint16_t m_seed = 13;
    int m_randomMax = 10;
    int m_randomMin = 1;
    TShowBitmap m_showBitmap = sbTopLeft;
    QImage m_glyph;
    QImage m_paintGlyph; // m_glyph in the format the painter draws fastest
    TColor m_mask = clBlack;
    bool m_masked = false;
    QPainter* m_canvas = nullptr;
};
