// Draws the desktop icon, a wooden crate standing on a target, in every size that desktops look for.
#include <png.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "tools/paint/paint.h"

namespace {

const int ICON_SIZES[] = {16, 24, 32, 48, 64, 128, 256};

using paint::Color;
using paint::mix;
using paint::Paint;
using paint::solid;

// The colours of the game's own tiles, so the icon looks like the board.
const Color TILE_TOP = {58, 66, 86};
const Color TILE_BOTTOM = {28, 32, 44};
const Color TILE_RIM = {84, 94, 120};
const Color TARGET_GLOW = {70, 220, 196};
const Color TARGET_RING = {120, 240, 220};
const Color SHADOW = {0, 0, 0};
const Color WOOD_OUTLINE = {52, 30, 14};
const Color WOOD_LIGHT = {206, 142, 70};
const Color WOOD_DARK = {150, 88, 38};
const Color WOOD_SEAM = {120, 70, 32};

// Shapes are point tests in icon units: (0, 0) top left, (1, 1) bottom right.
using Shape = std::function<bool(double, double)>;

Shape rounded_box(double cx, double cy, double hx, double hy, double r) {
    return [=](double u, double v) {
        const double dx = std::fabs(u - cx) - (hx - r);
        const double dy = std::fabs(v - cy) - (hy - r);
        if (dx <= 0 || dy <= 0)
            return dx <= r && dy <= r;
        return dx * dx + dy * dy <= r * r;
    };
}

Shape ring(double cx, double cy, double radius, double width) {
    const double inner = radius - width / 2, outer = radius + width / 2;
    return [=](double u, double v) {
        const double d = (u - cx) * (u - cx) + (v - cy) * (v - cy);
        return d >= inner * inner && d <= outer * outer;
    };
}

// The band of the given width around the line from bottom left to top right.
Shape diagonal(double width) {
    return [=](double u, double v) { return std::fabs(u + v - 1) <= width / 2 * std::sqrt(2.0); };
}

Shape intersect(Shape a, Shape b) {
    return [=](double u, double v) { return a(u, v) && b(u, v); };
}

// Premultiplied colour with alpha, so layers compose with a plain "over".
struct Pixel {
    double r = 0, g = 0, b = 0, a = 0;
};

// Each size is drawn from the same shapes with many samples per pixel, so
// small icons are real drawings rather than shrunken copies.
class Icon {
public:
    explicit Icon(int size) : size(size), pixels(size * size) {}

    // Thin strokes would fade away in the small sizes; no stroke gets
    // thinner than the given number of pixels.
    double at_least(double width, double pixels_wide) const { return std::max(width, pixels_wide / size); }

    void fill(const Shape& shape, const Paint& paint, double opacity = 1) {
        const int samples = size <= 64 ? 8 : 4;
        for (int y = 0; y < size; ++y) {
            for (int x = 0; x < size; ++x) {
                int inside = 0;
                for (int j = 0; j < samples; ++j)
                    for (int i = 0; i < samples; ++i)
                        inside += shape((x + (i + 0.5) / samples) / size, (y + (j + 0.5) / samples) / size);
                if (inside == 0)
                    continue;
                const double alpha = opacity * inside / (samples * samples);
                const Color c = paint((x + 0.5) / size, (y + 0.5) / size);
                Pixel& p = pixels[y * size + x];
                p.r = c.r * alpha + p.r * (1 - alpha);
                p.g = c.g * alpha + p.g * (1 - alpha);
                p.b = c.b * alpha + p.b * (1 - alpha);
                p.a = alpha + p.a * (1 - alpha);
            }
        }
    }

    void fill(const Shape& shape, Color color, double opacity = 1) { fill(shape, solid(color), opacity); }

    std::vector<uint8_t> rgba() const {
        std::vector<uint8_t> out;
        out.reserve(pixels.size() * 4);
        for (const Pixel& p : pixels) {
            const double a = p.a > 0 ? p.a : 1;
            for (double channel : {p.r / a, p.g / a, p.b / a})
                out.push_back(paint::to_byte(channel));
            out.push_back(static_cast<uint8_t>(std::min(1.0, p.a) * 255 + 0.5));
        }
        return out;
    }

