// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/Exceptions.h"
#include "platform/FileOps.h"
#include "platform/PathParts.h"
#include "tracks/TrackOutcome.h"

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

// What became of one track of a transfer, once its copy is in place.
struct TTransferred {
    std::size_t index = 0; // the track's place among the Add calls, from 0
    // A move whose source the file system refused to delete: the track is in both places.
    bool sourceStayed = false;
    // The copy replaced a file that had the destination's name when the track was added.
    bool replaced = false;
    // Why a source that stayed could not be deleted.
    TFileError sourceError;
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
    // Adds a copy of the bytes of source (an entry of an archive) to destination, as Add above does with a
    // source that stays. Throws as that Add does, and whatever source.Read throws.
    void Add(TByteSource& source, const std::string& destination);

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
        bool replaces;
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
    // Queues the copy that makeCopy(resolved destination) writes, as the Add calls describe.
    template <typename TMakeCopy>
    void queue(const std::string& source, const std::string& destination, bool deleteSource,
               const TMakeCopy& makeCopy);
};

// The operations over a selection. Each visits the tracks in the order given, asks progress before
// each (a cancel leaves that track and the ones after it as they are) and answers with one outcome per
// track (TrackOutcome.h).

// Start, Stop: renames each track to end in ".env" (active) or ".~env" (inactive); Toggle switches each
// between the two. Done with the new name in Result; AlreadySo when the name has the extension already;
// TargetExists when another file has the new name, also in another letter case (never replaced);
// Missing when the file is gone; Refused with the system's reason otherwise. Each folder's names are
// read once for all its tracks. Never throws for a track that cannot be renamed.
TOperationReport Start(const std::vector<TTrackFile>& tracks, const TProgress& progress = {});
TOperationReport Stop(const std::vector<TTrackFile>& tracks, const TProgress& progress = {});
TOperationReport Toggle(const std::vector<TTrackFile>& tracks, const TProgress& progress = {});

// Store: moves each track into destinationFolder under its own name, all in one transfer (TTrackTransfer),
// replacing an older copy there (Replaced). Done with the copy's path in Result, or SourceStayed when
// the source could not be deleted afterwards. The first failure ends the Store: that track is Refused
// with the failure's message, those after it are Cancelled and the failure is kept in the report's
// Failure; the tracks before it are moved.
TOperationReport Store(const std::vector<TTrackFile>& tracks, const std::string& destinationFolder,
                       const TProgress& progress = {});

// What Fetch does with a track whose other state is in the event folder (fetching "t.env" beside "t.~env").
enum class TTwinChoice {
    Skip,    // leaves the track out: TargetExists, with the name in the folder in Other
    Replace, // removes the one in the folder (removeTwin) once the track is reached, and fetches it
};

// Fetch: copies each chosen path into eventFolder under its own file name; the archived copy stays. A
// file that already is the track in eventFolder is AlreadySo. A track whose other state is in the folder
// (fetching "t.env" beside "t.~env", in any letter case) is never put beside it: twins says what
// happens, and a replaced one is named in Other, with Replaced set; a twin that cannot be removed leaves
// its track Refused with the reason. A file of the same name is replaced (Replaced). Failures end it as
// they end Store. Throws EFolderMissing, copying nothing, when eventFolder does not exist.
// A chosen path that is a downloaded archive (IsArchiveName) gives one track per entry named like a
// track, with the entry in Entry (TFetchSources.h): written straight from the archive through the same
// transfer. An entry that is never fetched (encrypted, a link, ...), one that cannot be read, and an
// archive that cannot be read or holds no track are Refused with the reason as Message, without ending
// the Fetch. A second track of one name, from anywhere, is Refused too, never copied over the first.
TOperationReport Fetch(const std::vector<std::string>& paths, const std::string& eventFolder,
                       const TProgress& progress = {}, TTwinChoice twins = TTwinChoice::Skip,
                       const TRemoveFile& removeTwin = {});

// A track of a Fetch whose other state is in the event folder: the track's name, and the name in its way.
struct TFetchTwin {
    std::string track;
    std::string twin;
};

// The tracks of a Fetch of paths (those inside archives too) that would find their other state in
// eventFolder in their way, in order: so that the player can be asked before a Fetch. Throws
// EFolderMissing as Fetch does.
std::vector<TFetchTwin> FetchTwins(const std::vector<std::string>& paths, const std::string& eventFolder);

// Delete: removes each track with remove (into a trash or for good): Trashed, Deleted, Missing or
// Refused as remove says.
TOperationReport Delete(const std::vector<TTrackFile>& tracks, const TRemoveFile& remove,
                        const TProgress& progress = {});

// Undo of the Start, Stop, Toggle or Delete that done reports: each track Done renames back, each
// Trashed comes back from the trash through restore. Neither ever replaces a file: a name taken since is
// TargetExists. Other operations have nothing to undo (an empty report).
TOperationReport Undo(const TOperationReport& done, const TRestoreFile& restore);

// True when folder (Windows-style or native, "" for the working folder) is an existing folder.
bool FolderExists(const std::string& folder);

// A folder that an operation needs and that does not exist: "The folder <path> does not exist".
class EFolderMissing : public Exception {
public:
    explicit EFolderMissing(const std::string& folder)
        : Exception("The folder " + folder + " does not exist"), m_folder(folder) {}
    const std::string& Folder() const { return m_folder; }

private:
    std::string m_folder;
};
