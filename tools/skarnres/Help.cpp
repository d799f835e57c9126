#include "Help.h"

#include <algorithm>
#include <cctype>
#include <ostream>
#include <string>
#include <vector>

#ifndef TM_VERSION
#error "TM_VERSION (the project's version) must be defined by the build"
#endif
#ifndef TM_RELEASE_DATE
#error "TM_RELEASE_DATE (the date of the version, YYYY-MM-DD) must be defined by the build"
#endif

namespace {

const char* const summary = "look into the track files of Skarn Rally 2 from a shell";

const char* const description =
    "skarnres reads and changes the add-on tracks of Skarn Rally 2 through the same code as the track "
    "manager: it lists and extracts the entries of a track's container, prints display names and the "
    "track list of an event folder, makes tracks active or inactive, stores and fetches them, and "
    "decodes their preview pictures.\n\n"
    "A path may be native (/home/me/tracks/mx1.env) or Windows-style (C:\\Games\\Skarn Rally "
    "2\\Vevozura\\Baja\\mx1.env). A Windows-style path is resolved through the Wine prefix (see "
    "WINEPREFIX), its drive letter through the prefix's drive links and each name matched without "
    "regard to letter case, as Windows would.";

const char* const windowSummary = "list, activate, archive and fetch back the add-on tracks of Skarn Rally 2";

const char* const windowDescription =
    "The track manager lists the add-on tracks of one event type of Skarn Rally 2 under their display "
    "names and shows the preview picture of the track clicked. Start and Stop make the chosen tracks "
    "active or inactive, Store moves them into an archive folder, Fetch copies archived tracks back, "
    "and Delete removes them after asking. It never changes the game's container files and never loses "
    "a track file.\n\n"
    "It reads no command line and keeps no settings: it finds the game through the registry of the "
    "game's Wine prefix (see WINEPREFIX), and tells with a message when it finds none.\n\n"
    "Keys: Alt+X exits. Alt+S and Alt+T start and stop the selected tracks; Enter or a double-click "
    "switches them between active and inactive. Alt+R stores, Alt+F fetches, and so does dropping .env "
    "or .~env files on the list. Delete or Alt+D deletes, into the desktop's trash where it has one. F5 "
    "reads the event folder again, as the window does by itself when another program changes it. Esc "
    "cancels a long operation between two tracks. The status bar says what each operation did.";

const char* const environment =
    "The Wine prefix that holds the game's registry and drives, an absolute path; when it is set, no "
    "other prefix is looked at. When it is not set, ~/.wine is looked at first, then the prefixes of "
    "the usual launchers (Lutris, Bottles, Heroic, Steam, PlayOnLinux, CrossOver), and the first that "
    "holds the game is used. The prefix used is named on standard error.";

const char* const exitStatus =
    "0 on success. 1 with a one-line message on standard error otherwise; start and stop also end with "
    "1 when a track could not be renamed.";

const TCommandHelp commands[] = {
    {"ls", "ls FILE", "list a container's entries",
     "Lists the entries of the container FILE in their order, one line each: the index, the entry's "
     "name, its offset and its length in bytes, separated by tabs. Names are escaped as in tracks."},
    {"cat", "cat FILE ENTRY", "write an entry's bytes to standard output",
     "Writes the bytes of the entry ENTRY of the container FILE to standard output, descrambled as the "
     "game reads them. ENTRY is an entry name, compared without regard to letter case (of equal names "
     "the last one counts), or, when no entry has that name, the entry's index."},
    {"scene-name", "scene-name FILE", "print a track's display name",
     "Prints the display name of the track FILE as the track manager shows it, in UTF-8, or an empty "
     "line when the track has none."},
    {"tracks", "tracks EVENT-FOLDER", "list an event folder as the window does",
     "Lists the tracks of the event folder EVENT-FOLDER (for example C:\\Games\\Skarn Rally "
     "2\\Vevozura\\Baja) in the window's order, one line each: A for an active or X for an inactive "
     "track, the display name and the file name, separated by tabs. In each field a backslash is "
     "written \\\\, a tab \\t, a line feed \\n, a carriage return \\r, and any other control "
     "character or byte that is not part of well-formed UTF-8 \\xHH, so that every track is one line. "
     "Track files that cannot be read are left out and named on standard error, and the status is "
     "then 1."},
    {"game-root", "game-root", "print the game's root folder",
     "Prints the game's root folder as the track manager reads it from the registry, ending in a "
     "backslash. Ends with status 1 when the game's registry key is not found."},
    {"start", "start FILE...", "make tracks active (.env)",
     "Makes each track FILE active by renaming it to end in .env, and prints its old and new path "
     "separated by a tab. A track that cannot be renamed is left as it was and named with the words "
     "\"left as it was\"; the status is then 1."},
    {"stop", "stop FILE...", "make tracks inactive (.~env)",
     "Makes each track FILE inactive by renaming it to end in .~env, and prints its old and new path "
     "separated by a tab. A track that cannot be renamed is left as it was and named with the words "
     "\"left as it was\"; the status is then 1."},
    {"store", "store FILE... --to FOLDER", "move tracks into an archive folder",
     "Moves each track FILE into the archive folder FOLDER, as the window's Store button does, replacing "
     "an archived copy of the same name, and prints the track and the path of its copy separated by a "
     "tab. One command never replaces a copy it made itself: a second track of the same name is refused. "
     "A track that changes while it is moved stays where it was. A track whose file cannot be deleted "
     "after it was archived is named on standard error, stays in its folder as well, and makes the "
     "status 1. The first failure ends the command: the tracks before it are moved, it and the ones "
     "after it are untouched."},
    {"fetch", "fetch FILE... --into EVENT-FOLDER", "copy archived tracks into an event folder",
     "Copies each archived track FILE into the event folder EVENT-FOLDER, as the window's Fetch button "
     "does, and prints the track and the path of its copy separated by a tab. The archived track stays "
     "where it is. The first failure ends the command."},
#ifdef SKARNRES_PREVIEW
    {"tga", "tga IN.tga -o OUT.png [--mode 0|1|2]", "decode a TGA image as the program does",
     "Decodes the TGA image IN.tga as the track manager does and writes the picture to OUT.png. --mode "
     "chooses what the decoder makes: 0 keeps 1- and 8-bit images at their depth and makes the others 24 "
     "bits, 1 makes an 8-bit picture (true colour as grey), 2 (the default, as the preview does) makes a "
     "24-bit picture of every image.\n\n"
     "A damaged image gives what the decoder leaves, as the program would show it: the 1 x 1 picture "
     "after a rejected header (with a warning on standard error), or the rows decoded so far when the "
     "data end early. Pictures of more than 67108864 pixels (8192 x 8192) are refused. OUT.png takes "
     "its name only when it is complete, so a failed write leaves an existing file as it was."},
    {"preview", "preview FILE --event TYPE -o OUT.png", "write a track's preview picture",
     "Writes to OUT.png the preview the window shows for the track FILE under the event type TYPE "
     "(Baja, Enduro, National, Quarries, SX or Tag): the track's picture on the 285 x 139 preview, or "
     "the placeholder when the track has none."},
#endif
    {"help", "help [COMMAND]", "say what a command does",
     "Prints what the command COMMAND does, or without COMMAND the list of commands. skarnres COMMAND "
     "--help does the same."},
};

// The paragraphs of a text, separated by blank lines.
std::vector<std::string> paragraphs(std::string_view text) {
    std::vector<std::string> result;
    std::size_t start = 0;
    while (start <= text.size()) {
        const std::size_t end = std::min(text.find("\n\n", start), text.size());
        result.emplace_back(text.substr(start, end - start));
        start = end + 2;
    }
    return result;
}

// A paragraph broken into lines of at most width characters (a longer word stands alone), each
// beginning with indent spaces.
void printWrapped(std::ostream& out, std::string_view text, std::size_t indent, std::size_t width = 79) {
    std::size_t column = 0;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find(' ', start);
        if (end == std::string_view::npos)
            end = text.size();
        const std::string_view word = text.substr(start, end - start);
        if (column > 0 && column + 1 + word.size() > width) {
            out << '\n';
            column = 0;
        }
        if (column == 0) {
            out << std::string(indent, ' ');
            column = indent;
        } else {
            out << ' ';
            ++column;
        }
        out << word;
        column += word.size();
        start = end + 1;
    }
    out << '\n';
}

