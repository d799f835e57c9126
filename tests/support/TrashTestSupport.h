// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>

#include "TempDir.h"

// A test whose account is fresh: HOME is a folder of the test without .local/share, and XDG_DATA_HOME
// is unset, so that the trash is made where a desktop looks for it. Both come back afterwards.
class TTrashTest : public ::testing::Test {
protected:
    TTrashTest() : home(dir.path() / "home") {
        std::filesystem::create_directory(home);
        keep("HOME", m_home);
        keep("XDG_DATA_HOME", m_dataHome);
        ::setenv("HOME", home.c_str(), 1);
        ::unsetenv("XDG_DATA_HOME");
    }
    ~TTrashTest() override {
        restore("HOME", m_home);
        restore("XDG_DATA_HOME", m_dataHome);
    }

    TTempDir dir;
    std::filesystem::path home;

private:
    static void keep(const char* name, std::optional<std::string>& value) {
        if (const char* old = std::getenv(name))
            value = old;
    }
    static void restore(const char* name, const std::optional<std::string>& value) {
        if (value)
            ::setenv(name, value->c_str(), 1);
        else
            ::unsetenv(name);
    }
    std::optional<std::string> m_home;
    std::optional<std::string> m_dataHome;
};

// Where a trash client restores a trashed file to: the Path= of its .trashinfo, percent-decoded; ""
// when the record has none.
inline std::string TrashedPathOf(const std::filesystem::path& info) {
    std::ifstream in(info);
    std::string line;
    while (std::getline(in, line)) {
        if (line.rfind("Path=", 0) != 0)
            continue;
        std::string path;
        for (std::size_t i = 5; i < line.size(); ++i) {
            if (line[i] == '%' && i + 2 < line.size()) {
                path += static_cast<char>(std::stoi(line.substr(i + 1, 2), nullptr, 16));
                i += 2;
            } else {
                path += line[i];
            }
        }
        return path;
    }
    return {};
}
