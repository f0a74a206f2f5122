// The usage, the manual page and bash completion say the same: every
// command's options in --help are the options of its synopsis in the page,
// and completion offers what --help lists.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <sstream>

#include "cli/CliRun.h"

namespace mw {
namespace {

using mwtest::Cli;
using OptionsByCommand = std::map<std::string, std::set<std::string>>;

// Each command's options in `text`, where a line starting with `start` and
// a command name begins that command's part.
OptionsByCommand OptionsOf(const std::string& text, const std::regex& start) {
    OptionsByCommand options;
    const std::regex option("--[a-z][a-z-]*");
    std::istringstream lines(text);
    std::string command;
    for (std::string line; std::getline(lines, line);) {
        std::smatch begins;
        if (std::regex_search(line, begins, start)) command = begins[1];
        for (std::sregex_iterator i(line.begin(), line.end(), option), end; i != end; ++i) {
            options[command].insert(i->str());
        }
    }
    return options;
}

std::string ManualSynopsis() {
    std::ifstream page(MW_SOURCE_DIR "/packaging/mirrorwise-cli.1");
    std::ostringstream text;
    text << page.rdbuf();
    const std::string all = std::regex_replace(text.str(), std::regex(R"(\\-)"), "-");
    const auto from = all.find(".SH SYNOPSIS");
    return all.substr(from, all.find(".SH DESCRIPTION") - from);
}

std::string Usage() {
    const std::string help = Cli({"--help"}).out;
    return help.substr(0, help.find("\nA"));  // the synopsis, not the notes after it
}

TEST(CliHelp, TheManualPageListsEachCommandsOptionsAsHelpDoes) {
    const OptionsByCommand help = OptionsOf(Usage(), std::regex("mirrorwise-cli ([a-z]+|-h)"));
    const OptionsByCommand page =
        OptionsOf(ManualSynopsis(), std::regex(R"(^\.B mirrorwise-cli ?([a-z]*))"));
    ASSERT_EQ(help.size(), 9u);  // eight commands and the help line
    for (const auto& [command, options] : help) {
        const std::string pageCommand = command == "-h" ? "" : command;
        EXPECT_EQ(page.count(pageCommand) ? page.at(pageCommand) : std::set<std::string>(), options)
            << "mirrorwise-cli " << command;
    }
}

// Completion as bash asks for it: the words so far, the last being the one
// completed.
std::string Complete(const std::string& words) {
    const std::string script = "source " MW_SOURCE_DIR
                               "/packaging/mirrorwise-cli.bash-completion; "
                               "COMP_WORDS=(" MW_PROGRAM_DIR "/mirrorwise-cli " +
                               words +
                               "); COMP_CWORD=$((${#COMP_WORDS[@]} - 1)); "
                               "_mirrorwise_cli; echo \"${COMPREPLY[*]}\"";
    FILE* shell = popen(("bash -c '" + script + "'").c_str(), "r");
    std::string reply;
    for (int c; (c = std::fgetc(shell)) != EOF;) reply += static_cast<char>(c);
    pclose(shell);
    return reply;
}

TEST(CliHelp, BashCompletesCommandsOptionsAndTheirValues) {
    const struct {
        std::string words;
        std::string reply;
    } cases[] = {
        {"rep", "report reports\n"},
        {"\"\"", "list report score reports export import audit archive -h --help --version\n"},
        {"archive \"\"", "add list export norms stats\n"},
        {"archive stats \"\"", "--program-dir --archive --json --help\n"},
        {"report --cl", "--client\n"},
        {"reports --pdf --pa", "--paradata --paper\n"},  // --pdf is a flag here
        {"report --pdf x --paper \"\"", "letter a4\n"},
        {"report --paper = a", "a4\n"},
        {"score \"\"", "--program-dir --disk --client --json --help\n"},
        {"list --disk " MW_SOURCE_DIR "/packa", MW_SOURCE_DIR "/packaging\n"},
    };
    for (const auto& c : cases) EXPECT_EQ(Complete(c.words), c.reply) << c.words;
}

}  // namespace
}  // namespace mw
