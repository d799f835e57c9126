// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "TextEscape.h"

namespace {

// A record's path reads as the system writes it: on Windows its backslashes stay single; elsewhere a
// backslash is a character of a name and is escaped like every byte that could break the line.
TEST(EscapePathField, KeepsWindowsSeparatorsWhole) {
    EXPECT_EQ(EscapePathField("C:\\Games\\Skarn\\t.env", true), "C:\\Games\\Skarn\\t.env");
    EXPECT_EQ(EscapePathField("C:\\Games\\Skarn\\t.env", false), "C:\\\\Games\\\\Skarn\\\\t.env");
    EXPECT_EQ(EscapePathField("/home/me/c\\d\t\xFF.env", false), "/home/me/c\\\\d\\t\\xff.env");
    EXPECT_EQ(EscapePathField("C:\\Jeux\\\xC3\x89t\xC3\xA9\\x.env", true),
              "C:\\Jeux\\\xC3\x89t\xC3\xA9\\x.env");
}

} // namespace
