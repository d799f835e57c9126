// SPDX-License-Identifier: GPL-3.0-or-later
#include "CommandTable.h"

#include "Commands.h"
#include "tracks/TrackCatalogue.h"

namespace {

const TOption storeOptions[] = {
    {"--to", nullptr, "FOLDER", TWordKind::Folder, {}, "the archive folder"},
};
const TOption fetchOptions[] = {
    {"--into", nullptr, "EVENT-FOLDER", TWordKind::Folder, {}, "the event folder"},
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
    {"ls",
     "ls FILE",
     "list a container's entries",
     "Lists the entries of the container FILE in their order, one line each: the index, the entry's "
     "name, its offset and its length in bytes, separated by tabs. Names are escaped as in tracks.",
     TWordKind::Track,
     {},
     CmdLs},
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
    {"tracks",
     "tracks EVENT-FOLDER",
     "list an event folder as the window does",
     "Lists the tracks of the event folder EVENT-FOLDER (for example C:\\Games\\Skarn Rally "
     "2\\Vevozura\\Baja) in the window's order, one line each: A for an active or X for an inactive "
     "track, the display name and the file name, separated by tabs. In each field a backslash is "
     "written \\\\, a tab \\t, a line feed \\n, a carriage return \\r, and any other control "
     "character or byte that is not part of well-formed UTF-8 \\xHH, so that every track is one line. "
     "Track files that cannot be read are left out and named on standard error, and the status is "
     "then 1.",
     TWordKind::Folder,
     {},
     CmdTracks},
    {"game-root",
     "game-root",
     "print the game's root folder",
     "Prints the game's root folder as the track manager reads it from the registry, ending in a "
     "backslash. Ends with status 1 when the game's registry key is not found.",
     TWordKind::None,
     {},
     CmdGameRoot},
    {"start",
     "start FILE...",
     "make tracks active (.env)",
     "Makes each track FILE active by renaming it to end in .env, and prints its old and new path "
     "separated by a tab. A track that cannot be renamed is left as it was and named with the words "
     "\"left as it was\"; the status is then 1.",
     TWordKind::Track,
     {},
     CmdStart},
    {"stop",
     "stop FILE...",
     "make tracks inactive (.~env)",
     "Makes each track FILE inactive by renaming it to end in .~env, and prints its old and new path "
     "separated by a tab. A track that cannot be renamed is left as it was and named with the words "
     "\"left as it was\"; the status is then 1.",
     TWordKind::Track,
     {},
     CmdStop},
    {"store", "store FILE... --to FOLDER", "move tracks into an archive folder",
     "Moves each track FILE into the archive folder FOLDER, as the window's Store button does, replacing "
     "an archived copy of the same name, and prints the track and the path of its copy separated by a "
     "tab. One command never replaces a copy it made itself: a second track of the same name is refused. "
     "A track that changes while it is moved stays where it was. A track whose file cannot be deleted "
     "after it was archived is named on standard error, stays in its folder as well, and makes the "
     "status 1. The first failure ends the command: the tracks before it are moved, it and the ones "
     "after it are untouched.",
     TWordKind::Track, storeOptions, CmdStore},
    {"fetch", "fetch FILE... --into EVENT-FOLDER", "copy archived tracks into an event folder",
     "Copies each archived track FILE into the event folder EVENT-FOLDER, as the window's Fetch button "
     "does, and prints the track and the path of its copy separated by a tab. The archived track stays "
     "where it is. The first failure ends the command.",
     TWordKind::Track, fetchOptions, CmdFetch},
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
