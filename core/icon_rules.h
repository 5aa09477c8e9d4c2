// Drawing rules of the skinned caption buttons that need no window: the grey
// copy of an icon's colours and the place of the icon on the button.
#pragma once

#include <cstdint>
#include <vector>

// Grey level of a colour: G × 0.587 + R × 0.299, then + B × 0.114, in double
// precision in that order, truncated, low 8 bits.
std::uint8_t GreyLevel(std::uint8_t red, std::uint8_t green, std::uint8_t blue);

// Turns colour values (0x00BBGGRR) into their grey; black (0) stays black.
void GreyPixels(std::vector<std::uint32_t>& colours);

struct IconPlace {
    int left;
    int top;
};

// The icon centred in the item rectangle (halvings truncated toward zero),
// moved by one pixel right and down while the button is pressed.
IconPlace PlaceIcon(int left, int top, int right, int bottom, int iconWidth, int iconHeight, bool pressed);
