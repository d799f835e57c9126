// SPDX-License-Identifier: GPL-3.0-or-later
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
#ifndef TM_LICENSE
#error "TM_LICENSE (the licence, an SPDX expression) must be defined by the build"
#endif
#ifndef TM_HELP_FOR_WINDOWS
#error "TM_HELP_FOR_WINDOWS (1 when the help is for Windows) must be defined by the build"
#endif

namespace {

const char* const summary = "look into the track files of Skarn Rally 2 from a shell";

const char* const description =
    "skarnres reads and changes the add-on tracks of Skarn Rally 2 through the same code as the track "
    "manager: it lists and extracts the entries of a track's container, prints display names and the "
    "track list of an event folder, makes tracks active or inactive, stores and fetches them, and "
    "decodes their preview pictures.";

const char* const linuxPaths =
    "A path may be native (/home/me/tracks/mx1.env) or Windows-style (C:\\Games\\Skarn Rally "
    "2\\Vevozura\\Baja\\mx1.env). A Windows-style path is resolved through the Wine prefix (see "
    "WINEPREFIX), its drive letter through the prefix's drive links and each name matched without "
    "regard to letter case, as Windows would.";

const char* const windowsPaths =
    "A path may be absolute (C:\\Games\\Skarn Rally 2\\Vevozura\\Baja\\mx1.env), on a network "
    "share (\\\\server\\games\\mx1.env) or relative to the working folder (Baja\\mx1.env); letter "
    "case does not matter.";

const char* pathsFor(THelpSystem system) {
    return system == THelpSystem::Windows ? windowsPaths : linuxPaths;
}

const char* const licence =
    "License " TM_LICENSE ": GNU GPL version 3 or later <https://gnu.org/licenses/gpl.html>.\n"
    "This is free software: you are free to change and redistribute it.\n"
    "There is NO WARRANTY, to the extent permitted by law.\n";

const char* const windowSummary = "list, activate, archive and fetch back the add-on tracks of Skarn Rally 2";

const char* const windowDescription =
    "The track manager lists the add-on tracks of one event type of Skarn Rally 2 under their display "
    "names and shows the preview picture of the track clicked. Start and Stop make the chosen tracks "
    "active or inactive, Store moves them into an archive folder, Fetch copies archived tracks back, "
    "and Delete removes them after asking. It never changes the game's container files and never loses "
    "a track file.\n\n"
    "Apart from --help and --version it reads no command line, and it keeps no settings: it finds the "
    "game through the registry (on Linux that of the game's Wine prefix, see WINEPREFIX), and tells with "
    "a message when it finds none.\n\n"
    "Keys: Alt+X exits. Alt+S and Alt+T start and stop the selected tracks; Enter or a double-click "
    "switches them between active and inactive. Alt+R stores, Alt+F fetches, and so does dropping .env "
    "or .~env files, or downloaded archives of tracks (.zip, .7z, .rar, .tar.gz...), on the list. Delete "
    "or Alt+D deletes, into the desktop's trash where it has one. F5 reads the event folder again, as "
    "the window does by itself when another program changes it. Esc cancels a long operation between "
    "two tracks. The status bar says what each operation did; a click on it, or Ctrl+R, shows the whole "
    "report, track by track. Ctrl+Z undoes the last Delete, Start, Stop or switch.";

const char* const environment =
    "The Wine prefix that holds the game's registry and drives, an absolute path; when it is set, no "
    "other prefix is looked at. When it is not set, ~/.wine is looked at first, then the prefixes of "
    "the usual launchers (Lutris, Bottles, Heroic, Steam, PlayOnLinux, CrossOver), and the first that "
    "holds the game is used. skarnres -v names the prefix used, and the others that hold the game, on "
    "standard error.";

const char* const exitStatus =
    "0 on success. 1 with a one-line message on standard error when the work failed; start, stop, store "
    "and fetch also end with 1 when a track was left as it was. 2 for a command line that skarnres "
    "cannot take: an unknown command or option, or missing arguments.";

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

// "  SYNOPSIS   summary" lines, the summaries starting in one column.
void printTable(std::ostream& out, const std::vector<std::pair<std::string, std::string>>& rows) {
    const std::size_t column = 34;
    for (const auto& [left, right] : rows) {
        const std::string cell = "  " + left;
        out << cell;
        if (cell.size() + 2 > column)
            out << '\n' << std::string(column, ' ');
        else
            out << std::string(column - cell.size(), ' ');
        out << right << '\n';
    }
}

// "--to FOLDER", "-o, --output OUT.png", "-v, --verbose".
std::string optionWords(const TOption& option) {
    std::string words = option.shortName ? std::string(option.shortName) + ", " : std::string();
    words += option.name;
    if (option.value)
        words += std::string(" ") + option.value;
    return words;
}

} // namespace

THelpSystem ThisSystem() {
    return TM_HELP_FOR_WINDOWS ? THelpSystem::Windows : THelpSystem::Linux;
}

void PrintVersion(std::ostream& out) {
    out << "skarnres " << TM_VERSION << '\n' << licence;
}

