#pragma once

// The kinds of frame a panel or a button draws, in the framework's ordinal order.
enum TBevelCut : int { bvNone, bvLowered, bvRaised, bvSpace };
