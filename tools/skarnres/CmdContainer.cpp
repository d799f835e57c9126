// SPDX-License-Identifier: GPL-3.0-or-later
#include <cstdio>
#include <iostream>

#include "Commands.h"
#include "JsonOutput.h"
#include "TextEscape.h"
#include "container/TSkarnFolder.h"

namespace {

// A file whose header is not a container's lists nothing: say so instead of printing nothing.
void refuseUnknownKind(const TSkarnFolder& folder, const std::string& path) {
    if (folder.Kind() == TSkarnFolder::KindUnknown)
        throw ECommandFailed(path + " is not a track container: it lacks the container's header");
}

} // namespace

// skarnres ls FILE [--json]: one line per entry: index, name (escaped by EscapeField), offset, length,
// tab-separated.
int CmdLs(const std::vector<std::string>& words, const TWinePrefix& prefix) {
    const TArguments parsed = SplitArguments(words);
    const bool json = WantsJson(parsed);
    const std::vector<std::string>& args = parsed.operands;
    if (args.size() != 1)
        throw EUsageError("usage: skarnres ls FILE [--json]");
    const TSkarnFolder folder(args[0], true);
    refuseUnknownKind(folder, args[0]);
    nlohmann::json entries = nlohmann::json::array();
    for (int i = 0; i < folder.Count(); ++i) {
        FolderEntry rec{};
        folder.GetEntry(i, rec);
        if (json)
            entries.push_back({{"index", i},
                               {"name", JsonText(rec.Name)},
                               {"offset", rec.offset()},
                               {"length", rec.length()}});
        else
            std::cout << i << '\t' << EscapeField(rec.Name) << '\t' << rec.offset() << '\t' << rec.length()
                      << '\n';
    }
    if (json)
        PrintJson({{"command", "ls"}, {"file", JsonText(prefix.AsGiven(args[0]))}, {"entries", entries}});
    return 0;
}

// skarnres cat FILE ENTRY: the entry's bytes as the reader gives them (descrambled). ENTRY is an
// entry name, looked up as the program does (the last of equal names, letter case ignored), or,
// when no entry has that name, a decimal index.
int CmdCat(const std::vector<std::string>& words, const TWinePrefix& /*prefix*/) {
    const std::vector<std::string> args = SplitArguments(words).operands;
    if (args.size() != 2)
        throw EUsageError("usage: skarnres cat FILE ENTRY");
    TSkarnFolder folder(args[0], true);
    refuseUnknownKind(folder, args[0]);
    int index = folder.IndexOfEntry(args[1]);
    if (index < 0 && !args[1].empty() && args[1].find_first_not_of("0123456789") == std::string::npos &&
        args[1].size() < 10)
        index = std::stoi(args[1]);
    if (folder.BadIndex(index))
        throw ECommandFailed("no entry " + args[1] + " in " + args[0]);
    const std::uint8_t* data = folder.EntryData(index);
    const std::int32_t size = folder.EntrySize(index);
    if (data && size > 0) {
        std::fwrite(data, 1, static_cast<std::size_t>(size), stdout);
        std::fflush(stdout);
        if (std::ferror(stdout))
            throw ECommandFailed("cannot write to standard output");
    }
    return 0;
}