void PrintUsage(std::ostream& out, THelpSystem system) {
    out << "usage: skarnres COMMAND [OPTION...] [--] ARGS...\n"
           "       skarnres help COMMAND | --help | --version\n\n"
           "skarnres: "
        << summary << ".\n\nCommands:\n";
    std::vector<std::pair<std::string, std::string>> rows;
    for (const TCommand& command : Commands())
        rows.emplace_back(command.synopsis, command.summary);
    printTable(out, rows);
    out << "\nEvery command also takes:\n";
    rows.clear();
    for (const TOption& option : CommonOptions())
        rows.emplace_back(optionWords(option), option.help);
    rows.emplace_back("--", "ends the options: later words are arguments");
    printTable(out, rows);
    out << '\n';
    printWrapped(out, pathsFor(system), 0);
    out << '\n';
    printWrapped(out,
                 system == THelpSystem::Windows
                     ? "See 'skarnres help COMMAND' for what one command does."
                     : "See 'skarnres help COMMAND' for one command, 'man skarnres' for everything.",
                 0);
}

void PrintCommandHelp(std::ostream& out, const TCommand& command) {
    out << "usage: skarnres " << command.synopsis << "\n\n";
    bool first = true;
    for (const std::string& paragraph : paragraphs(command.details)) {
        if (!first)
            out << '\n';
        printWrapped(out, paragraph, 0);
        first = false;
    }
    if (!command.options.empty()) {
        out << "\nOptions:\n";
        std::vector<std::pair<std::string, std::string>> rows;
        for (const TOption& option : command.options)
            rows.emplace_back(optionWords(option), option.help);
        printTable(out, rows);
    }
}

void WriteManPage(std::ostream& out, const char* section) {
    out << ".TH SKARNRES " << section << ' ' << TM_RELEASE_DATE << " \"skarnres " << TM_VERSION
        << "\" \"User Commands\"\n"
        << ".SH NAME\nskarnres \\- " << roff(summary) << '\n'
        << ".SH SYNOPSIS\n"
           ".B skarnres\n\\fICOMMAND\\fR [\\fIOPTION\\fR...] [\\fB\\-\\-\\fR] [\\fIARGS\\fR...]\n.br\n"
           ".B skarnres help\n[\\fICOMMAND\\fR]\n.br\n"
           ".B skarnres \\-\\-help\n.br\n"
           ".B skarnres \\-\\-version\n"
        << ".SH DESCRIPTION\n";
    writeRoffParagraphs(out, description, ".PP");
    out << ".PP\n";
    writeRoffParagraphs(out, linuxPaths, ".PP");
    out << ".SH COMMANDS\n";
    for (const TCommand& command : Commands()) {
        out << ".TP\n" << roffSynopsis(command.synopsis) << '\n';
        writeRoffParagraphs(out, command.details, ".IP");
    }
    out << ".SH OPTIONS\n"
           ".TP\n.BR \\-h \", \" \\-\\-help\nPrint the commands with their arguments, then exit; after a "
           "command, what the command does.\n"
           ".TP\n.BR \\-v \", \" \\-\\-verbose\nName the Wine prefix used on standard error, and the other "
           "prefixes that hold the game.\n"
           ".TP\n.B \\-\\-version\nPrint the version and the licence, then exit.\n"
           ".TP\n.B \\-\\-\nEnd the options: every later word is an argument, also one that begins with "
           "a minus sign.\n"
           ".PP\nA long option's value may also follow it after an equals sign (\\fB\\-\\-to=\\fR"
           "\\fIFOLDER\\fR).\n"
           ".SH ENVIRONMENT\n.TP\n.B WINEPREFIX\n"
        << roff(environment) << '\n'
        << ".SH EXIT STATUS\n"
        << roff(exitStatus) << '\n'
        << ".SH SEE ALSO\n.BR track-manager (" << section << ")\n";
}

void PrintWindowUsage(std::ostream& out, THelpSystem system) {
    out << "usage: track-manager [--help | --version]\n\ntrack-manager: " << windowSummary << ".\n\n";
    for (const std::string& paragraph : paragraphs(windowDescription)) {
        printWrapped(out, paragraph, 0);
        out << '\n';
    }
    printWrapped(out,
                 system == THelpSystem::Windows
                     ? "skarnres.exe, beside it, does the same from a command prompt: skarnres --help."
                     : "See 'man track-manager' for more, and skarnres for the same from a shell.",
                 0);
}

void PrintWindowVersion(std::ostream& out) {
    out << "track-manager " << TM_VERSION << '\n' << licence;
}

void WriteWindowManPage(std::ostream& out, const char* section) {
    out << ".TH TRACK-MANAGER " << section << ' ' << TM_RELEASE_DATE << " \"track-manager " << TM_VERSION
        << "\" \"User Commands\"\n"
        << ".SH NAME\ntrack-manager \\- " << roff(windowSummary) << '\n'
        << ".SH SYNOPSIS\n.B track-manager\n[\\fB\\-\\-help\\fR | \\fB\\-\\-version\\fR]\n"
        << ".SH DESCRIPTION\n";
    writeRoffParagraphs(out, windowDescription, ".PP");
    out << ".SH OPTIONS\n"
           ".TP\n.B \\-\\-help\nPrint what the program does, then exit without opening a window.\n"
           ".TP\n.B \\-\\-version\nPrint the version and the licence, then exit without opening a window.\n"
           ".SH ENVIRONMENT\n.TP\n.B WINEPREFIX\n"
        << roff(environment) << '\n'
        << ".SH SEE ALSO\n.BR skarnres (" << section << ")\n";
}
