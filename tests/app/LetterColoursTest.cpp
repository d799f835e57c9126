// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <QColor>

#include "app/LetterColours.h"

namespace {

// The letters keep their colours where they read well and reach 4.5 : 1 elsewhere, keeping their hue.
TEST(LetterColours, ReadOnEveryBackground) {
    const QColor green(0, 128, 0);
    const QColor red(255, 0, 0);
    EXPECT_EQ(ReadableOn(green, Qt::white), green) << "reads well already";
    const QColor backgrounds[] = {
        Qt::white, QColor(48, 140, 198), QColor(0, 120, 215), QColor(42, 42, 42), QColor(61, 174, 233),
        Qt::black, QColor(128, 128, 128)};
    for (const QColor& background : backgrounds) {
        for (const QColor& wanted : {green, red}) {
            const QColor shown = ReadableOn(wanted, background);
            EXPECT_GE(ContrastRatio(shown, background), 4.5) << background.name().toStdString();
            if (wanted == green)
                EXPECT_TRUE(shown.green() >= shown.red() && shown.green() >= shown.blue())
                    << "still green on " << background.name().toStdString();
            else
                EXPECT_TRUE(shown.red() >= shown.green() && shown.red() >= shown.blue())
                    << "still red on " << background.name().toStdString();
        }
    }
}

} // namespace
