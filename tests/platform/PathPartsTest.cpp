#include <gtest/gtest.h>

#include <string>

#include "platform/PathParts.h"
#include "platform/TextCase.h"

namespace {

#ifdef _WIN32
constexpr bool kNativeRules = false;
#else
constexpr bool kNativeRules = true;
#endif

// How a path splits; where a native Linux path reads otherwise than under Windows rules, the
// native* fields say how.
struct SplitCase {
    const char* path;
    const char* folder;
    const char* name;
    const char* extension;
    const char* nativeFolder = nullptr;
    const char* nativeName = nullptr;
    const char* nativeExtension = nullptr;
};

class PathSplit : public ::testing::TestWithParam<SplitCase> {};

TEST_P(PathSplit, FollowsTheRulesOfItsKindOfPath) {
    const SplitCase& c = GetParam();
    const bool native = kNativeRules && c.nativeName;
    EXPECT_EQ(FolderPart(c.path), native ? c.nativeFolder : c.folder);
    EXPECT_EQ(FileNamePart(c.path), native ? c.nativeName : c.name);
    EXPECT_EQ(FileExtension(c.path), native ? c.nativeExtension : c.extension);
    EXPECT_EQ(NameWithoutExtension(c.path) + FileExtension(c.path), c.path);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PathSplit,
    ::testing::Values(SplitCase{"C:\\Archive\\jump.env", "C:\\Archive\\", "jump.env", ".env"},
                      SplitCase{"C:/Archive/jump.env", "C:/Archive/", "jump.env", ".env"},
                      SplitCase{"C:jump.env", "C:", "jump.env", ".env"},
                      SplitCase{"C:\\Archive\\", "C:\\Archive\\", "", ""},
                      SplitCase{"jump.~env", "", "jump.~env", ".~env"},
                      SplitCase{"dir.res\\track", "dir.res\\", "track", ""},
                      SplitCase{"/home/u/archive/jump.env", "/home/u/archive/", "jump.env", ".env"},
                      // In a native path ":" and "\" belong to the name.
                      SplitCase{"/archive/x:y.env", "/archive/x:", "y.env", ".env", "/archive/", "x:y.env",
                                ".env"},
                      SplitCase{"/archive/a.b\\c", "/archive/a.b\\", "c", "", "/archive/", "a.b\\c", ".b\\c"},
                      SplitCase{"x.y:jump", "x.y:", "jump", "", "", "x.y:jump", ".y:jump"}));

TEST(PathParts, FoldersGetTheSeparatorOfTheirKind) {
    EXPECT_EQ(WithTrailingSeparator("C:\\Games"), "C:\\Games\\");
    EXPECT_EQ(WithTrailingSeparator("C:\\Games/"), "C:\\Games/");
    EXPECT_EQ(WithTrailingSeparator("C:"), "C:");
    EXPECT_EQ(WithTrailingSeparator("/archive/x:"), kNativeRules ? "/archive/x:/" : "/archive/x:");
    EXPECT_EQ(WithTrailingSeparator("archive"), kNativeRules ? "archive/" : "archive\\");
    EXPECT_EQ(WindowsNamePart("a\\b/c:d"), "d") << "names stored in the game's files are Windows names";
}

TEST(TextCase, FileSystemNamesFoldAsciiAndLatin1) {
    EXPECT_TRUE(SameNameIgnoringCase("Track.ENV", "track.env"));
    EXPECT_TRUE(SameNameIgnoringCase("Caf\xC3\xA9", "CAF\xC3\x89"));
    EXPECT_FALSE(SameNameIgnoringCase("track.env", "track.env "));
    EXPECT_FALSE(SameNameIgnoringCase("a\xC3\x97", "a\xC3\xB7"))
        << "multiplication and division signs differ";
    EXPECT_EQ(FoldedName("CAF\xC3\x89 \xC3\x97 \xFF"), "caf\xC3\xA9 \xC3\x97 \xFF") << "lengths kept";
}

TEST(TextCase, GameTextFoldsAsciiOnly) {
    EXPECT_EQ(LowerAscii("TRACK01S.TGA\xC9"), "track01s.tga\xC9");
    EXPECT_TRUE(EqualsIgnoringAsciiCase("Software", "SOFTWARE"));
    EXPECT_FALSE(EqualsIgnoringAsciiCase("\xC9", "\xE9"));
    EXPECT_FALSE(EqualsIgnoringAsciiCase("path", "paths"));
}

} // namespace
