// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <cerrno>

#include "app/PlayerTexts.h"
#include "platform/Exceptions.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace {

#ifdef _WIN32
constexpr int kDenied = ERROR_ACCESS_DENIED;
#else
constexpr int kDenied = EACCES;
#endif

// A Windows path, which ShownPath leaves as it is on Windows and resolves on Linux: only the end of the
// message is compared.
TEST(FailureMessage, ARefusalInAProtectedFolderSaysWhatToDo) {
    const std::string path = R"(C:\Program Files (x86)\Skarn Rally 2\Vevozura\Baja\a.env)";
    const QString refused = FailureMessage(EFCreateError(path, TFileError{kDenied}));
    EXPECT_TRUE(refused.startsWith("Cannot create file ")) << refused.toStdString();
    EXPECT_TRUE(
        refused.endsWith(R"(a.env: the folder refuses changes. Only an administrator may change what )"
                         R"(lies under C:\Program Files (x86): run the track manager as )"
                         R"(administrator, or install the game in another folder.)"))
        << refused.toStdString();

    const QString full = FailureMessage(EFCreateError(path, TFileError{ENOSPC}));
    EXPECT_TRUE(full.endsWith("a.env")) << full.toStdString();
}

} // namespace
