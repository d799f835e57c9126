// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

#include "ContainerWriter.h"

// The entries of a track shaped like the game's own: eight entries, the scene descriptor first, then
// the texture of textureBytes and the smaller parts, about 20 KB besides the scene and texture.
inline std::vector<TContainerEntry> GameLikeTrack(std::vector<std::uint8_t> scene, std::size_t textureBytes) {
    return {
        {"track.scn", std::move(scene)},
        {"trackS.tga", std::vector<std::uint8_t>(textureBytes, 7)},
        {"track.trk", std::vector<std::uint8_t>(12000, 1)},
        {"track.obj", std::vector<std::uint8_t>(5000, 2)},
        {"track.lgt", std::vector<std::uint8_t>(800, 3)},
        {"track.snd", std::vector<std::uint8_t>(600, 4)},
        {"track.cam", std::vector<std::uint8_t>(400, 5)},
        {"track.txt", std::vector<std::uint8_t>(176, 6)},
    };
}
