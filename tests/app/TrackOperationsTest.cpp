#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "ContainerWriter.h"
#include "FolderSnapshot.h"
#include "TempDir.h"
#include "app/TrackOperations.h"
#include "platform/Exceptions.h"
#include "platform/NativePath.h"

namespace fs = std::filesystem;

namespace {

using TBytes = std::vector<std::uint8_t>;

// ---- Names -------------------------------------------------------------------------------------

struct ExtensionCase {
    const char* name;
    const char* extension;
    const char* expected;
};

class Extension : public ::testing::TestWithParam<ExtensionCase> {};

TEST_P(Extension, ReplacesTheLastExtension) {
    EXPECT_EQ(NameWithExtension(GetParam().name, GetParam().extension), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, Extension,
                         ::testing::Values(ExtensionCase{"jump.env", ".~env", "jump.~env"},
                                           ExtensionCase{"jump.~env", ".env", "jump.env"},
                                           ExtensionCase{"jump.~env", ".~env", "jump.~env"},
                                           ExtensionCase{"jump.envx", ".env", "jump.env"},
                                           ExtensionCase{"big.jump.env", ".~env", "big.jump.~env"},
                                           ExtensionCase{"jump", ".env", "jump.env"},
                                           ExtensionCase{"jump.", ".env", "jump.env"},
                                           ExtensionCase{".env", ".~env", ".~env"},
                                           ExtensionCase{"old.d\\jump", ".env", "old.d\\jump.env"}));

} // namespace
