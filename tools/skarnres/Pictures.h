// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <string>

class TBitmap;

// What skarnres needs the toolkit for: painting the preview's background and placeholder, and writing
// PNG files. On Linux it lives in a library of its own, skarnres-pictures, loaded only by the commands
// that write pictures, so that every other command starts without loading the toolkit.
struct TPictureFunctions {
    // Runs work with the toolkit started for drawing text (no window is shown), and stops it after.
    void (*withToolkit)(const std::function<void()>& work);
    // PaintPreviewBackground, and PaintNoPreview in the window's font (needs withToolkit).
    void (*paintPreviewBackground)(TBitmap& bitmap);
    void (*paintNoPreview)(TBitmap& bitmap);
    // WriteBitmapPng.
    void (*writePng)(const TBitmap& bitmap, const std::string& path);
};

// The library's functions; the name it exports them under.
extern "C" const TPictureFunctions* SkarnresPictures();
inline constexpr const char* PictureFunctionsName = "SkarnresPictures";

// The picture functions, the library loaded on first use. Throws ECommandFailed when it cannot be
// loaded.
const TPictureFunctions& Pictures();
