// SPDX-License-Identifier: GPL-3.0-or-later
// Systems without a notice of which names changed: the window follows the folder by its listing,
// which on Windows tells each file's size and last write.
#include "TFolderNotice.h"

TFolderNotice::TFolderNotice() = default;
TFolderNotice::~TFolderNotice() = default;

bool TFolderNotice::Watch(const std::string&) {
    return false;
}

bool TFolderNotice::ReadWaiting() {
    return false;
}

TFolderNews TFolderNotice::Take() {
    return {};
}
