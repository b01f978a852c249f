#include "toolbar_images.h"

#include "toolbar_icon_data.h"

#include <cstddef>

namespace nimbel {

namespace {

std::uint32_t readLE(std::span<const std::uint8_t> bytes, std::size_t at, std::size_t size)
{
    std::uint32_t v = 0;
    for (std::size_t i = 0; i < size; ++i) v |= std::uint32_t{bytes[at + i]} << (8 * i);
    return v;
}

constexpr std::size_t kDirectorySize = 6 + 16;  // icon directory with its one entry
constexpr std::size_t kInfoHeaderSize = 40;
constexpr std::size_t kPaletteSize = 16 * 4;

}  // namespace

std::span<const std::uint8_t> toolbarIconFile(int index)
{
    switch (index) {
    case kStopImage: return kStopIconFile;
    case kPauseImage: return kPauseIconFile;
    case kPlayImage: return kPlayIconFile;
    default: return {};
    }
}

IconPixels decodeIconFile(std::span<const std::uint8_t> file)
{
    IconPixels image;
    if (file.size() < kDirectorySize || readLE(file, 2, 2) != 1 || readLE(file, 4, 2) < 1) return image;
    const std::size_t offset = readLE(file, 18, 4);
    if (offset > file.size() || file.size() - offset < kInfoHeaderSize) return image;
    const auto bitmap = file.subspan(offset);
    const int width = static_cast<int>(readLE(bitmap, 4, 4));
    const int height = static_cast<int>(readLE(bitmap, 8, 4)) / 2;  // colour bits and mask stacked
    if (readLE(bitmap, 0, 4) != kInfoHeaderSize || readLE(bitmap, 14, 2) != 4 || width <= 0 || width > 256 ||
        height <= 0 || height > 256)
        return image;

    const std::size_t colorRow = ((static_cast<std::size_t>(width) * 4 + 31) / 32) * 4;
    const std::size_t maskRow = ((static_cast<std::size_t>(width) + 31) / 32) * 4;
    const std::size_t pixelsAt = kInfoHeaderSize + kPaletteSize;
    const std::size_t maskAt = pixelsAt + colorRow * static_cast<std::size_t>(height);
    if (bitmap.size() < maskAt + maskRow * static_cast<std::size_t>(height)) return image;

    image.width = width;
    image.height = height;
    image.argb.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    for (int y = 0; y < height; ++y) {
        const std::size_t row = static_cast<std::size_t>(height - 1 - y);  // stored bottom-up
        for (int x = 0; x < width; ++x) {
            const std::uint8_t pair = bitmap[pixelsAt + row * colorRow + static_cast<std::size_t>(x) / 2];
            const unsigned index = (x % 2 == 0) ? pair >> 4 : pair & 0x0F;
            const std::uint32_t bgr = readLE(bitmap, kInfoHeaderSize + index * 4, 3);
            const std::uint32_t rgb = ((bgr & 0xFF) << 16) | (bgr & 0xFF00) | ((bgr >> 16) & 0xFF);
            const bool transparent =
                (bitmap[maskAt + row * maskRow + static_cast<std::size_t>(x) / 8] >> (7 - x % 8)) & 1;
            image.argb[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x)] =
                (transparent ? 0u : 0xFF000000u) | rgb;
        }
    }
    return image;
}

}  // namespace nimbel
