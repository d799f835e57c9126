// SPDX-License-Identifier: GPL-3.0-or-later
#include "Commands.h"
#include "Pictures.h"
#include "app/PreviewPainting.h"
#include "platform/TBitmap.h"
#include "tracks/TrackCatalogue.h"
#include "tracks/TrackPreview.h"

// skarnres preview FILE --event TYPE -o OUT.png: the picture the window shows for the track under that
// event type when it is the first track clicked after start-up: the picture decoded onto the 285 x 139
// start-up bitmap, or the placeholder on it when the track has no picture.
int CmdPreview(const std::vector<std::string>& words, const TWinePrefix& /*prefix*/) {
    const char* usage = "usage: skarnres preview FILE --event TYPE -o OUT.png";
    const TArguments args = SplitArguments(words);
    const std::string* outputOption = args.Option("--output");
    const std::string* eventOption = args.Option("--event");
    if (args.operands.size() != 1 || args.operands[0].empty() || !outputOption || outputOption->empty() ||
        !eventOption)
        throw EUsageError(usage);
    const std::string& input = args.operands[0];
    const std::string& output = *outputOption;
    const std::string& eventType = *eventOption;
    int eventIndex = -1;
    for (int i = 0; i < 6; ++i) {
        if (eventType == EventTypes[i])
            eventIndex = i;
    }
    if (eventIndex < 0)
        throw EUsageError("--event takes Baja, Enduro, National, Quarries, SX or Tag");

    const TPictureFunctions& pictures = Pictures();
    pictures.withToolkit([&] {
        TBitmap bitmap;
        bitmap.SetSize(PreviewWidth, PreviewHeight);
        pictures.paintPreviewBackground(bitmap);
        if (DecodeTrackPreview(input, eventIndex, bitmap) != TPreviewOutcome::Picture)
            pictures.paintNoPreview(bitmap);
        pictures.writePng(bitmap, output);
    });
    return 0;
}
