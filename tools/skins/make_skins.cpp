// Draws the game's tile sets and background picture into BMP files.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <functional>
#include <iostream>
#include <string>
#include <vector>

#include <SDL.h>

#include "level/level_collection.h"
#include "tools/paint/paint.h"

namespace {

const int SKIN_SIZES[] = {50, 40, 30, 20, 12};
constexpr int BACK_SIZE = 128;
// A noise period longer than any tile spans, for texture that need not repeat.
constexpr int NO_REPEAT = 1 << 16;

using paint::Color;
using paint::mix;
using paint::Paint;
using paint::solid;

Color scaled(Color c, double k) {
    return {c.r * k, c.g * k, c.b * k};
}

double clamp01(double v) {
    return std::min(1.0, std::max(0.0, v));
}

double smooth(double t) {
    return t * t * (3 - 2 * t);
}

// A repeatable pseudo-random value in [0, 1) for a lattice point.
double hash(int x, int y, int seed) {
    uint32_t h = static_cast<uint32_t>(x) * 0x8da6b343u ^ static_cast<uint32_t>(y) * 0xd8163841u ^
                 static_cast<uint32_t>(seed) * 0xcb1ab31fu;
    h ^= h >> 13;
    h *= 0x5bd1e995u;
    h ^= h >> 15;
    return (h & 0xffffff) / 16777216.0;
}

int wrap(int v, int period) {
    return ((v % period) + period) % period;
}

// Smooth value noise whose lattice repeats every `period` cells, so a picture
// made of it tiles without seams.
double noise(double x, double y, int period, int seed) {
    const int ix = static_cast<int>(std::floor(x));
    const int iy = static_cast<int>(std::floor(y));
    const double fx = smooth(x - ix);
    const double fy = smooth(y - iy);
    const int x0 = wrap(ix, period), x1 = wrap(ix + 1, period);
    const int y0 = wrap(iy, period), y1 = wrap(iy + 1, period);
    const double top = hash(x0, y0, seed) + (hash(x1, y0, seed) - hash(x0, y0, seed)) * fx;
    const double bottom = hash(x0, y1, seed) + (hash(x1, y1, seed) - hash(x0, y1, seed)) * fx;
    return top + (bottom - top) * fy;
}

class Canvas {
public:
    Canvas(int width, int height, Color fill) : width(width), height(height), pixels(width * height, fill) {}

    Color& at(int x, int y) { return pixels[y * width + x]; }
    const Color& at(int x, int y) const { return pixels[y * width + x]; }

    void blend(int x, int y, Color c, double coverage) {
        if (x >= 0 && y >= 0 && x < width && y < height && coverage > 0)
            at(x, y) = mix(at(x, y), c, coverage);
    }

    // SDL writes a 24-bit BMP file of it.
    bool write_bmp(const std::string& file_name) const {
        SDL_Surface* surface = SDL_CreateRGBSurface(SDL_SWSURFACE, width, height, 32, 0xff0000, 0xff00, 0xff, 0);
        if (!surface)
            return false;
        for (int y = 0; y < height; ++y) {
            Uint32* row = reinterpret_cast<Uint32*>(static_cast<Uint8*>(surface->pixels) + y * surface->pitch);
            for (int x = 0; x < width; ++x) {
                const Color& c = at(x, y);
                row[x] = SDL_MapRGB(surface->format, paint::to_byte(c.r), paint::to_byte(c.g), paint::to_byte(c.b));
            }
        }
        const bool written = SDL_SaveBMP(surface, file_name.c_str()) == 0;
        SDL_FreeSurface(surface);
        return written;
    }

