// SPDX-License-Identifier: GPL-3.0-or-later
// The registry through the Win32 API: the game's key read as a 32-bit program on 64-bit Windows
// reads it, whatever the value's type and length.
#include <gtest/gtest.h>

#include <string>
#include <vector>
#include <windows.h>

#include "platform/Exceptions.h"
#include "platform/TRegistry.h"

namespace {

const wchar_t* const kParentKey = L"SOFTWARE\\TrackManagerTests";
const wchar_t* const kTestKey = L"SOFTWARE\\TrackManagerTests\\Registry";
// The same key in other letter case, as the program names it.
const char* const kTestKeyName = "Software\\TRACKMANAGERTESTS\\registry";

using TBytes = std::vector<BYTE>;

TBytes wideBytes(const std::wstring& text) {
    const auto* data = reinterpret_cast<const BYTE*>(text.data());
    return TBytes(data, data + text.size() * sizeof(wchar_t));
}

class WindowsRegistry : public ::testing::Test {
protected:
    void TearDown() override {
        for (const REGSAM view : {KEY_WOW64_32KEY, KEY_WOW64_64KEY}) {
            ::RegDeleteKeyExW(HKEY_LOCAL_MACHINE, kTestKey, view, 0);
            ::RegDeleteKeyExW(HKEY_LOCAL_MACHINE, kParentKey, view, 0);
        }
    }
    static void put(REGSAM view, const wchar_t* name, DWORD type, const TBytes& data) {
        HKEY key = nullptr;
        ASSERT_EQ(::RegCreateKeyExW(HKEY_LOCAL_MACHINE, kTestKey, 0, nullptr, 0, KEY_SET_VALUE | view,
                                    nullptr, &key, nullptr),
                  ERROR_SUCCESS);
        EXPECT_EQ(::RegSetValueExW(key, name, 0, type, data.data(), static_cast<DWORD>(data.size())),
                  ERROR_SUCCESS);
        ::RegCloseKey(key);
    }
    static std::string read(const std::string& name) {
        TRegistry registry;
        EXPECT_TRUE(registry.OpenKeyReadOnly(kTestKeyName));
        return registry.ReadString(name);
    }
};

struct ValueCase {
    const char* title;
    DWORD type;
    TBytes data;
    const char* text; // nullptr: the type is refused
};

class WindowsRegistryValues : public WindowsRegistry, public ::testing::WithParamInterface<ValueCase> {};

TEST_P(WindowsRegistryValues, ReadAsText) {
    put(KEY_WOW64_32KEY, L"HardDriveRootPath", GetParam().type, GetParam().data);
    if (GetParam().text) {
        EXPECT_EQ(read("harddriverootpath"), GetParam().text) << "value names ignore letter case";
        return;
    }
    try {
        read("HardDriveRootPath");
        FAIL() << "read a value of another type";
    } catch (const ERegistryException& e) {
        EXPECT_STREQ(e.what(), "Invalid data type for 'HardDriveRootPath'");
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, WindowsRegistryValues,
    ::testing::Values(ValueCase{"Plain", REG_SZ, wideBytes(std::wstring(L"C:\\Games\\Skarn", 15)),
                                "C:\\Games\\Skarn"},
                      ValueCase{"ExpandableStaysUnexpanded", REG_EXPAND_SZ,
                                wideBytes(std::wstring(L"%ProgramFiles%\\S", 17)), "%ProgramFiles%\\S"},
                      ValueCase{"Empty", REG_SZ, {}, ""},
                      ValueCase{"WithoutFinalNul", REG_SZ, wideBytes(L"AB"), "AB"},
                      ValueCase{"OddLengthDropsTheLastByte", REG_SZ, {'A', 0, 'B', 0, 'C'}, "AB"},
                      ValueCase{"OddLengthWithNul", REG_SZ, {'A', 0, 0, 0, 'C'}, "A"},
                      ValueCase{"NulInside", REG_SZ, wideBytes(std::wstring(L"A\0B", 3)), "A"},
                      ValueCase{"NotAscii", REG_SZ, wideBytes(L"Piste \u00c9t\u00e9 \u0418"),
                                "Piste \xC3\x89t\xC3\xA9 \xD0\x98"},
                      ValueCase{"Dword", REG_DWORD, {1, 0, 0, 0}, nullptr},
                      ValueCase{"Binary", REG_BINARY, {'A', 0}, nullptr},
                      ValueCase{"MultiString", REG_MULTI_SZ, wideBytes(std::wstring(L"A\0\0", 3)), nullptr}),
    [](const auto& info) { return std::string(info.param.title); });

TEST_F(WindowsRegistry, The32BitViewComesFirstThenThe64BitView) {
    put(KEY_WOW64_64KEY, L"HardDriveRootPath", REG_SZ, wideBytes(L"D:\\64"));
    EXPECT_EQ(read("HardDriveRootPath"), "D:\\64") << "only in the 64-bit view";
    put(KEY_WOW64_32KEY, L"HardDriveRootPath", REG_SZ, wideBytes(L"C:\\32"));
    EXPECT_EQ(read("HardDriveRootPath"), "C:\\32") << "in both views";
}

TEST_F(WindowsRegistry, MissingKeysAndValues) {
    TRegistry registry;
    EXPECT_FALSE(registry.OpenKeyReadOnly(kTestKeyName));
    EXPECT_EQ(registry.ReadString("HardDriveRootPath"), "") << "no key open";
    put(KEY_WOW64_32KEY, L"Other", REG_SZ, wideBytes(L"x"));
    ASSERT_TRUE(registry.OpenKeyReadOnly(kTestKeyName));
    EXPECT_EQ(registry.ReadString("HardDriveRootPath"), "");
    registry.CloseKey();
    EXPECT_EQ(registry.ReadString("Other"), "") << "closed";
}

} // namespace
