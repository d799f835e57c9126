// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/FileError.h"

#include "platform/FileErrorInternal.h"

std::string SystemErrorText(int code) {
    if (code == 0)
        return {};
    std::string text = SystemMessage(code);
    while (!text.empty() &&
           (text.back() == '\n' || text.back() == '\r' || text.back() == ' ' || text.back() == '.'))
        text.pop_back();
    return text;
}
