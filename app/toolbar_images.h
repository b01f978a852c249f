// The three toolbar images of the Music commands (stop, pause, play), held
// as constant data in the 32x32 16-colour icon-file layout, and the decoder
// that turns such a file into pixels for the toolbar.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace nimbel {

enum ToolbarImage { kStopImage = 0, kPauseImage = 1, kPlayImage = 2 };

struct IconPixels {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> argb;  // 0xAARRGGBB, row by row from the top; empty when the file is not understood
};

// The icon-file bytes of image 0 (stop), 1 (pause) or 2 (play).
std::span<const std::uint8_t> toolbarIconFile(int index);

// Decodes the first image of an icon file with 4 bits per pixel, a
// 16-colour palette and a transparency mask.
IconPixels decodeIconFile(std::span<const std::uint8_t> file);

}  // namespace nimbel