    const int width;
    const int height;

private:
    std::vector<Color> pixels;
};

// Shapes are signed distances in tile units (the tile is the unit square):
// negative inside, positive outside. Every tile size is drawn from the same
// shapes evaluated at that size, with each pixel's coverage worked out from
// its distance to the shape's edge, so small tiles stay sharp instead of
// being blurred copies of big ones.
using Shape = std::function<double(double, double)>;

double length(double x, double y) {
    return std::sqrt(x * x + y * y);
}

const Shape WHOLE_TILE = [](double, double) { return -1.0; };

Shape circle(double cx, double cy, double r) {
    return [=](double u, double v) { return length(u - cx, v - cy) - r; };
}

Shape rounded_box(double cx, double cy, double hx, double hy, double r) {
    return [=](double u, double v) {
        const double qx = std::abs(u - cx) - (hx - r);
        const double qy = std::abs(v - cy) - (hy - r);
        return length(std::max(qx, 0.0), std::max(qy, 0.0)) + std::min(std::max(qx, qy), 0.0) - r;
    };
}

Shape segment(double ax, double ay, double bx, double by, double r) {
    return [=](double u, double v) {
        const double px = u - ax, py = v - ay, dx = bx - ax, dy = by - ay;
        const double t = clamp01((px * dx + py * dy) / (dx * dx + dy * dy));
        return length(px - dx * t, py - dy * t) - r;
    };
}

// Close enough to a true distance for the flat ellipses drawn here.
Shape ellipse(double cx, double cy, double rx, double ry) {
    return [=](double u, double v) { return (length((u - cx) / rx, (v - cy) / ry) - 1) * std::min(rx, ry); };
}

Shape ring(double cx, double cy, double r, double half_width) {
    return [=](double u, double v) { return std::abs(length(u - cx, v - cy) - r) - half_width; };
}

Shape unite(Shape a, Shape b) {
    return [=](double u, double v) { return std::min(a(u, v), b(u, v)); };
}

Shape intersect(Shape a, Shape b) {
    return [=](double u, double v) { return std::max(a(u, v), b(u, v)); };
}

Shape grown(Shape a, double by) {
    return [=](double u, double v) { return a(u, v) - by; };
}

// One square tile of a canvas, painted layer over layer.
class Tile {
public:
    Tile(Canvas& canvas, int left, int top, int size) : size(size), canvas(canvas), left(left), top(top) {}

    // A length in tile units that never gets thinner than `pixels`.
    double at_least(double units, double pixels) const { return std::max(units, pixels / size); }

    // Coverage ramps over `softness` pixels across the edge; one pixel is a
    // clean anti-aliased edge, more is a soft shadow or glow.
    void paint(const Shape& shape, const Paint& paint, double opacity = 1, double softness = 1) const {
        const double ramp = std::max(1.0, softness);
        for (int y = 0; y < size; ++y)
            for (int x = 0; x < size; ++x) {
                const double u = (x + 0.5) / size, v = (y + 0.5) / size;
                const double coverage = clamp01((0.5 * ramp - shape(u, v) * size) / ramp) * opacity;
                if (coverage > 0)
                    canvas.blend(left + x, top + y, paint(u, v), coverage);
            }
    }

    void fill(const Shape& shape, Color c, double opacity = 1, double softness = 1) const {
        paint(shape, solid(c), opacity, softness);
    }

