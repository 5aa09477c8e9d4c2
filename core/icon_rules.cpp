#include "core/icon_rules.h"

std::uint8_t GreyLevel(std::uint8_t red, std::uint8_t green, std::uint8_t blue) {
    double value = green * 0.587 + red * 0.299;
    value = value + blue * 0.114;
    return static_cast<std::uint8_t>(static_cast<unsigned>(static_cast<long>(value)) & 0xFF);
}

void GreyPixels(std::vector<std::uint32_t>& colours) {
    for (std::uint32_t& colour : colours) {
        if (colour == 0) continue;
        const std::uint8_t v = GreyLevel(colour & 0xFF, (colour >> 8) & 0xFF, (colour >> 16) & 0xFF);
        colour = static_cast<std::uint32_t>(v) | (static_cast<std::uint32_t>(v) << 8) |
                 (static_cast<std::uint32_t>(v) << 16);
    }
}

IconPlace PlaceIcon(int left, int top, int right, int bottom, int iconWidth, int iconHeight, bool pressed) {
    IconPlace place{left + (right - left - iconWidth) / 2, top + (bottom - top - iconHeight) / 2};
    if (pressed) {
        ++place.left;
        ++place.top;
    }
    return place;
}
