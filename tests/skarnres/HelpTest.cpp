// SPDX-License-Identifier: GPL-3.0-or-later
// What skarnres says about itself: the built tool as a process, and the manual pages' roff.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <string_view>
#include <sys/wait.h>
#include <tuple>

#include "Help.h"
#include "TempDir.h"

namespace {

struct TRun {
    int status;
    std::string output; // standard output and standard error
};

TRun runShell(const std::string& command) {
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

TRun runSkarnres(const std::string& arguments) {
    return runShell(std::string("'") + SKARNRES_PATH + "' " + arguments + " 2>&1");
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
    EXPECT_EQ(version.output.substr(0, version.output.find('\n') + 1),
              std::string("skarnres ") + PROJECT_VERSION + "\n");
    EXPECT_NE(version.output.find("GPL-3.0-or-later"), std::string::npos);

    const TRun usage = runSkarnres("--help");
    EXPECT_EQ(usage.status, 0);
    EXPECT_LE(longestLine(usage.output), 80u);
    for (const TCommand& command : Commands())
        EXPECT_NE(usage.output.find(std::string("  ") + command.synopsis), std::string::npos) << command.name;

    // A command line that cannot be taken is status 2, apart from failures of the work (1).
    for (const char* wrong : {"", "help no-such-command", "no-such-command", "ls --no-such-option x",
                              "store x.env --to", "--version extra", "-x"})
        EXPECT_EQ(runSkarnres(wrong).status, 2) << wrong;
    EXPECT_EQ(runSkarnres("--version >/dev/full").status, 1);
}

TEST(SkarnresHelp, EveryDocumentedCommandExistsAndExplainsItself) {
    for (const TCommand& command : Commands()) {
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

// A Windows player reads of Windows paths and of no manual page; a Linux player of both systems' paths.
TEST(SkarnresHelp, UsageSpeaksOfTheSystemItRunsOn) {
    std::ostringstream windows;
    PrintUsage(windows, THelpSystem::Windows);
    EXPECT_NE(windows.str().find("C:\\Games\\Skarn"), std::string::npos);
    for (const char* linuxOnly : {"/home/", "man skarnres", "WINEPREFIX"})
        EXPECT_EQ(windows.str().find(linuxOnly), std::string::npos) << linuxOnly;
    std::ostringstream linux;
    PrintUsage(linux, THelpSystem::Linux);
    EXPECT_NE(linux.str().find("/home/me/"), std::string::npos);
    EXPECT_NE(linux.str().find("man skarnres"), std::string::npos);
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
    for (const TCommand& command : Commands())
        EXPECT_NE(text.find(std::string(".TP\n\\fB") + command.name + "\\fR"), std::string::npos)
            << command.name;
}

// The completions as bash and fish load them: what each offers at the end of a command line, sorted,
// in a folder that holds tracks, a picture, another file and a folder. A shell that is not installed is
// skipped.
struct TCompletionCase {
    const char* line;
    const char* offered;
    bool bashOnly = false; // "--" is offered by bash alone
};

class SkarnresCompletion : public ::testing::TestWithParam<std::tuple<const char*, TCompletionCase>> {
protected:
    // What the shell's completion offers at the end of line, one word a line, sorted.
    std::string offered(const std::string& shell, const std::string& line) {
        for (const char* name : {"a.env", "b.~ENV", "c.txt", "pic.tga"})
            std::ofstream(dir.path() / name) << "x";
        std::filesystem::create_directory(dir.path() / "sub");
        std::ostringstream script;
        std::string command = "cd '" + dir.path().string() + "' && ";
        if (shell == "bash") {
            WriteBashCompletion(script);
            std::string words;
            int count = 0;
            for (std::size_t start = 0;; ++count) {
                const std::size_t end = std::min(line.find(' ', start), line.size());
                words += " '" + line.substr(start, end - start) + "'";
                if (end == line.size())
                    break;
                start = end + 1;
            }
            command += "bash --norc -c 'source ./completion; COMP_WORDS=(" + words +
                       "); COMP_CWORD=" + std::to_string(count) +
                       "; _skarnres; printf \"%s\\n\" \"${COMPREPLY[@]}\"'";
        } else {
            WriteFishCompletion(script);
            // Descriptions and the slash after folders left out.
            command += "fish --no-config -c 'source ./completion; complete -C \"" + line +
                       "\"' | cut -f1 | sed \"s|/\\$||\"";
        }
        std::ofstream(dir.path() / "completion") << script.str();
        const TRun run = runShell(command + " 2>&1 | LC_ALL=C sort");
        EXPECT_EQ(run.status, 0) << run.output;
        return run.output;
    }

    TTempDir dir;
};

TEST_P(SkarnresCompletion, OffersWhatThePlaceTakes) {
    const auto& [shell, testCase] = GetParam();
    if (runShell(std::string("command -v ") + shell + " >/dev/null").status != 0)
        GTEST_SKIP() << shell << " is not installed";
#ifndef SKARNRES_PREVIEW
    const std::string_view line = testCase.line;
    if (line.starts_with("skarnres tga") || line.starts_with("skarnres preview"))
        GTEST_SKIP() << "built without the commands that write pictures";
#endif
    std::string expected = testCase.offered;
    if (testCase.bashOnly && std::string_view(shell) != "bash")
        expected.erase(0, expected.find('\n') + 1);
    EXPECT_EQ(offered(shell, testCase.line), expected) << testCase.line;
}

INSTANTIATE_TEST_SUITE_P(
    Lines, SkarnresCompletion,
    ::testing::Combine(::testing::Values("bash", "fish"),
                       ::testing::Values(TCompletionCase{"skarnres st", "start\nstop\nstore\n"},
                                         TCompletionCase{"skarnres ls ", "a.env\nb.~ENV\nsub\n"},
                                         TCompletionCase{"skarnres tga ", "pic.tga\nsub\n"},
                                         TCompletionCase{"skarnres tga pic.tga --mode ", "0\n1\n2\n"},
                                         TCompletionCase{"skarnres preview a.env --event ",
                                                         "Baja\nEnduro\nNational\nQuarries\nSX\nTag\n"},
                                         TCompletionCase{"skarnres store a.env --",
                                                         "--\n--help\n--json\n--to\n--verbose\n", true},
                                         TCompletionCase{"skarnres store --to s", "sub\n"},
                                         TCompletionCase{"skarnres start -- ", "a.env\nb.~ENV\nsub\n"},
                                         TCompletionCase{"skarnres help s",
                                                         "scene-name\nstart\nstop\nstore\n"})));

} // namespace