    const int size;

private:
    Canvas& canvas;
    const int left;
    const int top;
};

const Color FLOOR_GAP = {78, 72, 66};
const Color FLOOR_STONE = {138, 128, 112};
const Color FLOOR_LIGHT = {168, 158, 140};
const Color FLOOR_DARK = {100, 92, 82};
const Color TARGET_GLOW = {70, 220, 196};
const Color TARGET_RING = {120, 240, 220};
const Color SHADOW = {20, 16, 12};
const Color OUTLINE = {40, 24, 12};

void draw_floor(const Tile& t) {
    const double gap = t.at_least(0.03, 0.6);
    const double bevel = t.at_least(0.025, 0.5);
    const double r = 0.08;
    t.fill(WHOLE_TILE, FLOOR_GAP);
    t.fill(rounded_box(0.5 - bevel, 0.5 - bevel, 0.5 - gap, 0.5 - gap, r), FLOOR_LIGHT);
    t.fill(rounded_box(0.5 + bevel, 0.5 + bevel, 0.5 - gap, 0.5 - gap, r), FLOOR_DARK);
    const int size = t.size;
    t.paint(rounded_box(0.5, 0.5, 0.5 - gap - bevel, 0.5 - gap - bevel, r), [size](double u, double v) {
        const double grain =
            noise(u * 6, v * 6, 6, 1) * 0.6 + noise(u * size / 2.0, v * size / 2.0, NO_REPEAT, 2) * 0.4;
        return scaled(FLOOR_STONE, 0.93 + 0.12 * grain + 0.05 * (1 - u - v));
    });
}

void draw_target(const Tile& t) {
    draw_floor(t);
    const double width = t.at_least(0.045, 0.55);
    t.fill(ring(0.5, 0.5, 0.27, width), TARGET_GLOW, 0.45, t.size * 0.12);
    t.fill(ring(0.5, 0.5, 0.27, width), TARGET_RING);
    t.fill(circle(0.5, 0.5, t.at_least(0.07, 1.1)), TARGET_GLOW, 0.5, t.size * 0.1);
    t.fill(circle(0.5, 0.5, t.at_least(0.06, 0.9)), TARGET_RING);
}

struct CratePalette {
    Color outline;
    Color frame;
    Color plank;
    Color seam;
};

const CratePalette CRATE_WOOD = {OUTLINE, {150, 88, 38}, {206, 142, 70}, {120, 70, 32}};
const CratePalette CRATE_DONE = {{12, 48, 36}, {34, 128, 92}, {86, 200, 140}, {24, 96, 66}};

void draw_crate(const Tile& t, const CratePalette& p, bool done) {
    const double m = 0.1, h = 0.5 - m;
    const double outline = t.at_least(0.03, 0.7);
    const double frame = t.at_least(0.1, 1.6);
    t.fill(rounded_box(0.53, 0.56, h, h, 0.08), SHADOW, 0.45, t.size * 0.08);
    if (done)
        t.fill(rounded_box(0.5, 0.5, h, h, 0.08), TARGET_GLOW, 0.8, t.size * 0.16);
    t.fill(rounded_box(0.5, 0.5, h, h, 0.07), p.outline);
    t.paint(rounded_box(0.5, 0.5, h - outline, h - outline, 0.05),
            [&](double, double v) { return scaled(p.frame, 1.12 - 0.25 * v); });

    const double inner = h - outline - frame;
    const int size = t.size;
    t.paint(rounded_box(0.5, 0.5, inner + outline * 0.6, inner + outline * 0.6, 0.02), solid(p.seam));
    t.paint(rounded_box(0.5, 0.5, inner, inner, 0.015), [&](double u, double v) {
        const double grain = noise(u * 3, v * size * 0.6, NO_REPEAT, done ? 5 : 4);
        return scaled(p.plank, 0.9 + 0.16 * grain - 0.1 * v);
    });
    // Plank seams a third and two thirds of the way down; below 20 pixels
    // they would only smear the panel.
    const double seam = t.at_least(0.012, 0.45);
    const Shape panel = rounded_box(0.5, 0.5, inner, inner, 0.015);
    for (double row : size >= 20 ? std::vector<double>{1.0 / 3, 2.0 / 3} : std::vector<double>{}) {
        const double y = 0.5 - inner + 2 * inner * row;
        t.fill(intersect(panel, rounded_box(0.5, y, 0.5, seam, 0)), p.seam, 0.8);
    }

    const double lo = 0.5 - inner, hi = 0.5 + inner;
    if (done) {
        const double stroke = t.at_least(0.055, 0.8);
        const Shape tick = unite(segment(0.3, 0.52, 0.44, 0.66, stroke), segment(0.44, 0.66, 0.71, 0.34, stroke));
        t.fill(grown(tick, outline), p.outline, 0.9);
        t.fill(tick, {236, 255, 236});
    } else {
        const Shape brace = intersect(panel, segment(lo, hi, hi, lo, t.at_least(0.06, 0.9)));
        t.fill(grown(brace, outline * 0.7), p.seam);
        t.paint(brace, [&](double, double v) { return scaled(p.frame, 1.15 - 0.25 * v); });
    }
    if (size >= 30)
        for (double x : {0.5 - h + outline + frame / 2, 0.5 + h - outline - frame / 2})
            for (double y : {0.5 - h + outline + frame / 2, 0.5 + h - outline - frame / 2}) {
                t.fill(circle(x, y, 0.022), p.outline, 0.8);
                t.fill(circle(x - 0.006, y - 0.006, 0.01), {230, 220, 200}, 0.7);
            }
}

const Color SKIN = {240, 196, 150};
const Color OVERALLS = {52, 108, 214};
const Color OVERALLS_DARK = {36, 72, 150};
const Color HELMET = {250, 200, 46};
const Color BOOTS = {56, 44, 40};

// On a target the keeper hides most of the ring, so a glowing ring round
// his feet says where he stands.
void draw_keeper(const Tile& t, bool on_target) {
    const double outline = t.at_least(0.035, 0.75);
    const Shape head = circle(0.5, 0.31, 0.16);
    const Shape body = rounded_box(0.5, 0.6, 0.195, 0.17, 0.08);
    const Shape legs = unite(segment(0.41, 0.715, 0.4, 0.875, 0.063), segment(0.59, 0.715, 0.6, 0.875, 0.063));
    const Shape arms = unite(segment(0.33, 0.485, 0.25, 0.69, 0.058), segment(0.67, 0.485, 0.75, 0.69, 0.058));
    const Shape helmet = intersect(circle(0.5, 0.29, 0.178), [](double, double v) { return v - 0.245; });
    const Shape brim = rounded_box(0.5, 0.24, 0.22, 0.029, 0.023);
    const Shape figure = unite(unite(unite(head, body), unite(legs, arms)), unite(helmet, brim));

    t.fill(ellipse(0.5, 0.9, 0.27, 0.06), SHADOW, 0.45, t.size * 0.06);
    if (on_target) {
        const double half_width = t.at_least(0.022, 0.5);
        const Shape feet = ellipse(0.5, 0.885, 0.3, 0.085);
        const Shape feet_ring = [=](double u, double v) { return std::abs(feet(u, v)) - half_width; };
        t.fill(feet_ring, TARGET_GLOW, 0.5, t.size * 0.1);
        t.fill(feet_ring, TARGET_RING);
    }
    t.fill(grown(figure, outline), {24, 22, 30});
    t.fill(legs, BOOTS);
    t.fill(arms, SKIN);
    t.fill(intersect(arms, [](double, double v) { return v - 0.58; }), OVERALLS_DARK);
    t.paint(body, [](double u, double v) { return scaled(OVERALLS, 1.15 - 0.35 * v + 0.1 * (0.5 - u)); });
    t.fill(intersect(body, rounded_box(0.5, 0.51, 0.08, 0.035, 0.012)), OVERALLS_DARK);
    t.paint(head, [](double u, double v) { return scaled(SKIN, 1.08 - 0.25 * (v - 0.2) - 0.15 * (u - 0.5)); });
    t.paint(unite(helmet, brim), [](double, double v) { return scaled(HELMET, 1.2 - 0.7 * (v - 0.16)); });
    if (t.size >= 20) {
        const double eye = t.at_least(0.02, 0.6);
        t.fill(circle(0.44, 0.345, eye), {30, 24, 24});
        t.fill(circle(0.56, 0.345, eye), {30, 24, 24});
    }
    if (t.size >= 30)
        t.fill(segment(0.455, 0.405, 0.545, 0.405, 0.009), {150, 80, 70}, 0.8);
}

const Color BRICK = {150, 74, 54};
const Color MORTAR = {66, 58, 56};
const Color WALL_EDGE = {34, 28, 28};

// Bricks are half a tile long and their pattern repeats every tile, so walls
// side by side run as one wall; only the free ends get a finished edge.
void draw_wall(const Tile& t, bool join_left, bool join_right) {
    const int courses = t.size >= 30 ? 4 : 2;
    const double course = 1.0 / courses;
    const double joint = t.at_least(0.018, 0.5);
    const double edge = t.at_least(0.05, 1);
    const double left = join_left ? -1 : edge;
    const double right = join_right ? 2 : 1 - edge;
    const int size = t.size;
    t.fill(WHOLE_TILE, MORTAR);
    for (int row = 0; row < courses; ++row) {
        const double shift = row % 2 ? 0.25 : 0;
        for (int b = -1; b < 3; ++b) {
            // A brick cut by a free end is shortened and gets rounded
            // corners there, so the wall ends in whole-looking bricks.
            const double x0 = std::max(shift + b * 0.5, left) + joint;
            const double x1 = std::min(shift + b * 0.5 + 0.5, right) - joint;
            if (x1 <= x0)
                continue;
            const double cy = (row + 0.5) * course;
            const int key = wrap(b, 2);
            const double tint = 0.86 + 0.22 * hash(key, row, 7);
            const Shape brick =
                rounded_box((x0 + x1) / 2, cy, (x1 - x0) / 2, course / 2 - joint, t.at_least(0.02, 0.4));
            t.paint(brick, [=](double u, double v) {
                const double face = (v - (cy - course / 2)) / course;
                const double grain = noise(u * size / 3.0, v * size / 3.0, NO_REPEAT, 9 + key);
                return scaled(BRICK, tint * (1.18 - 0.36 * face) * (0.94 + 0.1 * grain));
            });
        }
    }
    if (!join_left) {
        t.fill([=](double u, double) { return u - edge; }, WALL_EDGE);
        t.paint([=](double u, double) { return u - 0.16; }, solid(WALL_EDGE), 0.2, size * 0.16);
    }
    if (!join_right) {
        t.fill([=](double u, double) { return (1 - u) - edge; }, WALL_EDGE);
        t.paint([=](double u, double) { return (1 - u) - 0.16; }, solid(WALL_EDGE), 0.3, size * 0.16);
    }
}

Canvas draw_skin(int size) {
    Canvas canvas(6 * size, 2 * size, {0, 0, 0});
    auto tile = [&](int column, int row) { return Tile(canvas, column * size, row * size, size); };
    draw_floor(tile(0, 0));
    draw_target(tile(1, 0));
    draw_floor(tile(2, 0));
    draw_crate(tile(2, 0), CRATE_WOOD, false);
    draw_target(tile(3, 0));
    draw_crate(tile(3, 0), CRATE_DONE, true);
    draw_floor(tile(4, 0));
    draw_keeper(tile(4, 0), false);
    draw_target(tile(5, 0));
    draw_keeper(tile(5, 0), true);
    draw_wall(tile(0, 1), false, false);
    draw_wall(tile(1, 1), false, true);
    draw_wall(tile(2, 1), true, true);
    draw_wall(tile(3, 1), true, false);
    return canvas;
}

// A calm dark field with a faint diamond lattice; everything in it repeats
// with the picture's size so the board area shows no seams.
Canvas draw_background() {
    const int cell = BACK_SIZE / 4;
    Canvas canvas(BACK_SIZE, BACK_SIZE, {0, 0, 0});
    for (int y = 0; y < BACK_SIZE; ++y)
        for (int x = 0; x < BACK_SIZE; ++x) {
            const double px = x + 0.5, py = y + 0.5;
            const double cloud = noise(px / cell, py / cell, 4, 11) * 0.7 + noise(px / 8, py / 8, 16, 12) * 0.3;
            const double a = std::fmod(px + py, cell), b = std::fmod(px - py + BACK_SIZE, cell);
            const double line = std::min(std::min(a, cell - a), std::min(b, cell - b));
            const double lattice = clamp01(1 - line / 1.2);
            const Color base = mix({22, 26, 36}, {32, 38, 52}, cloud);
            canvas.at(x, y) = mix(base, {44, 52, 68}, lattice * 0.55);
        }
    return canvas;
}

// A small board drawn the way the game draws it, to judge the tiles together.
const char PREVIEW_BOARD[] = ";\n"
                             "'Preview\n"
                             "  #####\n"
                             "### . #\n"
                             "# $.  #####\n"
                             "# $$  *.  #\n"
                             "#+  # # $ #\n"
                             "##  #     #\n"
                             " ##########\n";

Canvas draw_preview(const TLevel& board, const Canvas& skin, const Canvas& back, int size) {
    const int margin = size;
    Canvas canvas(board.width * size + 2 * margin, board.height * size + 2 * margin, {0, 0, 0});
    for (int y = 0; y < canvas.height; ++y)
        for (int x = 0; x < canvas.width; ++x)
            canvas.at(x, y) = back.at(x % back.width, y % back.height);
    auto copy_tile = [&](int number, int column, int row) {
        const int place = number <= 6 ? number - 1 : number - 7;
        const int source_row = number <= 6 ? 0 : 1;
        for (int y = 0; y < size; ++y)
            for (int x = 0; x < size; ++x)
                canvas.at(margin + column * size + x, margin + row * size + y) =
                    skin.at(place * size + x, source_row * size + y);
    };
    for (int r = 0; r < board.height; ++r)
        for (int c = 0; c < board.width; ++c) {
            const int cell = board.get(c, r);
            const bool left = board.get(c - 1, r) == CELL_WALL;
            const bool right = board.get(c + 1, r) == CELL_WALL;
            // Cell codes 1 to 4 are the tiles that show them; the keeper's
            // tiles follow, and a wall's depends on the walls beside it.
            const int tile = cell == CELL_WALL                          ? 7 + (left && right ? 2
                                                                               : left        ? 3
                                                                               : right       ? 1
                                                                                             : 0)
                             : c == board.start_x && r == board.start_y ? (cell == CELL_TARGET ? 6 : 5)
                             : cell == CELL_OUTSIDE                     ? 0
                                                                        : cell;
            if (tile)
                copy_tile(tile, c, r);
        }
    return canvas;
}

int usage() {
    std::fprintf(stderr, "usage: make_skins [--preview] <directory>\n");
    return 2;
}

}  // namespace

// Only exactly rounded floating-point operations (arithmetic, sqrt, floor,
// fmod) and integer hashing are used, so the pixels do not depend on the
// machine or any library version.
int main(int argc, char** argv) {
    const bool preview = argc == 3 && std::strcmp(argv[1], "--preview") == 0;
    if (argc != 2 && !preview)
        return usage();
    const std::string directory = argv[argc - 1];
    TLevelCollection boards;
    if (preview && boards.import_text(PREVIEW_BOARD, "preview", std::cerr) != 0)
        return 1;

    const Canvas back = draw_background();
    bool ok = preview || back.write_bmp(directory + "/back.bmp");
    for (int size : SKIN_SIZES) {
        const Canvas skin = draw_skin(size);
        const std::string name = std::to_string(size) + ".bmp";
        if (preview)
            ok = draw_preview(*boards.levels[0], skin, back, size).write_bmp(directory + "/preview" + name) && ok;
        else
            ok = skin.write_bmp(directory + "/skin" + name) && ok;
    }
    if (!ok) {
        std::fprintf(stderr, "make_skins: cannot write into %s\n", directory.c_str());
        return 1;
    }
    return 0;
}
