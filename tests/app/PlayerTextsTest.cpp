// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <cerrno>

#include "app/PlayerTexts.h"
#include "platform/Exceptions.h"
#include "platform/NativePath.h"
#include "platform/PathParts.h"

#ifdef _WIN32
#include <windows.h>
#endif

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

#ifdef _WIN32
constexpr int kDenied = ERROR_ACCESS_DENIED;
#else
constexpr int kDenied = EACCES;
#endif

// A Windows path, which ShownPath leaves as it is on Windows and resolves on Linux, where it is placed in
// a prefix: only the end of the message is compared, and the folder is named as the player sees it.
TEST(FailureMessage, ARefusalInAProtectedFolderSaysWhatToDo) {
    const std::string path =
        TWinePrefix("/home/me/.wine").Place(R"(C:\Program Files (x86)\Skarn Rally 2\Vevozura\Baja\a.env)");
    const std::string root = NativePathsAreWindowsPaths()
                                 ? R"(C:\Program Files (x86))"
                                 : "/home/me/.wine/dosdevices/c:/Program Files (x86)";
    const QString refused = FailureMessage(EFCreateError(path, TFileError{kDenied}));
    EXPECT_TRUE(refused.startsWith("Cannot create file ")) << refused.toStdString();
    EXPECT_TRUE(refused.endsWith(QString::fromStdString(
        "a.env: the folder refuses changes. Only an administrator may change what lies under " + root +
        ": run the track manager as administrator, or install the game in another folder.")))
        << refused.toStdString();

    TOperationReport stopped;
    stopped.Operation = TTrackOperation::Stop;
    stopped.Tracks = {outcome("a.env", TTrackFate::Refused)};
    stopped.Tracks[0].Folder = FolderPart(path);
    stopped.Tracks[0].Error = TFileError{kDenied};
    EXPECT_TRUE(OperationStatus(stopped, {"Alpha"}, {}).contains("run the track manager as administrator"))
        << OperationStatus(stopped, {"Alpha"}, {}).toStdString();

    const QString full = FailureMessage(EFCreateError(path, TFileError{ENOSPC}));
    EXPECT_TRUE(full.endsWith("a.env")) << full.toStdString();
}

} // namespace
