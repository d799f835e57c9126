// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

// The system's own text for the error code (not 0), as the system words it; SystemErrorText trims it.
std::string SystemMessage(int code);
