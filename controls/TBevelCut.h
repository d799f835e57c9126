// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The kinds of frame a panel or a button draws, numbered 0 to 3 in this order.
enum TBevelCut : int { bvNone, bvLowered, bvRaised, bvSpace };
