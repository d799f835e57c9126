// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "app/PlayerTexts.h"

namespace {

struct ShortCase {
    const char* path;
    qsizetype maxChars;
    const char* shown;
};

class ShortPathOf : public ::testing::TestWithParam<ShortCase> {};

TEST_P(ShortPathOf, KeepsBothEnds) {
    EXPECT_EQ(ShortPath(QString::fromUtf8(GetParam().path), GetParam().maxChars),
              QString::fromUtf8(GetParam().shown));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ShortPathOf,
    ::testing::Values(ShortCase{"/home/me/archive/", 36, "/home/me/archive/"},
                      ShortCase{"/home/player/games/archives/Arch3000/", 36,
                                "/home/…/games/archives/Arch3000/"},
                      ShortCase{"/home/player/games/archives/Arch3000/", 12, "/home/…/Arch3000/"},
                      ShortCase{"C:\\Games\\Skarn Rally 2\\Vevozura\\Baja\\", 24, "C:\\…\\Vevozura\\Baja\\"},
                      ShortCase{"/a/b/c/a-very-long-name-of-a-track-file-indeed.env", 20,
                                "/a/…/a-very-long-name-of-a-track-file-indeed.env"}));

TTrackOutcome outcome(const char* track, TTrackFate fate, const char* result = "", const char* other = "") {
    TTrackOutcome done;
    done.Track = track;
    done.Fate = fate;
    done.Result = result;
    done.Other = other;
    return done;
}

struct StatusCase {
    TTrackOperation operation;
    std::vector<TTrackOutcome> tracks;
    const char* status;
};

class StatusOf : public ::testing::TestWithParam<StatusCase> {};

TEST_P(StatusOf, PutsTheOutcomeFirst) {
    TOperationReport report;
    report.Operation = GetParam().operation;
    report.Tracks = GetParam().tracks;
    EXPECT_EQ(OperationStatus(report, {"Alpha", "Bravo", "Charlie"}, {}), GetParam().status);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, StatusOf,
    ::testing::Values(
        StatusCase{TTrackOperation::Toggle, {outcome("a.env", TTrackFate::Done, "a.~env")}, "Alpha stopped"},
        StatusCase{TTrackOperation::Toggle,
                   {outcome("a.env", TTrackFate::Done, "a.~env"),
                    outcome("b.~env", TTrackFate::Done, "b.env"),
                    outcome("c.env", TTrackFate::Done, "c.~env")},
                   "2 tracks stopped, 1 started"},
        StatusCase{
            TTrackOperation::Stop, {outcome("a.~env", TTrackFate::AlreadySo)}, "Alpha is inactive already"},
        StatusCase{TTrackOperation::Start,
                   {outcome("a.env", TTrackFate::AlreadySo),
                    outcome("b.~env", TTrackFate::TargetExists, "", "b.env")},
                   "Nothing started: Alpha is active already, Bravo: b.env exists"},
        StatusCase{TTrackOperation::Delete,
                   {outcome("a.env", TTrackFate::Trashed), outcome("b.env", TTrackFate::Deleted),
                    outcome("c.env", TTrackFate::Missing)},
                   "1 track moved to the trash, 1 deleted; 1 left as it was: Charlie is missing"}));

} // namespace
