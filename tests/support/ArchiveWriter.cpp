// SPDX-License-Identifier: GPL-3.0-or-later
#include "ArchiveWriter.h"

#include <archive.h>
#include <archive_entry.h>

#include <cstdio>
#include <cstring>
#include <stdexcept>

namespace {

la_ssize_t append(archive*, void* data, const void* bytes, size_t count) {
    auto& out = *static_cast<std::vector<std::uint8_t>*>(data);
    const auto* begin = static_cast<const std::uint8_t*>(bytes);
    out.insert(out.end(), begin, begin + count);
    return static_cast<la_ssize_t>(count);
}

void check(archive* writer, int status) {
    if (status < ARCHIVE_WARN)
        throw std::runtime_error(std::string("archive writer: ") + archive_error_string(writer));
}

} // namespace

std::vector<std::uint8_t> WriteArchive(const std::string& format, const std::vector<TArchiveItem>& items,
                                       const std::string& passphrase) {
    archive* writer = archive_write_new();
    std::vector<std::uint8_t> out;
    if (format.starts_with("zip")) {
        check(writer, archive_write_set_format_zip(writer));
        check(writer, archive_write_set_options(writer, format == "zip" ? "zip:compression=deflate"
                                                                        : "zip:compression=store"));
    } else if (format == "7z") {
        check(writer, archive_write_set_format_7zip(writer));
    } else {
        check(writer, archive_write_set_format_pax_restricted(writer));
        if (format == "tar.gz")
            check(writer, archive_write_add_filter_gzip(writer));
        else if (format == "tar.bz2")
            check(writer, archive_write_add_filter_bzip2(writer));
        else if (format == "tar.xz")
            check(writer, archive_write_add_filter_xz(writer));
    }
    if (!passphrase.empty()) {
        check(writer, archive_write_set_options(writer, "zip:encryption=zipcrypt"));
        check(writer, archive_write_set_passphrase(writer, passphrase.c_str()));
    }
    check(writer, archive_write_set_bytes_in_last_block(writer, 1));
    check(writer, archive_write_open(writer, &out, nullptr, append, nullptr));
    for (const TArchiveItem& item : items) {
        archive_entry* entry = archive_entry_new();
        archive_entry_set_pathname(entry, item.name.c_str());
        archive_entry_set_perm(entry, 0644);
        archive_entry_set_mtime(entry, 1700000000, 0);
        switch (item.kind) {
        case TArchiveItem::File:
            archive_entry_set_filetype(entry, AE_IFREG);
            archive_entry_set_size(entry, static_cast<la_int64_t>(item.bytes.size()));
            break;
        case TArchiveItem::Symlink:
            archive_entry_set_filetype(entry, AE_IFLNK);
            archive_entry_set_symlink(entry, item.target.c_str());
            break;
        case TArchiveItem::Hardlink:
            archive_entry_set_filetype(entry, AE_IFREG);
            archive_entry_set_hardlink(entry, item.target.c_str());
            break;
        case TArchiveItem::CharDevice:
            archive_entry_set_filetype(entry, AE_IFCHR);
            archive_entry_set_rdev(entry, 0x0103);
            break;
        case TArchiveItem::Fifo:
            archive_entry_set_filetype(entry, AE_IFIFO);
            break;
        case TArchiveItem::Folder:
            archive_entry_set_filetype(entry, AE_IFDIR);
            break;
        }
        check(writer, archive_write_header(writer, entry));
        if (item.kind == TArchiveItem::File && !item.bytes.empty() &&
            archive_write_data(writer, item.bytes.data(), item.bytes.size()) < 0)
            check(writer, ARCHIVE_FATAL);
        archive_entry_free(entry);
    }
    check(writer, archive_write_close(writer));
    archive_write_free(writer);
    return out;
}

std::vector<std::uint8_t> TarHeader(const std::string& name, std::int64_t size) {
    std::vector<std::uint8_t> header(512, 0);
    const auto put = [&](std::size_t at, const std::string& text) {
        std::memcpy(header.data() + at, text.data(), text.size());
    };
    const auto octal = [](std::int64_t value, int digits) {
        char text[32];
        std::snprintf(text, sizeof text, "%0*llo", digits, static_cast<unsigned long long>(value));
        return std::string(text);
    };
    put(0, name);              // 0x000 name
    put(100, octal(0644, 7));  // 0x064 mode
    put(108, octal(0, 7));     // 0x06C uid
    put(116, octal(0, 7));     // 0x074 gid
    put(124, octal(size, 11)); // 0x07C size
    put(136, octal(0, 11));    // 0x088 mtime
    put(148, "        ");      // 0x094 checksum, blanks while it is summed
    header[156] = '0';         // 0x09C a plain file
    put(257, std::string("ustar\0"
                         "00",
                         8));
    unsigned sum = 0;
    for (std::uint8_t byte : header)
        sum += byte;
    put(148, octal(sum, 6));
    header[154] = 0;
    header[155] = ' ';
    return header;
}
