// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <string>

#include "platform/ProtectedFolder.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <cerrno>
#endif

namespace {

#ifdef _WIN32
constexpr int kDenied = ERROR_ACCESS_DENIED;
constexpr int kOtherFailure = ERROR_DISK_FULL;
#else
constexpr int kDenied = EACCES;
constexpr int kOtherFailure = ENOSPC;
#endif

struct FolderCase {
    const char* path;
    const char* protectedFolder;
};

class ProtectedFolder : public ::testing::TestWithParam<FolderCase> {};

TEST_P(ProtectedFolder, IsFoundFromTheDriveRoot) {
    EXPECT_EQ(ProtectedFolderOf(GetParam().path), GetParam().protectedFolder);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ProtectedFolder,
    ::testing::Values(
        FolderCase{R"(C:\Program Files (x86)\Skarn Rally 2\Vevozura\Baja\)", R"(C:\Program Files (x86))"},
        FolderCase{R"(c:\PROGRAM FILES\Skarn\)", R"(c:\PROGRAM FILES)"},
        FolderCase{R"(C:\Program Files)", R"(C:\Program Files)"},
        FolderCase{R"(D:\Windows\Games\a.env)", R"(D:\Windows)"},
        FolderCase{"C:/Program Files/Skarn/", "C:/Program Files"},
        FolderCase{R"(C:\\Program Files\\Skarn\)", R"(C:\\Program Files)"},
        FolderCase{R"(\\?\C:\Program Files\Skarn\)", R"(\\?\C:\Program Files)"},
        FolderCase{"/home/me/.wine/drive_c/Program Files (x86)/Skarn/",
                   "/home/me/.wine/drive_c/Program Files (x86)"},
        FolderCase{R"(\home\me\.wine\dosdevices\c:\Program Files\Skarn\)",
                   R"(\home\me\.wine\dosdevices\c:\Program Files)"},
        FolderCase{"/home/me/.wine/dosdevices/c:/Windows/", "/home/me/.wine/dosdevices/c:/Windows"},
        // Only the folders themselves, and only at a drive's root.
        FolderCase{R"(C:\Program Files Extra\Skarn\)", ""}, FolderCase{R"(C:\ProgramData\Skarn\)", ""},
        FolderCase{R"(C:\Games\Program Files\Skarn\)", ""}, FolderCase{R"(C:\Games\Windows\)", ""},
        FolderCase{R"(\home\me\c:\Windows\)", ""}, FolderCase{R"(Vevozura\Baja\)", ""},
        FolderCase{"/home/me/Program Files/", ""}, FolderCase{"", ""}));

TEST(ProtectedFolderAdvice, ExplainsADeniedChangeInAProtectedFolder) {
    EXPECT_EQ(
        ProtectedFolderAdvice(R"(C:\Program Files (x86)\Skarn Rally 2\Vevozura\Baja\)", kDenied),
        R"(the folder refuses changes. Only an administrator may change what lies under C:\Program )"
        R"(Files (x86): run the track manager as administrator, or install the game in another folder.)");
}

TEST(ProtectedFolderAdvice, SaysNothingOfOtherFoldersOrFailures) {
    EXPECT_EQ(ProtectedFolderAdvice(R"(C:\Games\Skarn Rally 2\Vevozura\Baja\)", kDenied), "");
    EXPECT_EQ(ProtectedFolderAdvice(R"(C:\Program Files\Skarn Rally 2\Vevozura\Baja\)", kOtherFailure), "");
    EXPECT_EQ(ProtectedFolderAdvice(R"(C:\Program Files\Skarn Rally 2\Vevozura\Baja\)", 0), "");
}

} // namespace
