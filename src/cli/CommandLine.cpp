#include "cli/CommandLine.h"

#include <getopt.h>

#include <algorithm>

namespace mw {
namespace {

// getopt_long tells our options apart by these values; 'h' is -h/--help.
constexpr int kFirstOption = 256;
constexpr int kVersion = kFirstOption - 1;

CommandLine Problem(std::string problem) {
    CommandLine line;
    line.asks = CommandLine::Asks::Nothing;
    line.problem = std::move(problem);
    return line;
}

std::string Quoted(const std::string& text) {
    return "'" + text + "'";
}

// The options of `allowed` a word abbreviates, as getopt_long matches them.
std::vector<std::string> Matches(const std::vector<std::string>& names, const std::string& word) {
    std::vector<std::string> found;
    for (const std::string& name : names) {
        if (name == word) return {name};
        if (name.compare(0, word.size(), word) == 0) found.push_back(name);
    }
    return found;
}

// The problem getopt_long found with the word it stopped at.
std::string UnreadOption(const std::vector<std::string>& names, const std::string& word,
                         int optionValue) {
    if (optionValue >= kFirstOption) {
        return "option " + Quoted(names[optionValue - kFirstOption]) + " doesn't allow an argument";
    }
    if (optionValue != 0) return "invalid option -- " + Quoted(std::string(1, optionValue));
    const std::string name = word.substr(0, word.find('='));
    const std::vector<std::string> candidates = Matches(names, name);
    if (candidates.size() < 2) return "unrecognized option " + Quoted(name);
    std::string text = "option " + Quoted(name) + " is ambiguous; possibilities:";
    for (const std::string& candidate : candidates) text += " " + Quoted(candidate);
    return text;
}

std::vector<option> LongOptions(const std::vector<std::string>& names, std::size_t valueCount) {
    std::vector<option> options;
    for (std::size_t i = 0; i < names.size(); ++i) {
        options.push_back({names[i].c_str() + 2, i < valueCount ? required_argument : no_argument,
                           nullptr, kFirstOption + static_cast<int>(i)});
    }
    options.push_back({"help", no_argument, nullptr, 'h'});
    options.push_back({"version", no_argument, nullptr, kVersion});
    options.push_back({});
    return options;
}

}  // namespace

CommandLine ParseCommandLine(const std::vector<std::string>& args, const AllowedOptions& allowed) {
    std::vector<std::string> names = allowed.values;
    names.insert(names.end(), allowed.flags.begin(), allowed.flags.end());
    std::vector<std::string> helpNames = names;
    helpNames.insert(helpNames.end(), {"--help", "--version"});
    const std::vector<option> longOptions = LongOptions(names, allowed.values.size());
    std::vector<std::string> words = args;
    std::vector<char*> argv;
    for (std::string& word : words) argv.push_back(word.data());
    argv.push_back(nullptr);
    const int argc = static_cast<int>(words.size());

    CommandLine line;
    // getopt_long keeps its place in globals: 0 starts it afresh, and it
    // reports nothing itself, so the caller's stream gets the message.
    optind = 0;
    opterr = 0;
    for (;;) {
        const int found = getopt_long(argc, argv.data(), "+:h", longOptions.data(), nullptr);
        if (found == -1) break;
        if (found == 'h') return {CommandLine::Asks::Help, {}, {}};
        if (found == kVersion) return {CommandLine::Asks::Version, {}, {}};
        if (found == '?') return Problem(UnreadOption(helpNames, args[optind - 1], optopt));
        if (found == ':') {
            return Problem("option " + Quoted(names[optopt - kFirstOption]) +
                           " requires an argument");
        }
        const std::size_t index = static_cast<std::size_t>(found - kFirstOption);
        if (index < allowed.values.size()) {
            line.options.values[names[index]] = optarg;
        } else {
            line.options.flags[names[index]] = true;
        }
    }
    if (optind < argc && !allowed.operands) {
        return Problem("extra operand " + Quoted(args[optind]));
    }
    line.options.operands.assign(args.begin() + optind, args.end());
    for (const std::string& name : allowed.required) {
        if (!line.options.values.count(name)) {
            return Problem(args[0] + ": missing option " + Quoted(name));
        }
    }
    return line;
}

}  // namespace mw
