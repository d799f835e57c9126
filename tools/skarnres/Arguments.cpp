// SPDX-License-Identifier: GPL-3.0-or-later
// The words of a command: checked against the command table by main, read back by the command.
#include <algorithm>

#include "CommandTable.h"
#include "Commands.h"

std::vector<std::string> CanonicalArguments(const TCommand& command, const std::vector<std::string>& words) {
    std::vector<std::string> options;
    std::vector<std::string> operands;
    bool ended = false;
    for (std::size_t i = 0; i < words.size(); ++i) {
        const std::string& word = words[i];
        if (ended || word.size() < 2 || word[0] != '-') {
            operands.push_back(word);
            continue;
        }
        if (word == "--") {
            ended = true;
            continue;
        }
        const std::size_t equals = word.starts_with("--") ? word.find('=') : std::string::npos;
        const std::string spelled = word.substr(0, equals);
        const TOption* option = FindOption(command, spelled);
        if (!option)
            throw EUsageError("skarnres " + std::string(command.name) + " takes no option " + spelled +
                              " (see skarnres help " + command.name + ")");
        const std::string name = option->name;
        if (std::any_of(options.begin(), options.end(), [&](const std::string& given) {
                return given == name || given.starts_with(name + "=");
            }))
            throw EUsageError("the option " + name + " is given twice");
        if (!option->value) {
            if (equals != std::string::npos)
                throw EUsageError("the option " + name + " takes no value");
            options.push_back(name);
            continue;
        }
        if (equals != std::string::npos) {
            options.push_back(name + word.substr(equals));
            continue;
        }
        if (i + 1 >= words.size())
            throw EUsageError("the option " + spelled + " needs its " + option->value);
        options.push_back(name + "=" + words[++i]);
    }
    options.emplace_back("--");
    options.insert(options.end(), operands.begin(), operands.end());
    return options;
}

TArguments SplitArguments(const std::vector<std::string>& args) {
    TArguments result;
    std::size_t i = 0;
    for (; i < args.size() && args[i] != "--"; ++i) {
        const std::size_t equals = args[i].find('=');
        if (equals == std::string::npos)
            result.options.emplace_back(args[i], "");
        else
            result.options.emplace_back(args[i].substr(0, equals), args[i].substr(equals + 1));
    }
    if (i < args.size())
        result.operands.assign(args.begin() + static_cast<std::ptrdiff_t>(i) + 1, args.end());
    return result;
}

const std::string* TArguments::Option(std::string_view name) const {
    for (const auto& [given, value] : options) {
        if (given == name)
            return &value;
    }
    return nullptr;
}
