// SPDX-License-Identifier: GPL-3.0-or-later
// The shell completions of skarnres, written from the command table.
#include <ostream>
#include <string>
#include <string_view>

#include "Help.h"

namespace {

// The options skarnres takes in place of a command.
constexpr TOption kProgramOptions[] = {
    {.name = "--help",
     .shortName = "-h",
     .value = nullptr,
     .kind = TWordKind::None,
     .help = "say what skarnres does"},
    {.name = "--version",
     .shortName = nullptr,
     .value = nullptr,
     .kind = TWordKind::None,
     .help = "print the version and the licence"},
};

// text inside single quotes of a shell.
std::string quoted(std::string_view text) {
    std::string result = "'";
    for (const char c : text)
        result += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return result + "'";
}

// text with the characters that zsh's _describe and _arguments read as separators escaped.
std::string zshEscaped(std::string_view text) {
    std::string result;
    for (const char c : text) {
        if (c == ':' || c == '[' || c == ']' || c == '\\')
            result += '\\';
        result += c;
    }
    return result;
}

// An _arguments spec of an option with a short and a long name, which exclude each other, followed by
// rest ("[help]:VALUE:action").
std::string zshBothNames(const TOption& option, const std::string& rest) {
    return quoted("(" + std::string(option.shortName) + ' ' + option.name + ")") + '{' + option.shortName +
           ',' + option.name + '}' + quoted(rest);
}

std::string joined(std::span<const char* const> words) {
    std::string result;
    for (const char* word : words)
        result += (result.empty() ? "" : " ") + std::string(word);
    return result;
}

// The words of every option of command and of the common ones: "--to -v --verbose ...".
std::string optionWords(const TCommand& command) {
    std::string result;
    for (const std::span<const TOption> options : {command.options, CommonOptions()}) {
        for (const TOption& option : options) {
            if (option.shortName)
                result += std::string(option.shortName) + ' ';
            result += std::string(option.name) + ' ';
        }
    }
    return result + "--";
}

// A bash statement that offers what kind stands for; choices for a Choice.
std::string bashWords(TWordKind kind, std::span<const char* const> choices) {
    switch (kind) {
    case TWordKind::Track:
        return "_skarnres_files '*.[eE][nN][vV]' '*.~[eE][nN][vV]'";
    case TWordKind::Tga:
        return "_skarnres_files '*.[tT][gG][aA]'";
    case TWordKind::Png:
    case TWordKind::File:
        return "_skarnres_files '*'";
    case TWordKind::Folder:
        return "_skarnres_files";
    case TWordKind::Choice:
        return "COMPREPLY=($(compgen -W " + quoted(joined(choices)) + " -- \"$cur\"))";
    case TWordKind::Command: {
        std::string names;
        for (const TCommand& command : Commands())
            names += (names.empty() ? "" : " ") + std::string(command.name);
        return "COMPREPLY=($(compgen -W " + quoted(names) + " -- \"$cur\"))";
    }
    case TWordKind::None:
        break;
    }
    return "COMPREPLY=()";
}

std::string zshAction(TWordKind kind, std::span<const char* const> choices) {
    switch (kind) {
    case TWordKind::Track:
        // The tilde escaped: in a pattern of extended globbing it would exclude what follows.
        return "_files -g \"*.(#i)(env|\\~env)(-.)\"";
    case TWordKind::Tga:
        return "_files -g \"*.(#i)tga(-.)\"";
    case TWordKind::Png:
    case TWordKind::File:
        return "_files";
    case TWordKind::Folder:
        return "_files -/";
    case TWordKind::Choice:
        return "(" + joined(choices) + ")";
    case TWordKind::Command:
        return "_skarnres_commands";
    case TWordKind::None:
        break;
    }
    return " ";
}

std::string fishArguments(TWordKind kind, std::span<const char* const> choices) {
    switch (kind) {
    case TWordKind::Track:
        return "-a '(__skarnres_files .env .~env)'";
    case TWordKind::Tga:
        return "-a '(__skarnres_files .tga)'";
    case TWordKind::Png:
    case TWordKind::File:
        return "-F";
    case TWordKind::Folder:
        return "-a '(__fish_complete_directories)'";
    case TWordKind::Choice:
        return "-a " + quoted(joined(choices));
    case TWordKind::Command: {
        std::string names;
        for (const TCommand& command : Commands())
            names += (names.empty() ? "" : " ") + std::string(command.name);
        return "-a " + quoted(names);
    }
    case TWordKind::None:
        break;
    }
    return "";
}

} // namespace

