// SPDX-License-Identifier: GPL-3.0-or-later
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
}

struct FoldCase {
    const char* a;
    const char* b;
    bool same;
};

class NameFolding : public ::testing::TestWithParam<FoldCase> {};

TEST_P(NameFolding, ComparesOverAllOfUnicode) {
    const FoldCase& c = GetParam();
    EXPECT_EQ(SameNameIgnoringCase(c.a, c.b), c.same);
    EXPECT_EQ(FoldedName(c.a) == FoldedName(c.b), c.same) << "FoldedName agrees with the comparison";
}

INSTANTIATE_TEST_SUITE_P(
    Cases, NameFolding,
    ::testing::Values(FoldCase{"Track.ENV", "track.env", true}, FoldCase{"track.env", "track.env ", false},
                      FoldCase{"Caf\xC3\xA9", "CAF\xC3\x89", true},
                      FoldCase{"\xD0\x98\xD0\x93\xD0\xA0\xD0\xAB", "\xD0\xB8\xD0\xB3\xD1\x80\xD1\x8B", true},
                      FoldCase{"\xC3\x84rger", "\xC3\xA4rger", true},
                      // Greek: capital sigma, small sigma and final sigma all fold alike.
                      FoldCase{"\xCE\x9F\xCE\x94\xCE\x9F\xCE\xA3", "\xCE\xBF\xCE\xB4\xCE\xBF\xCF\x82", true},
                      FoldCase{"\xCE\xBF\xCE\xB4\xCE\xBF\xCF\x83", "\xCE\xBF\xCE\xB4\xCE\xBF\xCF\x82", true},
                      FoldCase{"\xE2\x84\xAA", "k", true}, // the Kelvin sign, three bytes, folds to one
                      FoldCase{"\xF0\x90\x90\x80", "\xF0\x90\x90\xA8", true}, // Deseret, beyond 16 bits
                      FoldCase{"a\xC3\x97", "a\xC3\xB7", false}, // multiplication and division signs
                      FoldCase{"a\xC3", "a\xE3", false},         // bytes that are no UTF-8 fold to nothing
                      FoldCase{"\xC3", "\xC3\xA3", false}, FoldCase{"\xC3\x83", "\xC3\xA3", true},
                      FoldCase{"\xC3\x9F", "ss", false})); // simple folding: sharp s stays one letter

TEST(TextCase, FoldedNamesKeepWhatIsNoLetter) {
    EXPECT_EQ(FoldedName("CAF\xC3\x89 \xC3\x97 \xFF"), "caf\xC3\xA9 \xC3\x97 \xFF");
    EXPECT_EQ(FoldedUtf16(u"\u0418\u0413\u0420\u042B \xD801\xDC00 \xD800x"),
              u"\u0438\u0433\u0440\u044B \xD801\xDC28 \xD800x")
        << "pairs fold as their code point, a lone surrogate stays";
}

TEST(TextCase, GameTextFoldsAsciiOnly) {
    EXPECT_EQ(LowerAscii("TRACK01S.TGA\xC9"), "track01s.tga\xC9");
    EXPECT_TRUE(EqualsIgnoringAsciiCase("Software", "SOFTWARE"));
    EXPECT_FALSE(EqualsIgnoringAsciiCase("\xC9", "\xE9"));
    EXPECT_FALSE(EqualsIgnoringAsciiCase("path", "paths"));
}

} // namespace