    const int size;

private:
    std::vector<Pixel> pixels;
};

void draw_tile(Icon& icon) {
    icon.fill(rounded_box(0.5, 0.5, 0.48, 0.48, 0.13), TILE_RIM);
    icon.fill(rounded_box(0.5, 0.5, 0.48 - icon.at_least(0.015, 1), 0.48 - icon.at_least(0.015, 1), 0.12),
              [](double, double v) { return mix(TILE_TOP, TILE_BOTTOM, v); });
}

// The ring is wider than the crate's diagonal so it shows all around it.
void draw_target(Icon& icon) {
    icon.fill(ring(0.5, 0.5, 0.405, icon.at_least(0.11, 2.5)), TARGET_GLOW, 0.35);
    icon.fill(ring(0.5, 0.5, 0.405, icon.at_least(0.045, 1.2)), TARGET_RING);
}

void draw_crate(Icon& icon) {
    const double half = 0.265;
    const double outline = icon.at_least(0.03, 1);
    const double frame = icon.at_least(0.06, 1.5);
    const double inner = half - outline - frame;

    icon.fill(rounded_box(0.525, 0.54, half, half, 0.05), SHADOW, 0.45);
    icon.fill(rounded_box(0.5, 0.5, half, half, 0.05), WOOD_OUTLINE);
    // Light falls from the top left, as on the board's tiles.
    const Paint wood = [](double u, double v) { return mix(WOOD_LIGHT, WOOD_DARK, (u + v - 0.5) * 1.2); };
    icon.fill(rounded_box(0.5, 0.5, half - outline, half - outline, 0.035), wood);

    const Shape panel = rounded_box(0.5, 0.5, inner, inner, 0.01);
    icon.fill(panel, WOOD_SEAM);
    icon.fill(rounded_box(0.5, 0.5, inner - icon.at_least(0.012, 0.6), inner - icon.at_least(0.012, 0.6), 0.01),
              [&](double u, double v) { return mix(wood(u, v), WOOD_SEAM, 0.35); });
    if (icon.size >= 32) {
        const double seam = icon.at_least(0.008, 0.5);
        for (double y : {0.5 - inner / 3, 0.5 + inner / 3})
            icon.fill(intersect(panel, rounded_box(0.5, y, 0.5, seam, 0)), WOOD_SEAM, 0.8);
    }

    const double brace = icon.at_least(0.085, 2);
    icon.fill(intersect(panel, diagonal(brace + 2 * icon.at_least(0.012, 0.6))), WOOD_SEAM);
    icon.fill(intersect(panel, diagonal(brace)), wood);
}

// An 8-bit RGBA PNG file of a square picture given as rows of red, green,
// blue and alpha bytes.
bool write_png(const std::string& file_name, int size, const std::vector<uint8_t>& rgba) {
    png_image image = {};
    image.version = PNG_IMAGE_VERSION;
    image.width = size;
    image.height = size;
    image.format = PNG_FORMAT_RGBA;
    return png_image_write_to_file(&image, file_name.c_str(), 0, rgba.data(), 0, nullptr) != 0;
}

}  // namespace

// Only + - * / and sqrt on doubles are used, so the pixels are the same on
// every machine.
int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_icons DIRECTORY\n");
        return 2;
    }
    const std::string directory = argv[1];
    for (int size : ICON_SIZES) {
        Icon icon(size);
        draw_tile(icon);
        draw_target(icon);
        draw_crate(icon);
        const std::string file_name = directory + "/cratoria-" + std::to_string(size) + ".png";
        if (!write_png(file_name, size, icon.rgba())) {
            std::fprintf(stderr, "make_icons: cannot write %s\n", file_name.c_str());
            return 1;
        }
    }
    return 0;
}
