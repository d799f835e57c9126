#pragma once

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

// One Store or one Fetch: copies tracks and remembers the copies it made, so that a later track of
// the same operation never replaces an earlier one's copy (two tracks of one name from two folders,
// or "Track.env" and "track.env" where the destination's names ignore letter case). A copy left by an
// earlier operation is replaced as ever. Before its first copy into a folder it removes what a killed
// run left there (TidyFolder).
class TTrackTransfer {
public:
    TTrackTransfer() = default;

    // Copies source to destination, replacing an existing destination without a question, and with
    // deleteSource set deletes the source once the copy is complete and flushed to disk, provided the
    // source is still the file copied, unchanged. Returns false when the file system refused to
    // delete the source (a read-only mount, an immutable file): the track is then in both places.
    // Throws the stream errors of CopyFileReplacing: "Cannot open file <source>", "Cannot create file
    // <destination>" (also when both name the same file, or the destination is a copy this transfer
    // made), "Stream read error", "Stream write error", EFileChanged (the source changed while it was
    // copied); and EFileChanged when the source was replaced or written to between the copy and its
    // deletion. In every case the source is kept.
    bool Copy(const std::string& source, const std::string& destination, bool deleteSource);

protected:
    // For tests: every copy and deletion of this transfer runs with faults injected (CopyFaults.h).
    explicit TTrackTransfer(const TCopyFaults& faults) : m_faults(&faults) {}

private:
    const TCopyFaults* m_faults = nullptr;
    std::vector<TFileStamp> m_written;
    std::vector<std::string> m_tidiedFolders;
};

// One copy as a transfer of its own (TTrackTransfer::Copy).
bool CopyTrackFile(const std::string& source, const std::string& destination, bool deleteSource);

// Store: moves each of fileNames, in order, from eventFolder to destinationFolder under its own name,
// all in one transfer. The first failure ends it with its exception: the files before it are moved,
// it and the files after it are untouched. Returns the names whose source could not be deleted: they
// are archived and still in the event folder.
std::vector<std::string> ArchiveSelected(const std::string& eventFolder, const std::string& destinationFolder,
                                         const std::vector<std::string>& fileNames);

// Fetch: copies each chosen path, in order, into eventFolder under its file name (FileNamePart), all in
// one transfer; the archived copy stays. Stops at the first failure with its exception, as
// ArchiveSelected does.
void FetchTracks(const std::string& eventFolder, const std::vector<std::string>& chosenPaths);

// Delete: deletes eventFolder + fileName. The result is ignored, as the program reports nothing.
void DeleteTrack(const std::string& eventFolder, const std::string& fileName);
