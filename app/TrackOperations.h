#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/FileOps.h"
#include "platform/PathParts.h"

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

// Copies source to destination, replacing an existing destination without a question, and with
// deleteSource set deletes the source once the copy is complete and flushed to disk (the deletion's
// result is ignored). Throws the stream errors of CopyFileReplacing: "Cannot open file <source>",
// "Cannot create file <destination>" (also when both name the same file), "Stream read error",
// "Stream write error"; then the source is kept and an existing destination is left as it was.
void CopyTrackFile(const std::string& source, const std::string& destination, bool deleteSource);

// Store: moves each of fileNames, in order, from eventFolder to destinationFolder under its own name.
// The first failure ends it with its exception: the files before it are moved, it and the files after
// it are untouched.
void ArchiveSelected(const std::string& eventFolder, const std::string& destinationFolder,
                     const std::vector<std::string>& fileNames);

// Fetch: copies each chosen path, in order, into eventFolder under its file name (FileNamePart); the
// archived copy stays. Stops at the first failure with its exception, as ArchiveSelected does.
void FetchTracks(const std::string& eventFolder, const std::vector<std::string>& chosenPaths);

// Delete: deletes eventFolder + fileName. The result is ignored, as the program reports nothing.
void DeleteTrack(const std::string& eventFolder, const std::string& fileName);
