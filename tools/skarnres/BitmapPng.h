// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

class TBitmap;

// Writes a bitmap as a PNG file with the colours the window shows it in (palette formats through
// their palette). The file appears only when it is complete: an existing file at path stays as it
// was when writing fails. Throws ECommandFailed when the file cannot be written.
void WriteBitmapPng(const TBitmap& bitmap, const std::string& path);