// Text for roff: backslashes escaped, a hyphen that begins a word (an option) made a minus sign so that
// it can be copied into a shell, and a line that would begin with a control character protected.
std::string roff(std::string_view text) {
    std::string result;
    if (!text.empty() && (text[0] == '.' || text[0] == '\''))
        result += "\\&";
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\\')
            result += "\\e";
        else if (c == '-' && (i == 0 || text[i - 1] == ' ' || text[i - 1] == '[' || text[i - 1] == '-'))
            result += "\\-";
        else
            result += c;
    }
    return result;
}

// A synopsis for roff: words that stand for arguments (they begin with a capital) in italics, the
// words to type in bold, brackets and ellipses plain.
std::string roffSynopsis(std::string_view synopsis) {
    std::string result;
    std::size_t start = 0;
    while (start < synopsis.size()) {
        std::size_t end = synopsis.find(' ', start);
        if (end == std::string_view::npos)
            end = synopsis.size();
        std::string_view word = synopsis.substr(start, end - start);
        std::string before, after;
        while (!word.empty() && word.front() == '[') {
            before += '[';
            word.remove_prefix(1);
        }
        while (!word.empty() && (word.back() == ']' || word.back() == '.')) {
            after.insert(after.begin(), word.back());
            word.remove_suffix(1);
        }
        if (!result.empty())
            result += ' ';
        const bool argument = !word.empty() && std::isupper(static_cast<unsigned char>(word[0]));
        result += before;
        result += argument ? "\\fI" : "\\fB";
        result += roff(word);
        result += "\\fR";
        result += after;
        start = end + 1;
    }
    return result;
}

