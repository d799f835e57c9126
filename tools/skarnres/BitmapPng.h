#pragma once

#include <string>

class TBitmap;

// Writes a bitmap as a PNG file of red, green and blue, palette formats looked up in the bitmap's
// palette (values beyond it are black). Throws ECommandFailed when the file cannot be written.
void WriteBitmapPng(const TBitmap& bitmap, const std::string& path);
