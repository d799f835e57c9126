// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>

class TBitmap;

// The preview of a track below the widgets: which entry holds its picture and the decode into a
// bitmap. The window and skarnres both use it.

// The preview entry of a track file: its name without extension followed by "01s.tga" for the
// event types at indexes 0 and 1 ("Baja", "Enduro") and "s.tga" for every other index. The index is
// compared unsigned, so -1 (no event type selected) also takes "s.tga".
std::string PreviewEntryName(const std::string& fileName, int eventIndex);

// The largest picture the preview decodes, in pixels (2048 x 2048, 12 MiB as a 24-bit bitmap): a
// larger one shows the placeholder, so that no click costs more than a few tens of megabytes.
inline constexpr std::int64_t PreviewPixelLimit = std::int64_t{2048} * 2048;

// What DecodeTrackPreview found.
enum class TPreviewOutcome {
    Picture,   // a picture, in the bitmap (one whose data end early keeps the rows decoded so far)
    NoEntry,   // the container has no entry of that name
    NoPicture, // the entry is empty, no TGA image the decoder accepts, or above PreviewPixelLimit
};

// Decodes the preview picture of the track file at path into bitmap (mode 2: a 24-bit picture). The
// entry is the last of equal names, letter case ignored. Only as many of the entry's bytes are read as
// such a picture can need. The picture is decoded into bitmap itself, reusing its memory when it
// has the picture's size already. Unless the outcome is Picture the bitmap is left untouched (memory
// running out aside), so that the caller can show its placeholder. Throws EFOpenError when the file cannot be
// opened, for its directory or for the picture's bytes.
TPreviewOutcome DecodeTrackPreview(const std::string& path, int eventIndex, TBitmap& bitmap);
