#include "Commands.h"
#include "Pictures.h"
#include "app/PreviewPainting.h"
#include "platform/TBitmap.h"
#include "tracks/TrackCatalogue.h"
#include "tracks/TrackPreview.h"

// skarnres preview FILE --event TYPE -o OUT.png: the picture the window shows for the track under that
// event type when it is the first track clicked after start-up: the picture decoded onto the 285 x 139
// start-up bitmap, or the placeholder on it when the track has no picture.
int CmdPreview(const std::vector<std::string>& args) {
    const char* usage = "usage: skarnres preview FILE --event TYPE -o OUT.png";
    std::string input;
    std::string output;
    std::string eventType;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if ((args[i] == "-o" || args[i] == "--event") && i + 1 == args.size())
            throw EUsageError(usage);
        if (args[i] == "-o")
            output = args[++i];
        else if (args[i] == "--event")
            eventType = args[++i];
        else if (input.empty())
            input = args[i];
        else
            throw EUsageError(usage);
    }
    if (input.empty() || output.empty() || eventType.empty())
        throw EUsageError(usage);
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
