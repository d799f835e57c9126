// SPDX-License-Identifier: GPL-3.0-or-later
#include "CommandTable.h"

#include "Commands.h"
#include "tracks/TrackCatalogue.h"

namespace {

const TOption jsonOptions[] = {
    {"--json", nullptr, nullptr, TWordKind::None, {}, "write one JSON object"},
};
const TOption storeOptions[] = {
    {"--to", nullptr, "FOLDER", TWordKind::Folder, {}, "the archive folder"},
    jsonOptions[0],
};
const TOption fetchOptions[] = {
    {"--into", nullptr, "EVENT-FOLDER", TWordKind::Folder, {}, "the event folder"},
    jsonOptions[0],
};
#ifdef SKARNRES_PREVIEW
const char* const modes[] = {"0", "1", "2"};
const TOption tgaOptions[] = {
    {"--output", "-o", "OUT.png", TWordKind::Png, {}, "the PNG file to write"},
    {"--mode", nullptr, "0|1|2", TWordKind::Choice, modes, "what the decoder makes"},
};
const TOption previewOptions[] = {
    {"--event", nullptr, "TYPE", TWordKind::Choice, EventTypes, "the event type"},
    {"--output", "-o", "OUT.png", TWordKind::Png, {}, "the PNG file to write"},
};
#endif

const TOption commonOptions[] = {
    {"--verbose", "-v", nullptr, TWordKind::None, {}, "say which Wine prefix is used"},
    {"--help", "-h", nullptr, TWordKind::None, {}, "say what the command does"},
};

const TCommand commands[] = {
    {"ls", "ls FILE [--json]", "list a container's entries",
     "Lists the entries of the container FILE in their order, one line each: the index, the entry's "
     "name, its offset and its length in bytes, separated by tabs. Names are escaped as in tracks.",
     TWordKind::Track, jsonOptions, CmdLs},
    {"cat",
     "cat FILE ENTRY",
     "write an entry's bytes to standard output",
     "Writes the bytes of the entry ENTRY of the container FILE to standard output, descrambled as the "
     "game reads them. ENTRY is an entry name, compared without regard to letter case (of equal names "
     "the last one counts), or, when no entry has that name, the entry's index.",
     TWordKind::Track,
     {},
     CmdCat},
    {"scene-name",
     "scene-name FILE",
     "print a track's display name",
     "Prints the display name of the track FILE as the track manager shows it, in UTF-8, or an empty "
     "line when the track has none.",
     TWordKind::Track,
     {},
     CmdSceneName},
    {"tracks", "tracks EVENT-FOLDER [--json]", "list an event folder as the window does",
     "Lists the tracks of the event folder EVENT-FOLDER (for example C:\\Games\\Skarn Rally "
     "2\\Vevozura\\Baja) in the window's order, one line each: A for an active or X for an inactive "
     "track, the display name and the file name, separated by tabs. In each field a backslash is "
     "written \\\\, a tab \\t, a line feed \\n, a carriage return \\r, and any other control "
     "character or byte that is not part of well-formed UTF-8 \\xHH, so that every track is one line. "
     "Track files that cannot be read are left out and named on standard error, and the status is "
     "then 1.\n\n"
     "With --json, this command, ls, game-root, start, stop, store, fetch and ls-archive write one JSON "
     "object instead of lines, as README.md describes.",
     TWordKind::Folder, jsonOptions, CmdTracks},
    {"game-root", "game-root [--json]", "print the game's root folder",
     "Prints the game's root folder as the track manager reads it from the registry, ending in a "
     "backslash. Ends with status 1 when the game's registry key is not found.",
     TWordKind::None, jsonOptions, CmdGameRoot},
    {"start", "start FILE... [--json]", "make tracks active (.env)",
     "Makes each track FILE active by renaming it to end in .env, never replacing a file, and prints one "
     "line per track: its fate (done, already, exists, missing, refused), the track, its new path and why "
     "it was left as it was, separated by tabs. A track left as it was is named on standard error too, "
     "and the status is then 1.",
     TWordKind::Track, jsonOptions, CmdStart},
    {"stop", "stop FILE... [--json]", "make tracks inactive (.~env)",
     "Makes each track FILE inactive by renaming it to end in .~env, and prints one line per track as "
     "start does.",
     TWordKind::Track, jsonOptions, CmdStop},
    {"store", "store FILE... --to FOLDER [--json]", "move tracks into an archive folder",
     "Moves each track FILE into the archive folder FOLDER, as the window's Store button does, replacing "
     "an archived copy of the same name, and prints one line per track as start does, with the path of "
     "its copy. One command never replaces a copy it made itself: a second track of the same name is "
     "refused. "
     "A track that changes while it is moved stays where it was. A track whose file cannot be deleted "
     "after it was archived is named on standard error, stays in its folder as well, and makes the "
     "status 1. The first failure ends the command: the tracks before it are moved, it and the ones "
     "after it are untouched.",
     TWordKind::Track, storeOptions, CmdStore},
    {"fetch", "fetch FILE... --into EVENT-FOLDER [--json]", "copy archived tracks into an event folder",
     "Copies each archived track FILE into the event folder EVENT-FOLDER, as the window's Fetch button "
     "does, and prints one line per track as start does, with the path of its copy. The archived track "
     "stays where it is. A track whose other state is in the folder (FILE t.env beside t.~env) is left "
     "out (exists), and a FILE that is the track in the folder already is left as it is (already). The "
     "first failure to copy or write ends the command.\n\n"
     "A FILE that is a downloaded archive (.zip, .7z, .rar, .tar, .tar.gz, .tgz, .tar.bz2, .tar.xz) gives "
     "every track inside it, at any depth, under its file name alone; its lines name the archive and the "
     "entry, separated by a colon. Links, devices, encrypted entries and a second track of one name are "
     "never written (refused, exists); an entry that cannot be read is refused without ending the "
     "command, and so is an archive without tracks. A track larger than 1 GiB, an archive of more than "
     "10000 entries, or one that unpacks to more than 100 times its size (beyond 128 MiB) is refused "
     "before it fills the disk.",
     TWordKind::Track, fetchOptions, CmdFetch},
    {"ls-archive", "ls-archive ARCHIVE [--json]", "list the tracks a downloaded archive holds",
     "Lists the entries of ARCHIVE that fetch would bring, one line each: A for an active or X for an "
     "inactive track, its display name read from the track itself, the file name it gets and the entry's "
     "name in the archive, separated by tabs and escaped as in tracks. An entry named like a track that "
     "is not fetched (a link, a device, encrypted, too large, a name Windows does not allow) has - in "
     "place of the letter and the reason as a fifth field, and makes the status 1. With --json the list "
     "is printed as one JSON object.",
     TWordKind::File, jsonOptions, CmdLsArchive},
#ifdef SKARNRES_PREVIEW
    {"tga", "tga IN.tga -o OUT.png [--mode 0|1|2]", "decode a TGA image as the program does",
     "Decodes the TGA image IN.tga as the track manager does and writes the picture to OUT.png. --mode "
     "chooses what the decoder makes: 0 keeps 1- and 8-bit images at their depth and makes the others 24 "
     "bits, 1 makes an 8-bit picture (true colour as grey), 2 (the default, as the preview does) makes a "
     "24-bit picture of every image.\n\n"
     "A damaged image gives what the decoder leaves, as the program would show it: the 1 x 1 picture "
     "after a rejected header (with a warning on standard error), or the rows decoded so far when the "
     "data end early. Pictures of more than 67108864 pixels (8192 x 8192) are refused. OUT.png takes "
     "its name only when it is complete, so a failed write leaves an existing file as it was.",
     TWordKind::Tga, tgaOptions, CmdTga},
    {"preview", "preview FILE --event TYPE -o OUT.png", "write a track's preview picture",
     "Writes to OUT.png the preview the window shows for the track FILE under the event type TYPE "
     "(Baja, Enduro, National, Quarries, SX or Tag): the track's picture on the 285 x 139 preview, or "
     "the placeholder when the track has none.",
     TWordKind::Track, previewOptions, CmdPreview},
#endif
    {"help",
     "help [COMMAND]",
     "say what a command does",
     "Prints what the command COMMAND does, or without COMMAND the list of commands. skarnres COMMAND "
     "--help does the same.",
     TWordKind::Command,
     {},
     nullptr},
};

} // namespace

std::span<const TCommand> Commands() {
    return commands;
}

const TCommand* FindCommand(std::string_view name) {
    for (const TCommand& command : commands) {
        if (name == command.name)
            return &command;
    }
    return nullptr;
}

std::span<const TOption> CommonOptions() {
    return commonOptions;
}

const TOption* FindOption(const TCommand& command, std::string_view word) {
    for (const std::span<const TOption> options : {command.options, CommonOptions()}) {
        for (const TOption& option : options) {
            if (word == option.name || (option.shortName && word == option.shortName))
                return &option;
        }
    }
    return nullptr;
}
