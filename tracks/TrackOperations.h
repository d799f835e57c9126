#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/FileOps.h"
#include "platform/PathParts.h"

struct TCopyFaults;

// The track operations below the window: making tracks active or inactive, storing them in an archive
// folder, fetching archived copies back, deleting them. The window's buttons and skarnres call these.
// Folders are given ending in a separator ("C:\Games\Skarn\Vevozura\Baja\"), file names without folder.

// The extensions that make a track file active or inactive.
inline constexpr const char* ActiveExtension = ".env";
inline constexpr const char* InactiveExtension = ".~env";

// The name without its extension (NameWithoutExtension) followed by extension: "jump.envx" with ".env" ->
// "jump.env".
std::string NameWithExtension(const std::string& name, const std::string& extension);

// Renames eventFolder + fileName to the same name with extension. Returns the new file name, or
// nothing when the rename failed (the target exists, also in another letter case; the file is missing
// or locked; rights are refused). Never throws for a failed rename. A name that already has the
// extension comes back unchanged.
std::optional<std::string> ChangeTrackExtension(const std::string& eventFolder, const std::string& fileName,
                                                const std::string& extension);

// The same for one file of a selection whose folder renamer reads the folder once for all of them (Start
// and Stop of many tracks).
std::optional<std::string> ChangeTrackExtension(TFolderRenamer& eventFolder, const std::string& fileName,
                                                const std::string& extension);

// What became of one track of a transfer, once its copy is in place.
struct TTransferred {
    std::size_t index = 0; // the track's place among the Add calls, from 0
    bool sourceStayed =
        false; // a move whose source the file system refused to delete: the track is in both places
};

// One Store or one Fetch: copies tracks, in batches that pay for flushing the disk once. Each track of a
// batch is copied into a temporary file beside its destination as it is added; when the batch is
// finished the copies are flushed to disk together, put in place in order, their folders flushed, and
// only then the sources of moves deleted, each only while it is still the file copied, unchanged. A
// failure or a kill at any point leaves every track in its place, or archived whole with its source
// gone or still there: never lost.
//
// A transfer never replaces a copy it made itself (two tracks of one name from two folders, or
// "Track.env" and "track.env" where the destination's names ignore letter case): "Cannot create file".
// A copy left by an earlier operation is replaced as ever. Before its first copy into a folder it
// removes what a killed run left there (TidyFolder).
class TTrackTransfer {
public:
    // done is told of each finished track, in the order of the Add calls.
    explicit TTrackTransfer(std::function<void(const TTransferred&)> done = {}) : m_done(std::move(done)) {}
    // Tracks added but not finished are dropped: nothing of them is put in place, their sources stay.
    ~TTrackTransfer() = default;
    TTrackTransfer(const TTrackTransfer&) = delete;
    TTrackTransfer& operator=(const TTrackTransfer&) = delete;

    // Adds the copy of source to destination, which replaces an existing destination without a
    // question; with deleteSource set the source is deleted once the copy is on disk. The bytes are
    // copied now; a full batch is finished (Finish) before this returns.
    // Throws the stream errors of CopyFileReplacing: "Cannot open file <source>", "Cannot create file
    // <destination>" (also when both name the same file, or the destination is a copy this transfer
    // made), "Stream read error", "Stream write error", EFileChanged (the source changed while it was
    // copied). Before it throws, the tracks added earlier are finished; a failure among them is thrown
    // instead, being the earlier one. The failing track and those after it are untouched.
    void Add(const std::string& source, const std::string& destination, bool deleteSource);

    // Finishes every track added so far, as described above. Throws the first failure in order: a
    // flush that fails ("Stream write error") leaves every track of the batch untouched; a copy that
    // cannot be put in place ("Cannot create file") leaves it and the tracks after it untouched;
    // EFileChanged names a source that was replaced or written to since its copy: it stays where it
    // is, with the copy of its earlier state in place, and the rest of the batch is finished.
    void Finish();

protected:
    // For tests: every copy and deletion of this transfer runs with faults injected (CopyFaults.h).
    explicit TTrackTransfer(const TCopyFaults& faults, std::function<void(const TTransferred&)> done = {})
        : m_faults(&faults), m_done(std::move(done)) {}

private:
    struct TQueued {
        std::size_t index;
        std::string source;
        bool deleteSource;
        TPendingCopy copy;
    };

    const TCopyFaults* m_faults = nullptr;
    std::function<void(const TTransferred&)> m_done;
    std::vector<TQueued> m_batch;
    std::int64_t m_batchBytes = 0;
    std::size_t m_added = 0;
    std::vector<TFileStamp> m_written;
    // The destination folders so far, tidied, with their names, under the folder as given.
    std::map<std::string, TFolderNames> m_folders;

    TFolderNames& folderOf(const std::string& destination);
};

// Store: moves each of fileNames, in order, from eventFolder to destinationFolder under its own name,
// all in one transfer. The first failure ends it with its exception, as TTrackTransfer describes: the
// files before it are moved, it stays, and the files after it are untouched, or moved too when only
// the source's change was noticed at the end. Returns the names whose source could not be deleted: they
// are archived and still in the event folder.
std::vector<std::string> ArchiveSelected(const std::string& eventFolder, const std::string& destinationFolder,
                                         const std::vector<std::string>& fileNames);

// Fetch: copies each chosen path, in order, into eventFolder under its file name (FileNamePart), all in
// one transfer; the archived copy stays. Stops at the first failure with its exception, as
// ArchiveSelected does.
void FetchTracks(const std::string& eventFolder, const std::vector<std::string>& chosenPaths);

// Delete: deletes eventFolder + fileName. Whether the file went is not returned.
void DeleteTrack(const std::string& eventFolder, const std::string& fileName);
