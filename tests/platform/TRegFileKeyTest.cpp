// SPDX-License-Identifier: GPL-3.0-or-later
// The registry file of a Wine prefix is read the way Wine loads it. The texts below are shaped like
// the system.reg of a real prefix (Wine 8); each case looks up one key and one value.
#include <gtest/gtest.h>

#include <string>

#include "platform/TRegFileKey.h"

namespace {

const std::string kMagic =
    "WINE REGISTRY Version 2\n;; All keys relative to REGISTRY\\\\Machine\n\n#arch=win64\n\n";
const std::string kWowLine =
    R"([Software\\Wow6432Node\\Vuzezevev\\Vuzezevev Games\\Skarn Rally 2] 1796687312)"
    "\n#time=1dd86a5778cea24\n";
const std::string kPlainLine = R"([Software\\Vuzezevev\\Vuzezevev Games\\Skarn Rally 2] 1796687312)"
                               "\n";
const char* const kWow = R"(Software\Wow6432Node\Vuzezevev\Vuzezevev Games\Skarn Rally 2)";
const char* const kPlain = R"(SOFTWARE\Vuzezevev\Vuzezevev Games\Skarn Rally 2)";

enum class Outcome { NoKey, NoValue, String, Expand, Other };

struct RegCase {
    const char* what;
    std::string text; // the whole file
    const char* key;
    const char* name;
    Outcome outcome;
    std::string expected = {};
};

class RegFile : public ::testing::TestWithParam<RegCase> {};

TEST_P(RegFile, LooksUpTheValue) {
    const RegCase& c = GetParam();
    const auto key = TRegFileKey::Find(c.text, c.key);
    if (c.outcome == Outcome::NoKey) {
        EXPECT_FALSE(key.has_value());
        return;
    }
    ASSERT_TRUE(key.has_value());
    const TRegFileKey::Value* value = key->FindValue(c.name);
    if (c.outcome == Outcome::NoValue) {
        EXPECT_EQ(value, nullptr);
        return;
    }
    ASSERT_NE(value, nullptr);
    const TRegFileKey::Type type = c.outcome == Outcome::String   ? TRegFileKey::Type::String
                                   : c.outcome == Outcome::Expand ? TRegFileKey::Type::ExpandString
                                                                  : TRegFileKey::Type::Other;
    EXPECT_EQ(value->DataType, type);
    EXPECT_EQ(value->Text, c.expected);
}

std::string game(const std::string& values) {
    return kMagic + kWowLine + values;
}
std::string gameLine(const std::string& value) {
    return game(value + "\n");
}

// The UTF-16LE bytes of "C:\Games\Skarn Rally 2\" and a NUL, as Wine writes a hex(2) value: 25
// bytes a line, continued with "\" and two blanks.
const std::string kHex2 =
    R"("HardDriveRootPath"=hex(2):43,00,3a,00,5c,00,47,00,61,00,6d,00,65,00,73,00,5c,00,53,00,6b,\)"
    "\n"
    R"(  00,61,00,72,00,6e,00,20,00,52,00,61,00,6c,00,6c,00,79,00,20,00,32,00,5c,00,\)"
    "\n"
    "  00,00\n";

INSTANTIATE_TEST_SUITE_P(
    Cases, RegFile,
    ::testing::Values(
        RegCase{"PlainString", gameLine(R"("HardDriveRootPath"="C:\\Games\\Skarn")"), kWow,
                "HardDriveRootPath", Outcome::String, R"(C:\Games\Skarn)"},
        RegCase{"TrailingBackslashKept", gameLine(R"("HardDriveRootPath"="C:\\Games\\")"), kWow,
                "HardDriveRootPath", Outcome::String, R"(C:\Games\)"},
        RegCase{"StrForm", gameLine(R"("HardDriveRootPath"=str:"D:\\Skarn")"), kWow, "HardDriveRootPath",
                Outcome::String, R"(D:\Skarn)"},
        RegCase{"ExpandStringUnexpanded", gameLine(R"("HardDriveRootPath"=str(2):"%ProgramFiles%\\Skarn")"),
                kWow, "HardDriveRootPath", Outcome::Expand, R"(%ProgramFiles%\Skarn)"},
        RegCase{"Hex2WithContinuationLines", game(kHex2), kWow, "HardDriveRootPath", Outcome::Expand,
                R"(C:\Games\Skarn Rally 2\)"},
        RegCase{"Hex1", game("\"HardDriveRootPath\"=hex(1):43,00,3a,00,00,00\n"), kWow, "HardDriveRootPath",
                Outcome::String, "C:"},
        RegCase{"Hex1OddLengthWithoutNul", game("\"HardDriveRootPath\"=hex(1):41,00,42\n"), kWow,
                "HardDriveRootPath", Outcome::String, "A"},
        RegCase{"Hex2UpperCaseDigitsAndBlanks", game("\"HardDriveRootPath\"=hex(2):41,00 , 4A,00,\\\n\n"),
                kWow, "HardDriveRootPath", Outcome::Expand, "AJ"},
        RegCase{"BlankBeforeHexDataMakesAnUntypedValue", game("\"HardDriveRootPath\"=hex(2): 41,00\n"), kWow,
                "HardDriveRootPath", Outcome::Other},
        RegCase{"HexTypeNumberWithLeadingZeros", game("\"HardDriveRootPath\"=hex(0001):41,00\n"), kWow,
                "HardDriveRootPath", Outcome::String, "A"},
        RegCase{"Dword", game("\"HardDriveRootPath\"=dword:0000002a\n"), kWow, "HardDriveRootPath",
                Outcome::Other},
        RegCase{"Binary", game("\"HardDriveRootPath\"=hex:43,00,3a,00\n"), kWow, "HardDriveRootPath",
                Outcome::Other},
        RegCase{"MultiString", game("\"HardDriveRootPath\"=str(7):\"one\\0two\\0\"\n"), kWow,
                "HardDriveRootPath", Outcome::Other},
        RegCase{"MultiStringHex", game("\"HardDriveRootPath\"=hex(7):41,00,00,00,00,00\n"), kWow,
                "HardDriveRootPath", Outcome::Other},
        RegCase{"QwordHex", game("\"HardDriveRootPath\"=hex(b):89,67,45,23,01,00,00,00\n"), kWow,
                "HardDriveRootPath", Outcome::Other},
        RegCase{"NoneType", game("\"HardDriveRootPath\"=hex(0):\n"), kWow, "HardDriveRootPath",
                Outcome::Other},
        RegCase{"UnknownStrType", game("\"HardDriveRootPath\"=str(1):\"x\"\n"), kWow, "HardDriveRootPath",
                Outcome::Other},
        RegCase{"ControlEscapesAndThreeDigitOctal", gameLine(R"("V"="A\tB\nC\r\0017\e\a\b\f\v")"), kWow, "v",
                Outcome::String,
                "A\tB\nC\r\x01"
                "7\x1b\a\b\f\v"},
        RegCase{"HexEscapesAndSurrogatePair", gameLine(R"("V"="Caf\xe9 \x20ac9 \xd83c\xdfc1")"), kWow, "V",
                Outcome::String,
                "Caf\xC3\xA9 \xE2\x82\xAC"
                "9 \xF0\x9F\x8F\x81"},
        RegCase{"LoneSurrogate", gameLine(R"("V"="a\xd800b")"), kWow, "V", Outcome::String,
                "a\xEF\xBF\xBD"
                "b"},
        RegCase{"OtherEscapesStandForThemselves", gameLine(R"("V"="\x\q\[\]\\\"")"), kWow, "V",
                Outcome::String, R"(xq[]\")"},
        RegCase{"OctalUpTo777", gameLine(R"("V"="\777\1010")"), kWow, "V", Outcome::String,
                "\xC7\xBF"
                "A0"},
        // Bad bytes, a lead byte cut short by another, overlong and beyond-U+10FFFF sequences are dropped.
        RegCase{"RawUtf8KeptBadBytesDropped",
                game("\"V\"=\"Caf\xC3\xA9 a\xFF"
                     "b\xC3\xC3\xA9\xE0\x80\x80\xF4\x90\x80\x80\xC0\x80"
                     "\xF0\x9F\x8F\x81 \xC3\"\n"),
                kWow, "V", Outcome::String, "Caf\xC3\xA9 ab\xC3\xA9\xF0\x9F\x8F\x81 "},
        RegCase{"CutAtFirstNul", gameLine(R"("HardDriveRootPath"="C:\\Games\0junk")"), kWow,
                "HardDriveRootPath", Outcome::String, R"(C:\Games)"},
        RegCase{"EmptyString", game("\"HardDriveRootPath\"=\"\"\n"), kWow, "HardDriveRootPath",
                Outcome::String, ""},
        RegCase{"NameWithEscapedQuotes", gameLine(R"("Name With \"Quote\""="v")"), kWow,
                "Name With \"Quote\"", Outcome::String, "v"},
        RegCase{"ValueNameAnyCase", game("\"harddriverootpath\"=\"x\"\n"), kWow, "HardDriveRootPath",
                Outcome::String, "x"},
        RegCase{"KeyNameAnyCase",
                kMagic + R"([SOFTWARE\\wow6432node\\VUZEZEVEV\\vuzezevev games\\SKARN RALLY 2])"
                         "\n\"HardDriveRootPath\"=\"x\"\n",
                kWow, "HardDriveRootPath", Outcome::String, "x"},
        RegCase{"AccentedNameAnyCase", gameLine(R"("\xc9t\xc9"="summer")"), kWow, "\xC3\xA9T\xC3\xA9",
                Outcome::String, "summer"},
        RegCase{"CyrillicNameAnyCase", gameLine(R"("\x418\x413\x420\x42b"="games")"), kWow,
                "\xD0\xB8\xD0\xB3\xD1\x80\xD1\x8B", Outcome::String, "games"},
        RegCase{"GreekFinalSigmaInKeyName",
                kMagic + R"([Software\\Wow6432Node\\Vuzezevev\\Vuzezevev Games\\Skarn Rally 2\\\x39f\x3a3])" +
                    "\n\"V\"=\"x\"\n",
                R"(Software\Wow6432Node\Vuzezevev\Vuzezevev Games\Skarn Rally 2\)"
                "\xCE\xBF\xCF\x82",
                "V", Outcome::String, "x"},
        RegCase{"DefaultValue", game("@=\"dflt\"\n"), kWow, "", Outcome::String, "dflt"},
        RegCase{"BlanksAroundEquals", game("  \"HardDriveRootPath\"   =\t\"x\"\n"), kWow, "HardDriveRootPath",
                Outcome::String, "x"},
        RegCase{"CrlfLineEnds",
                "WINE REGISTRY Version 2\r\n#arch=win64\r\n" +
                    std::string(R"([Software\\Wow6432Node\\Vuzezevev\\Vuzezevev Games\\Skarn Rally 2] 1)") +
                    "\r\n\"HardDriveRootPath\"=\"C:\\\\G\"\r\n\"B\"=hex(2):41,00,\\\r\n  42,00\r\n",
                kWow, "HardDriveRootPath", Outcome::String, R"(C:\G)"},
        RegCase{"CrlfHexContinuation",
                "WINE REGISTRY Version 2\r\n[A]\r\n\"B\"=hex(2):41,00,\\\r\n  42,00\r\n", "a", "b",
                Outcome::Expand, "AB"},
        RegCase{"LastLineWithoutLineEnd", game("\"HardDriveRootPath\"=\"x\""), kWow, "HardDriveRootPath",
                Outcome::String, "x"},
        RegCase{"MissingValue", game("\"Other\"=\"x\"\n"), kWow, "HardDriveRootPath", Outcome::NoValue},
        RegCase{"MissingKey", kMagic + "[Software\\\\Vuzezevev]\n\"HardDriveRootPath\"=\"x\"\n", kWow,
                "HardDriveRootPath", Outcome::NoKey},
        RegCase{"LongerKeyIsNotTheKey", kMagic + "[Software\\\\Vuzezevev Games]\n", "Software\\Vuzezevev", "",
                Outcome::NoKey},
        RegCase{"KeyThatOnlyHasSubkeys",
                kMagic + "[Software\\\\Wow6432Node\\\\Vuzezevev\\\\Vuzezevev Games\\\\"
                         "Skarn Rally 2\\\\Sub]\n\"HardDriveRootPath\"=\"x\"\n",
                kWow, "HardDriveRootPath", Outcome::NoValue},
        RegCase{"RepeatedSeparatorsInKeyLine",
                kMagic +
                    "[\\\\Software\\\\\\\\Vuzezevev\\\\Vuzezevev Games\\\\Skarn Rally 2\\\\]\n\"V\"=\"x\"\n",
                kPlain, "V", Outcome::String, "x"},
        RegCase{"KeyAppearingTwiceIsMerged",
                game("\"A\"=\"1\"\n") + "[Other]\n\"B\"=\"other\"\n" + kWowLine + "\"B\"=\"2\"\n", kWow, "A",
                Outcome::String, "1"},
        RegCase{"RepeatedValueLastWins",
                game("\"HardDriveRootPath\"=\"first\"\n") + "[Other]\n" + kWowLine +
                    "\"HARDDRIVEROOTPATH\"=\"second\"\n",
                kWow, "HardDriveRootPath", Outcome::String, "second"},
        RegCase{"ValuesOfOtherKeysIgnored",
                game("") + "[Software\\\\Wow6432Node\\\\Vuzezevev]\n\"HardDriveRootPath\"=\"parent\"\n", kWow,
                "HardDriveRootPath", Outcome::NoValue},
        RegCase{"DamagedKeyLineHidesItsValues",
                kMagic + "[Software\\\\Wow6432Node\\\\Vuzezevev\\\\Vuzezevev Games\\\\Skarn Rally 2\n"
                         "\"HardDriveRootPath\"=\"x\"\n",
                kWow, "HardDriveRootPath", Outcome::NoKey},
        RegCase{"DamagedKeyLineEndsTheSection",
                game("\"A\"=\"1\"\n") + "[Broken\\\n\"HardDriveRootPath\"=\"x\"\n", kWow, "HardDriveRootPath",
                Outcome::NoValue},
        RegCase{"DamagedDataMakesAnUntypedValue",
                game("\"HardDriveRootPath\"=\"good\"\n\"HardDriveRootPath\"=\"unterminated\n"), kWow,
                "HardDriveRootPath", Outcome::Other},
        RegCase{"UnknownTagMakesAnUntypedValue", game("\"HardDriveRootPath\"=text:\"x\"\n"), kWow,
                "HardDriveRootPath", Outcome::Other},
        RegCase{"ByteAboveFfMakesAnUntypedValue", game("\"HardDriveRootPath\"=hex(1):141,00\n"), kWow,
                "HardDriveRootPath", Outcome::Other},
        RegCase{"JunkAfterHexMakesAnUntypedValue", game("\"HardDriveRootPath\"=hex(1):41,00 x\n"), kWow,
                "HardDriveRootPath", Outcome::Other},
        RegCase{"ContinuationAtEndOfFile", game("\"HardDriveRootPath\"=hex(1):41,00,\\\n"), kWow,
                "HardDriveRootPath", Outcome::Other},
        RegCase{
            "DamagedNameIsIgnored",
            game(
                "\"HardDriveRootPath\"=\"good\"\n\"HardDriveRootPath=\"bad\"\n\"HardDriveRootPath\" \"x\"\n"),
            kWow, "HardDriveRootPath", Outcome::String, "good"},
        RegCase{"ValueBeforeAnyKeyIgnored", kMagic + "\"HardDriveRootPath\"=\"x\"\n" + kWowLine, kWow,
                "HardDriveRootPath", Outcome::NoValue},
        RegCase{"ContinuationSwallowsAKeyLine",
                kMagic + "[Other]\n\"Bin\"=hex:01,\\\n" + kWowLine + "\"HardDriveRootPath\"=\"x\"\n", kWow,
                "HardDriveRootPath", Outcome::NoKey},
        RegCase{"ContinuationLinesAreNotValues", game("\"Bin\"=hex:01,\\\n  \"HardDriveRootPath\"=\"x\"\n"),
                kWow, "HardDriveRootPath", Outcome::NoValue},
        RegCase{"NulByteEndsTheLine", game(std::string("\"HardDriveRootPath\"=\"x\0\"\n", 25)), kWow,
                "HardDriveRootPath", Outcome::Other},
        RegCase{"CommentsOptionsAndJunkLinesSkipped",
                game(";; comment\n#class=\"x\"\n#link\njunk\n\t\"HardDriveRootPath\"=\"x\"\n"), kWow,
                "HardDriveRootPath", Outcome::String, "x"},
        RegCase{"UnknownArchitectureStopsLoading",
                "WINE REGISTRY Version 2\n#arch=win16\n" + kWowLine + "\"HardDriveRootPath\"=\"x\"\n", kWow,
                "HardDriveRootPath", Outcome::NoKey},
        RegCase{"ChangedArchitectureStopsLoadingKeepsWhatCameBefore",
                game("\"HardDriveRootPath\"=\"x\"\n") + "[Broken\n#arch=win32\n" + kWowLine + "\"A\"=\"y\"\n",
                kWow, "A", Outcome::NoValue},
        RegCase{"NotARegistryFile", "WINE REGISTRY Version 1\n" + kWowLine + "\"HardDriveRootPath\"=\"x\"\n",
                kWow, "HardDriveRootPath", Outcome::NoKey},
        RegCase{"MagicWithTrailingBlank", "WINE REGISTRY Version 2 \n" + kWowLine, kWow, "", Outcome::NoKey},
        RegCase{"EmptyFile", "", kWow, "", Outcome::NoKey}),
    [](const ::testing::TestParamInfo<RegCase>& info) { return std::string(info.param.what); });

TEST(RegFileKey, FindsEachViewOfTheSameFile) {
    const std::string text =
        game("\"HardDriveRootPath\"=\"wow\"\n") + kPlainLine + "\"HardDriveRootPath\"=\"plain\"\n";
    EXPECT_EQ(TRegFileKey::Find(text, kWow)->FindValue("HardDriveRootPath")->Text, "wow");
    EXPECT_EQ(TRegFileKey::Find(text, kPlain)->FindValue("HardDriveRootPath")->Text, "plain");
    EXPECT_EQ(TRegFileKey::Find(text, kPlain)->ValueCount(), 1);
}

} // namespace
