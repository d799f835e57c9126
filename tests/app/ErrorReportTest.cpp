// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "app/TForm1.h"

namespace {

TEST(ErrorReport, FullStopRule) {
    EXPECT_EQ(ErrorReportText("Cannot open file x.env"), "Cannot open file x.env.");
    EXPECT_EQ(ErrorReportText("Done."), "Done.");
    EXPECT_EQ(ErrorReportText("Stop!"), "Stop!") << "'!' sorts before '.'";
    EXPECT_EQ(ErrorReportText("Ends in -"), "Ends in -");
    EXPECT_EQ(ErrorReportText("Ends in /"), "Ends in /.");
    EXPECT_EQ(ErrorReportText(""), "");
}

} // namespace
