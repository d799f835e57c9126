// SPDX-License-Identifier: GPL-3.0-or-later
#include "Pictures.h"

// Built into skarnres itself (Windows, where the toolkit's libraries come beside the program anyway).
const TPictureFunctions& Pictures() {
    return *SkarnresPictures();
}