void WriteBashCompletion(std::ostream& out) {
    out << "# bash completion for skarnres -*- shell-script -*-\n\n"
           "# Offers the folders, and the files that match one of the patterns given, below the word.\n"
           "_skarnres_files() {\n"
           "    local IFS=$'\\n' pattern\n"
           "    compopt -o filenames 2>/dev/null\n"
           "    COMPREPLY=($(compgen -d -- \"$cur\"))\n"
           "    for pattern in \"$@\"; do\n"
           "        COMPREPLY+=($(compgen -f -X \"!$pattern\" -- \"$cur\"))\n"
           "    done\n"
           "}\n\n"
           "_skarnres() {\n"
           "    local cur=${COMP_WORDS[COMP_CWORD]} prev=${COMP_WORDS[COMP_CWORD - 1]} i\n"
           "    if [ \"$COMP_CWORD\" -eq 1 ]; then\n";
    std::string first;
    for (const TOption& option : kProgramOptions)
        first +=
            std::string(option.name) + (option.shortName ? std::string(" ") + option.shortName : "") + ' ';
    for (const TCommand& command : Commands())
        first += std::string(command.name) + (&command == &Commands().back() ? "" : " ");
    out << "        COMPREPLY=($(compgen -W " << quoted(first) << " -- \"$cur\"))\n"
        << "        return\n"
           "    fi\n"
           "    local ended=\n"
           "    for ((i = 2; i < COMP_CWORD; i++)); do\n"
           "        [ \"${COMP_WORDS[i]}\" = -- ] && ended=1\n"
           "    done\n"
           "    if [ -z \"$ended\" ]; then\n"
           "        case ${COMP_WORDS[1]}:$prev in\n";
    for (const TCommand& command : Commands()) {
        for (const TOption& option : command.options) {
            if (!option.value)
                continue;
            out << "        " << command.name << ':' << option.name;
            if (option.shortName)
                out << " | " << command.name << ':' << option.shortName;
            out << ")\n            " << bashWords(option.kind, option.choices) << "\n            return\n"
                << "            ;;\n";
        }
    }
    out << "        esac\n"
           "        if [[ $cur == -* ]]; then\n"
           "            case ${COMP_WORDS[1]} in\n";
    for (const TCommand& command : Commands())
        out << "            " << command.name << ") COMPREPLY=($(compgen -W " << quoted(optionWords(command))
            << " -- \"$cur\")) ;;\n";
    out << "            esac\n"
           "            return\n"
           "        fi\n"
           "    fi\n"
           "    case ${COMP_WORDS[1]} in\n";
    for (const TCommand& command : Commands())
        out << "    " << command.name << ") " << bashWords(command.operands, {}) << " ;;\n";
    out << "    esac\n"
           "}\n\n"
           "complete -F _skarnres skarnres\n";
}

void WriteZshCompletion(std::ostream& out) {
    out << "#compdef skarnres\n\n"
           "_skarnres_commands() {\n"
           "    local -a commands\n"
           "    commands=(\n";
    for (const TCommand& command : Commands())
        out << "        " << quoted(zshEscaped(command.name) + ':' + zshEscaped(command.summary)) << '\n';
    out << "    )\n"
           "    _describe -t commands command commands\n"
           "}\n\n"
           "_skarnres() {\n"
           "    if (( CURRENT == 2 )); then\n"
           "        local -a options\n"
           "        options=(\n";
    for (const TOption& option : kProgramOptions) {
        for (const char* name : {option.name, option.shortName})
            if (name)
                out << "            " << quoted(zshEscaped(name) + ':' + zshEscaped(option.help)) << '\n';
    }
    out << "        )\n"
           "        if [[ $PREFIX == -* ]]; then\n"
           "            _describe -t options option options\n"
           "        else\n"
           "            _skarnres_commands\n"
           "        fi\n"
           "        return\n"
           "    fi\n"
           "    local -a common\n"
           "    common=(\n";
    for (const TOption& option : CommonOptions())
        out << "        " << zshBothNames(option, '[' + zshEscaped(option.help) + ']') << '\n';
    out << "    )\n"
           "    words=(\"${(@)words[2,-1]}\")\n"
           "    (( CURRENT-- ))\n"
           "    case $words[1] in\n";
    for (const TCommand& command : Commands()) {
        out << "    " << command.name << ")\n        _arguments -S $common";
        for (const TOption& option : command.options) {
            const std::string help = '[' + zshEscaped(option.help) + ']';
            const std::string value =
                option.value ? ':' + zshEscaped(option.value) + ':' + zshAction(option.kind, option.choices)
                             : "";
            if (option.shortName)
                out << " \\\n            " << zshBothNames(option, help + value);
            else
                out << " \\\n            "
                    << quoted(std::string(option.name)
                                  .append(option.value ? "=" : "")
                                  .append(help)
                                  .append(value));
        }
        if (command.operands != TWordKind::None)
            out << " \\\n            " << quoted("*:argument:" + zshAction(command.operands, {}));
        out << "\n        ;;\n";
    }
    out << "    esac\n"
           "}\n\n"
           "_skarnres \"$@\"\n";
}

void WriteFishCompletion(std::ostream& out) {
    out << "# fish completion for skarnres\n\n"
           "# Offers the folders, and the files whose names end in one of the endings given, in any case.\n"
           "function __skarnres_files\n"
           "    set -l endings (string join '|' -- (string escape --style=regex -- $argv))\n"
           "    complete -C \"__fish_command_without_completions \"(commandline -ct) |\n"
           "        string match -ri -- \"^[^\\t]*(?:/|$endings)(?:\\t.*)?\\$\"\n"
           "end\n\n"
           "complete -c skarnres -f\n";
    for (const TOption& option : kProgramOptions) {
        out << "complete -c skarnres -n __fish_use_subcommand -l " << std::string_view(option.name).substr(2);
        if (option.shortName)
            out << " -s " << std::string_view(option.shortName).substr(1);
        out << " -d " << quoted(option.help) << '\n';
    }
    for (const TCommand& command : Commands()) {
        const std::string in = "-n " + quoted("__fish_seen_subcommand_from " + std::string(command.name));
        out << "complete -c skarnres -n __fish_use_subcommand -a " << command.name << " -d "
            << quoted(command.summary) << '\n';
        for (const std::span<const TOption> options : {command.options, CommonOptions()}) {
            for (const TOption& option : options) {
                out << "complete -c skarnres " << in << " -l " << std::string_view(option.name).substr(2);
                if (option.shortName)
                    out << " -s " << std::string_view(option.shortName).substr(1);
                if (option.value)
                    out << (option.kind == TWordKind::Png || option.kind == TWordKind::File ? " -r " : " -x ")
                        << fishArguments(option.kind, option.choices);
                out << " -d " << quoted(option.help) << '\n';
            }
        }
        if (command.operands != TWordKind::None)
            out << "complete -c skarnres " << in << ' ' << fishArguments(command.operands, {}) << '\n';
    }
}
