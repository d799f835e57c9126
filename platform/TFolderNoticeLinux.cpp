// SPDX-License-Identifier: GPL-3.0-or-later
#include "TFolderNotice.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <sys/inotify.h>
#include <unistd.h>
#include <utility>

namespace {

// A file's content is told once it is closed after writing, not at every write: a file being copied
// in gives one change, and reading it before then would give what is only half there. Its attributes
// tell a time or mode set afterwards (a copy that keeps the original's times).
constexpr std::uint32_t WatchedChanges = IN_CLOSE_WRITE | IN_ATTRIB | IN_CREATE | IN_DELETE | IN_MOVED_FROM |
                                         IN_MOVED_TO | IN_DELETE_SELF | IN_MOVE_SELF;
// Beyond this many written names, reading every file costs about as much as reading each named one.
constexpr std::size_t MaxWrittenNames = 1 << 16;
// Renames out of the folder never end in it: only the latest renames are waited for.
constexpr std::size_t MaxMoves = 256;

} // namespace

TFolderNotice::TFolderNotice() : m_handle(::inotify_init1(IN_NONBLOCK | IN_CLOEXEC)) {}

TFolderNotice::~TFolderNotice() {
    if (m_handle >= 0)
        ::close(m_handle);
}

bool TFolderNotice::Watch(const std::string& folder) {
    if (m_handle < 0)
        return false;
    // A watch that ended (its folder removed) is known before it is kept.
    ReadWaiting();
    if (m_watch >= 0 && folder == m_folder)
        return true;
    if (m_watch >= 0)
        ::inotify_rm_watch(m_handle, m_watch);
    m_watch = ::inotify_add_watch(m_handle, folder.c_str(), WatchedChanges | IN_ONLYDIR);
    m_folder = m_watch >= 0 ? folder : std::string();
    m_moves.clear();
    // What happened in the folder before its watch began is unknown; without a watch, nothing is told.
    m_news = TFolderNews{.Written = {}, .Everything = m_watch >= 0};
    return m_watch >= 0;
}

bool TFolderNotice::ReadWaiting() {
    if (m_handle < 0)
        return false;
    bool noticed = false;
    alignas(inotify_event) char buffer[16 * 1024];
    for (;;) {
        const ssize_t got = ::read(m_handle, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            break; // EAGAIN: nothing more is waiting
        // The system hands over whole changes; a length that says otherwise ends the reading.
        const auto size = static_cast<std::size_t>(got);
        std::size_t at = 0;
        while (sizeof(inotify_event) <= size - at) {
            inotify_event change;
            std::memcpy(&change, buffer + at, sizeof change);
            const char* name = buffer + at + sizeof change;
            if (change.len > size - at - sizeof change)
                break;
            at += sizeof change + change.len;
            // The name is padded with zero bytes to its length.
            noticed |=
                take(change.wd, change.mask, change.cookie, std::string(name, ::strnlen(name, change.len)));
        }
    }
    return noticed;
}

TFolderNews TFolderNotice::Take() {
    ReadWaiting();
    return std::exchange(m_news, TFolderNews{});
}

bool TFolderNotice::take(int watch, std::uint32_t mask, std::uint32_t cookie, const std::string& name) {
    if (mask & IN_Q_OVERFLOW) {
        m_news = TFolderNews{.Written = {}, .Everything = true};
        return true;
    }
    if (watch != m_watch || m_watch < 0)
        return false; // the rest of a watch given up
    if (mask & (IN_DELETE_SELF | IN_MOVE_SELF | IN_UNMOUNT | IN_IGNORED)) {
        // The folder is gone from its path: the next Watch watches what is there now. A folder moved
        // away would go on telling its changes.
        ::inotify_rm_watch(m_handle, m_watch);
        m_watch = -1;
        m_folder.clear();
        m_news = TFolderNews{.Written = {}, .Everything = true};
        return true;
    }
    if (name.empty() || (mask & IN_ISDIR))
        return true; // the folder's own attributes, or a folder in it: no track
    if (mask & (IN_CLOSE_WRITE | IN_ATTRIB | IN_CREATE)) {
        written(name);
    } else if (mask & IN_MOVED_FROM) {
        // A name written and then renamed: the file under its new name is what was written.
        if (m_moves.size() == MaxMoves)
            m_moves.erase(m_moves.begin());
        m_moves.push_back(TMove{cookie, m_news.Written.erase(name) > 0});
    } else if (mask & IN_MOVED_TO) {
        // A file moved in from another folder may have the file id of one deleted here.
        const auto move = std::find_if(m_moves.rbegin(), m_moves.rend(),
                                       [cookie](const TMove& m) { return m.cookie == cookie; });
        if (move == m_moves.rend() || move->written)
            written(name);
        if (move != m_moves.rend())
            m_moves.erase(std::next(move).base());
    }
    return true;
}

void TFolderNotice::written(const std::string& name) {
    if (m_news.Everything)
        return;
    if (m_news.Written.size() == MaxWrittenNames) {
        m_news = TFolderNews{.Written = {}, .Everything = true};
        return;
    }
    m_news.Written.insert(name);
}
