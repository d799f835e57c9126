// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <string>
#include <sys/stat.h>

#include "TempDir.h"
#include "container/TSkarnFolder.h"
#include "platform/Exceptions.h"

namespace {

TEST(TSkarnFolderFifo, IsNeitherWaitedForNorRead) {
    TTempDir dir;
    const std::string fifo = dir.file("fifo.env");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_THROW(TSkarnFolder(fifo, true), EFOpenError) << "a FIFO must neither hang nor be read";
}

} // namespace
