// The colour arithmetic shared by make_icons and make_skins.
#include "tools/paint/paint.h"

#include <algorithm>

namespace paint {

Color mix(Color a, Color b, double t) {
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

Paint solid(Color c) {
    return [=](double, double) { return c; };
}

// The clamped value is never negative, so truncating after adding a half
// rounds to nearest.
uint8_t to_byte(double channel) {
    return static_cast<uint8_t>(std::min(255.0, std::max(0.0, channel)) + 0.5);
}

}  // namespace paint
