// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/AnsiText.h"

namespace {

TEST(AnsiText, Windows1252ToUtf8) {
    EXPECT_EQ(Utf8FromAnsi("Caf\xE9"), "Caf\xC3\xA9");
    EXPECT_EQ(Utf8FromAnsi("\x80 \x96 \x9F"), "\xE2\x82\xAC \xE2\x80\x93 \xC5\xB8");
    EXPECT_EQ(Utf8FromAnsi("\x81"), "\xC2\x81") << "unassigned bytes map to the C1 control";
    EXPECT_EQ(Utf8FromAnsi(std::string("a\0b", 3)), std::string("a\0b", 3));
}

TEST(AnsiText, OrderWithoutRegardToCase) {
    EXPECT_EQ(CompareAnsiIgnoringCase("Alpha", "alpha"), 0);
    EXPECT_LT(CompareAnsiIgnoringCase("alpha", "Beta"), 0);
    EXPECT_LT(CompareAnsiIgnoringCase("Beta", "beta2"), 0) << "a prefix goes first";
    EXPECT_EQ(CompareAnsiIgnoringCase("\xC9LAN", "\xE9lan"), 0);
    EXPECT_EQ(CompareAnsiIgnoringCase("\x8A", "\x9A"), 0) << "S caron";
    EXPECT_NE(CompareAnsiIgnoringCase("\xD7", "\xF7"), 0) << "multiplication and division signs";
    EXPECT_LT(CompareAnsiIgnoringCase("a b", "ab"), 0) << "blanks count";
    EXPECT_LT(CompareAnsiIgnoringCase("z", "\xE9"), 0) << "bytes compare unsigned";
}

// Each name sorts before the next; accents and case only break ties.
TEST(AnsiText, NamesSortWithTheirBaseLetters) {
    const std::vector<std::string> ordered = {
        "\xC6sop", "alpha",    "\xC4lpler H\xF6he", "Alps",   "Bravo",   "eagle",    "Ende",
        "Etape",   "\xC9tape", "\xE9tape2",         "Fa\xDF", "Fassade", "\x8Cuvre", "\xD6l",
        "Zulu",    "\xDEorn"};
    for (std::size_t i = 0; i + 1 < ordered.size(); ++i)
        EXPECT_LT(CompareAnsiNames(ordered[i], ordered[i + 1]), 0)
            << ordered[i] << " before " << ordered[i + 1];
    EXPECT_EQ(CompareAnsiNames("\xC9TAPE", "\xE9tape"), 0) << "case alone is no difference";
    EXPECT_GT(CompareAnsiNames("b", "a"), 0);
    EXPECT_LT(CompareAnsiNames("Stra\xDF", "Strasse2"), 0) << "a ligature counts as two letters";
}

} // namespace