void writeRoffParagraphs(std::ostream& out, std::string_view text, const char* separator) {
    bool first = true;
    for (const std::string& paragraph : paragraphs(text)) {
        if (!first)
            out << separator << '\n';
        out << roff(paragraph) << '\n';
        first = false;
    }
}

} // namespace

std::span<const TCommandHelp> CommandHelp() {
    return commands;
}

const TCommandHelp* FindCommandHelp(std::string_view name) {
    for (const TCommandHelp& command : commands) {
        if (name == command.name)
            return &command;
    }
    return nullptr;
}

void PrintVersion(std::ostream& out) {
    out << "skarnres " << TM_VERSION << '\n';
}

void PrintUsage(std::ostream& out) {
    out << "usage: skarnres COMMAND ARGS...\n"
           "       skarnres help COMMAND | --help | --version\n\n"
           "skarnres: "
        << summary << ".\n\nCommands:\n";
    const std::size_t column = 34;
    for (const TCommandHelp& command : commands) {
        const std::string synopsis = std::string("  ") + command.synopsis;
        out << synopsis;
        if (synopsis.size() + 2 > column)
            out << '\n' << std::string(column, ' ');
        else
            out << std::string(column - synopsis.size(), ' ');
        out << command.summary << '\n';
    }
    out << '\n';
    printWrapped(out, paragraphs(description).back(), 0);
    out << '\n';
    printWrapped(out, "See 'skarnres help COMMAND' for one command, 'man skarnres' for everything.", 0);
}

void PrintCommandHelp(std::ostream& out, const TCommandHelp& command) {
    out << "usage: skarnres " << command.synopsis << "\n\n";
    bool first = true;
    for (const std::string& paragraph : paragraphs(command.details)) {
        if (!first)
            out << '\n';
        printWrapped(out, paragraph, 0);
        first = false;
    }
}

void WriteManPage(std::ostream& out) {
    out << ".TH SKARNRES 1 " << TM_RELEASE_DATE << " \"skarnres " << TM_VERSION << "\" \"User Commands\"\n"
        << ".SH NAME\nskarnres \\- " << roff(summary) << '\n'
        << ".SH SYNOPSIS\n"
           ".B skarnres\n\\fICOMMAND\\fR [\\fIARGS\\fR...]\n.br\n"
           ".B skarnres help\n[\\fICOMMAND\\fR]\n.br\n"
           ".B skarnres \\-\\-help\n.br\n"
           ".B skarnres \\-\\-version\n"
        << ".SH DESCRIPTION\n";
    writeRoffParagraphs(out, description, ".PP");
    out << ".SH COMMANDS\n";
    for (const TCommandHelp& command : commands) {
        out << ".TP\n" << roffSynopsis(command.synopsis) << '\n';
        writeRoffParagraphs(out, command.details, ".IP");
    }
    out << ".SH OPTIONS\n"
           ".TP\n.BR \\-\\-help \", \" \\-h\nPrint the commands with their arguments, then exit.\n"
           ".TP\n.B \\-\\-version\nPrint the version, then exit.\n"
           ".SH ENVIRONMENT\n.TP\n.B WINEPREFIX\n"
        << roff(environment) << '\n'
        << ".SH EXIT STATUS\n"
        << roff(exitStatus) << '\n'
        << ".SH SEE ALSO\n.BR track-manager (1)\n";
}

void WriteWindowManPage(std::ostream& out) {
    out << ".TH TRACK-MANAGER 1 " << TM_RELEASE_DATE << " \"track-manager " << TM_VERSION
        << "\" \"User Commands\"\n"
        << ".SH NAME\ntrack-manager \\- " << roff(windowSummary) << '\n'
        << ".SH SYNOPSIS\n.B track-manager\n"
        << ".SH DESCRIPTION\n";
    writeRoffParagraphs(out, windowDescription, ".PP");
    out << ".SH ENVIRONMENT\n.TP\n.B WINEPREFIX\n"
        << roff(environment) << '\n'
        << ".SH SEE ALSO\n.BR skarnres (1)\n";
}
