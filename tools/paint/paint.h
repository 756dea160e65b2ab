// The colours and colour arithmetic that our picture-making programs share.
#pragma once

#include <cstdint>
#include <functional>

namespace paint {

// Channels stay unclamped doubles until written out, so layered blends do
// not pile up rounding.
struct Color {
    double r, g, b;
};

// A colour for each point of a picture, in the drawing's own units.
using Paint = std::function<Color(double, double)>;

Color mix(Color a, Color b, double t);

Paint solid(Color c);

// The nearest byte to a channel, out-of-range values held at the ends.
uint8_t to_byte(double channel);

}  // namespace paint
