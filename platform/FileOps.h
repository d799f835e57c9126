#pragma once

#include <string>
#include <unordered_map>
#include <vector>

// Renaming, deleting and copying files with the guarantees of the Windows file system and a few more.
// Paths are Windows-style paths as the program builds them, or native paths as file dialogs return
// them; on Linux both are resolved through NativePath. Messages carry the paths as the caller gave
// them.

#ifdef DeleteFile
// <windows.h> maps DeleteFile to DeleteFileW; ours takes the program's UTF-8 text instead.
#undef DeleteFile
#endif

// Renames the file from to the name to, in the same or another folder of the same volume. Returns
// false, changing nothing, when from does not exist, when to names an existing file, also one whose
// name differs only in letter case, or when the file system refuses. Never replaces a file. A
// rename that only changes the letter case of the file's own name works (through a unique temporary
// name where the file system needs it), and renaming a file to exactly its own name succeeds and
// changes nothing, as Windows' MoveFile does.
bool RenameFile(const std::string& from, const std::string& to);

// Renames files within one folder, many in a row (Start and Stop of a selection), with the guarantees
// of RenameFile: never replacing a file, and failing when the new name is taken in any letter case.
// The folder is resolved and its names are read once, when the renamer is made; the names, folded for
// comparison, are kept current as its renames change them, so a rename costs the rename alone. A file
// that another program adds meanwhile under another letter case of a new name goes unnoticed; the
// rename still never replaces it.
class TFolderRenamer {
public:
    // folder: Windows-style or native, ending in a separator.
    explicit TFolderRenamer(const std::string& folder);
    ~TFolderRenamer();
    TFolderRenamer(const TFolderRenamer&) = delete;
    TFolderRenamer& operator=(const TFolderRenamer&) = delete;

    // Renames the file from of the folder to the name to, as RenameFile(folder + from, folder + to)
    // does. Both are names without folder; a name holding a separator fails.
    bool Rename(const std::string& from, const std::string& to);

private:
#ifdef _WIN32
    std::string m_folder;
#else
    int m_dir = -1;
    // The folder's names as stored, under their folded form.
    std::unordered_map<std::string, std::vector<std::string>> m_names;
#endif
};

// Deletes the file path. Returns false, changing nothing, when it is missing, is a folder or the file
// system refuses.
bool DeleteFile(const std::string& path);

// Copies the file source to destination, replacing destination when it exists. The bytes go into a
// unique temporary file in the destination's folder, which is flushed to disk and only then put in
// place of the destination; when this returns, the copy is complete and on disk.
// Throws EFOpenError ("Cannot open file <source>") when source cannot be opened or is no regular file;
// EFCreateError ("Cannot create file <destination>") when the destination cannot be created or
// replaced, also when it is the source itself under any spelling of its path or a hard link to it;
// EReadError ("Stream read error") when source delivers fewer bytes than it held when opened;
// EWriteError ("Stream write error") when writing or flushing the copy fails (a full disk).
// On every failure an existing destination is left as it was, source is untouched and no temporary
// file stays behind.
void CopyFileReplacing(const std::string& source, const std::string& destination);
