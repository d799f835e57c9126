// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

// The Wine prefix that WinePrefix gives until SetWinePrefix is called: DefaultWinePrefix on Linux, none
// for a relative $WINEPREFIX and on Windows.
std::string InitialWinePrefix();
