#include "TSearchRec.h"

#include "NativePath.h"
#include "PathParts.h"
#include "TextCase.h"

#ifdef _WIN32
#include <windows.h>

#include "WinText.h"
#else
#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <string_view>
#include <sys/stat.h>

#include "Handles.h"
#endif

namespace {

// The bits that keep an entry out of a search unless the mask asks for them.
constexpr int kSpecialAttr = faHidden | faSysFile | faVolumeID | faDirectory;

} // namespace

// Puts an entry the search found into its record.
struct TSearchFound {
    static void Set(TSearchRec& rec, int attr, std::int64_t size, bool complete,
                    const TListedVersion& listed) {
        rec.m_attr = attr;
        rec.m_listed = listed;
        rec.m_size = size;
        rec.m_complete = complete;
    }
};

TSearchRec::~TSearchRec() {
    FindClose(*this);
}

int TSearchRec::Attr() const {
    complete();
    return m_attr;
}

bool TSearchRec::HasAttr(int bits) const {
    if (bits & faReadOnly)
        complete();
    return (m_attr & bits) != 0;
}

std::int64_t TSearchRec::Size() const {
    complete();
    return m_size;
}

#ifdef _WIN32

namespace {

int findMatching(TSearchRec& rec, WIN32_FIND_DATAW& data, HANDLE handle, int excludeAttr) {
    while (data.dwFileAttributes & static_cast<DWORD>(excludeAttr)) {
        if (!::FindNextFileW(handle, &data))
            return static_cast<int>(::GetLastError());
    }
    rec.Name = Utf8FromWide(data.cFileName);
    const std::int64_t size = (static_cast<std::int64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    const std::int64_t modified =
        static_cast<std::int64_t>((static_cast<std::uint64_t>(data.ftLastWriteTime.dwHighDateTime) << 32) |
                                  data.ftLastWriteTime.dwLowDateTime);
    TSearchFound::Set(rec, static_cast<int>(data.dwFileAttributes), size, true,
                      TListedVersion{.size = size, .modified = modified});
    return 0;
}

} // namespace

int FindFirst(const std::string& path, int attr, TSearchRec& rec) {
    FindClose(rec);
    WIN32_FIND_DATAW data{};
    HANDLE handle = ::FindFirstFileW(WideFromUtf8(NativePath(path)).c_str(), &data);
    if (handle == INVALID_HANDLE_VALUE)
        return static_cast<int>(::GetLastError());
    rec.m_excludeAttr = ~attr & kSpecialAttr;
    const int result = findMatching(rec, data, handle, rec.m_excludeAttr);
    if (result != 0) {
        ::FindClose(handle);
        return result;
    }
    rec.m_handle = handle;
    return 0;
}

int FindNext(TSearchRec& rec) {
    if (!rec.m_handle)
        return kErrorNoMoreFiles;
    WIN32_FIND_DATAW data{};
    if (!::FindNextFileW(static_cast<HANDLE>(rec.m_handle), &data))
        return static_cast<int>(::GetLastError());
    return findMatching(rec, data, static_cast<HANDLE>(rec.m_handle), rec.m_excludeAttr);
}

void FindClose(TSearchRec& rec) {
    if (rec.m_handle)
        ::FindClose(static_cast<HANDLE>(rec.m_handle));
    rec.m_handle = nullptr;
}

void TSearchRec::complete() const {}

#else

namespace {

// Wildcard match of a whole name: "*" any run of characters, "?" one byte, other bytes equal.
bool matchesFolded(std::string_view name, std::string_view pattern) {
    std::size_t n = 0;
    std::size_t p = 0;
    std::size_t starP = std::string_view::npos;
    std::size_t starN = 0;
    while (n < name.size()) {
        if (p < pattern.size() && (pattern[p] == '?' || pattern[p] == name[n])) {
            ++p;
            ++n;
        } else if (p < pattern.size() && pattern[p] == '*') {
            starP = p++;
            starN = n;
        } else if (starP != std::string_view::npos) {
            p = starP + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*')
        ++p;
    return p == pattern.size();
}

// The wildcard match of a name with a pattern already folded by FoldedName: letters compare without
// regard to case; "?" takes one byte of the folded name.
bool matches(std::string_view name, std::string_view foldedPattern) {
    if (foldedPattern == "*" || foldedPattern == "*.*")
        return true;
    return matchesFolded(FoldedName(name), foldedPattern);
}

int errorOfErrno(int error) {
    switch (error) {
    case EACCES:
    case EPERM:
        return kErrorAccessDenied;
    default:
        return kErrorPathNotFound;
    }
}

// The attribute bits of a file's mode: the kind, and read-only when no one may write.
int attrOfMode(mode_t mode) {
    int attr = S_ISDIR(mode) ? faDirectory : S_ISREG(mode) ? faArchive : faDevice;
    if ((mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0)
        attr |= faReadOnly;
    return attr;
}

// The kind the listing tells, or 0 when it does not (a link, or a file system without d_type).
int attrOfListedType(unsigned char type) {
    switch (type) {
    case DT_DIR:
        return faDirectory;
    case DT_REG:
        return faArchive;
    case DT_FIFO:
    case DT_SOCK:
    case DT_CHR:
    case DT_BLK:
        return faDevice;
    default:
        return 0;
    }
}

// Reads entries up to the next that the search reports, and fills rec with it.
int findMatching(TSearchRec& rec, DIR* dir, const std::string& pattern, int excludeAttr) {
    while (const dirent* entry = ::readdir(dir)) {
        const std::string_view name = entry->d_name;
        if (!matches(name, pattern))
            continue;
        const bool hidden = name[0] == '.' && name != "." && name != "..";
        if (hidden && (excludeAttr & faHidden))
            continue;
        int attr = attrOfListedType(entry->d_type);
        std::int64_t size = 0;
        const bool listed = attr != 0;
        if (!listed) {
            struct stat st {};
            if (::fstatat(::dirfd(dir), entry->d_name, &st, 0) == 0) {
                attr = attrOfMode(st.st_mode);
                if (S_ISREG(st.st_mode))
                    size = st.st_size;
            } else if (::fstatat(::dirfd(dir), entry->d_name, &st, AT_SYMLINK_NOFOLLOW) == 0 &&
                       S_ISLNK(st.st_mode)) {
                // A dangling (or looping) link: a file that fails to open, as Windows would show it.
                attr = faArchive;
            } else {
                continue; // removed since the folder was read
            }
        }
        if (hidden)
            attr |= faHidden;
        if (attr & excludeAttr)
            continue;
        rec.Name.assign(name);
        TSearchFound::Set(rec, attr, size, !listed, TListedVersion{.file = entry->d_ino});
        return 0;
    }
    return kErrorNoMoreFiles;
}

} // namespace

int FindFirst(const std::string& path, int attr, TSearchRec& rec) {
    FindClose(rec);
    const std::string folder = FolderPart(path);
    std::string pattern = FoldedName(FileNamePart(path));
    if (pattern.empty())
        return kErrorFileNotFound;
    // "C:" alone names the drive's root here; "" is the working folder.
    const std::string native = NativePath(folder.empty() ? std::string(".") : folder);
    TUniqueDir dir(::opendir(native.c_str()));
    if (!dir)
        return errorOfErrno(errno);
    rec.m_excludeAttr = ~attr & kSpecialAttr;
    rec.m_pattern = std::move(pattern);
    rec.m_folder = native;
    if (findMatching(rec, dir.get(), rec.m_pattern, rec.m_excludeAttr) != 0)
        return kErrorFileNotFound;
    rec.m_handle = dir.release();
    return 0;
}

int FindNext(TSearchRec& rec) {
    if (!rec.m_handle)
        return kErrorNoMoreFiles;
    return findMatching(rec, static_cast<DIR*>(rec.m_handle), rec.m_pattern, rec.m_excludeAttr);
}

void FindClose(TSearchRec& rec) {
    if (rec.m_handle)
        ::closedir(static_cast<DIR*>(rec.m_handle));
    rec.m_handle = nullptr;
}

void TSearchRec::complete() const {
    if (m_complete)
        return;
    m_complete = true;
    struct stat st {};
    const int found = m_handle ? ::fstatat(::dirfd(static_cast<DIR*>(m_handle)), Name.c_str(), &st, 0)
                               : ::stat((m_folder + "/" + Name).c_str(), &st);
    if (found != 0)
        return; // removed since it was listed: what the listing told stays
    m_attr = (m_attr & ~(faDirectory | faArchive | faDevice)) | attrOfMode(st.st_mode);
    m_size = S_ISREG(st.st_mode) ? st.st_size : 0;
}

#endif
