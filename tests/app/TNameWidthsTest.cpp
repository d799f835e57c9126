// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <QApplication>
#include <QFontMetrics>
#include <QStringListModel>
#include <algorithm>
#include <functional>

#include "app/TNameWidths.h"

namespace {

struct WidthsCase {
    const char* what;
    std::function<void(QStringListModel&)> change;
};

class NameWidths : public ::testing::TestWithParam<WidthsCase> {};

// After any change the widest name is what measuring every name gives.
TEST_P(NameWidths, FollowTheRows) {
    QStringListModel model({"short", "a rather longer name", "mid name"});
    TNameWidths widths(model, nullptr);
    const QFontMetrics metrics(QApplication::font());
    ASSERT_EQ(widths.Widest(metrics), metrics.horizontalAdvance("a rather longer name"));
    GetParam().change(model);
    int widest = 0;
    for (const QString& name : model.stringList())
        widest = std::max(widest, metrics.horizontalAdvance(name));
    EXPECT_EQ(widths.Widest(metrics), widest) << GetParam().what;
}

INSTANTIATE_TEST_SUITE_P(
    Changes, NameWidths,
    ::testing::Values(WidthsCase{"the widest removed", [](QStringListModel& m) { m.removeRows(1, 1); }},
                      WidthsCase{"a wider one inserted",
                                 [](QStringListModel& m) {
                                     m.insertRows(0, 1);
                                     m.setData(m.index(0), "the widest name of them all by far");
                                 }},
                      WidthsCase{"the widest renamed shorter",
                                 [](QStringListModel& m) { m.setData(m.index(1), "tiny"); }},
                      WidthsCase{"all replaced", [](QStringListModel& m) { m.setStringList({"x"}); }},
                      WidthsCase{"all removed", [](QStringListModel& m) { m.removeRows(0, 3); }}));

} // namespace
