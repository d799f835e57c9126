// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/TSpanReader.h"

#include "platform/Exceptions.h"

void TSpanReader::shortRead() {
    throw EReadError();
}
