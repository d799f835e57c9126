// What skarnres says about itself: the built tool as a process, and the manual pages' roff.
#include <gtest/gtest.h>

#include <cstdio>
#include <sstream>
#include <string>
#include <sys/wait.h>

#include "Help.h"

namespace {

struct TRun {
    int status;
    std::string output; // standard output and standard error
};

TRun runSkarnres(const std::string& arguments) {
    const std::string command = std::string("'") + SKARNRES_PATH + "' " + arguments + " 2>&1";
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe)
        return {-1, ""};
    std::string output;
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
        output.append(buffer, n);
    const int status = pclose(pipe);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, output};
}

std::size_t longestLine(const std::string& text) {
    std::istringstream lines(text);
    std::size_t longest = 0;
    for (std::string line; std::getline(lines, line);)
        longest = std::max(longest, line.size());
    return longest;
}

TEST(SkarnresHelp, VersionAndUsageComeFromTheOneSource) {
    const TRun version = runSkarnres("--version");
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.output, std::string("skarnres ") + PROJECT_VERSION + "\n");

    const TRun usage = runSkarnres("--help");
    EXPECT_EQ(usage.status, 0);
    EXPECT_LE(longestLine(usage.output), 80u);
    for (const TCommandHelp& command : CommandHelp())
        EXPECT_NE(usage.output.find(std::string("  ") + command.synopsis), std::string::npos) << command.name;

    EXPECT_EQ(runSkarnres("").status, 1);
    EXPECT_EQ(runSkarnres("help no-such-command").status, 1);
    EXPECT_EQ(runSkarnres("--version >/dev/full").status, 1);
}

TEST(SkarnresHelp, EveryDocumentedCommandExistsAndExplainsItself) {
    for (const TCommandHelp& command : CommandHelp()) {
        const TRun help = runSkarnres(std::string("help ") + command.name);
        EXPECT_EQ(help.status, 0) << command.name;
        EXPECT_EQ(help.output.rfind(std::string("usage: skarnres ") + command.synopsis + "\n", 0), 0u)
            << help.output;
        EXPECT_LE(longestLine(help.output), 79u) << command.name;
        EXPECT_EQ(runSkarnres(std::string(command.name) + " --help").output, help.output);

        // Without its arguments a command refuses with a usage message, never "unknown command".
        const TRun bare = runSkarnres(command.name);
        EXPECT_EQ(bare.output.find("unknown command"), std::string::npos) << command.name;
    }
}

TEST(SkarnresManPage, EveryLineIsAKnownMacroOrEscapedText) {
    std::ostringstream page;
    WriteManPage(page);
    const std::string text = page.str();
    std::ostringstream windowPage;
    WriteWindowManPage(windowPage);
    const char* const macros[] = {".TH ", ".SH ", ".TP", ".IP", ".PP", ".B ", ".BR ", ".br"};
    std::istringstream lines(text + windowPage.str());
    for (std::string line; std::getline(lines, line);) {
        if (line.empty() || (line[0] != '.' && line[0] != '\''))
            continue;
        bool known = false;
        for (const char* macro : macros)
            known = known || line.rfind(macro, 0) == 0;
        EXPECT_TRUE(known) << line;
    }
    // Backslashes of Windows paths are printed, not read as roff escapes; options keep a real minus.
    EXPECT_NE(text.find("C:\\eGames\\eSkarn"), std::string::npos);
    EXPECT_EQ(text.find("C:\\G"), std::string::npos);
    EXPECT_NE(text.find("\\fB\\-\\-to\\fR \\fIFOLDER\\fR"), std::string::npos);
    for (const TCommandHelp& command : CommandHelp())
        EXPECT_NE(text.find(std::string(".TP\n\\fB") + command.name + "\\fR"), std::string::npos)
            << command.name;
}

} // namespace
