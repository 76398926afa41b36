#include "skin_art.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <string>

namespace v270::skingen {

namespace {

using platform::Rgb;

// The palette: near-black steel with cyan light and a red accent.
constexpr Rgb kBackdrop{9, 11, 15};
constexpr Rgb kPanelTop{22, 27, 35};
constexpr Rgb kPanelBottom{13, 16, 22};
constexpr Rgb kEdge{42, 54, 68};
constexpr Rgb kEdgeBright{70, 88, 108};
constexpr Rgb kCyan{0, 214, 255};
constexpr Rgb kRed{255, 40, 64};
constexpr Rgb kRedDeep{150, 10, 30};
constexpr Rgb kSteel{120, 136, 152};
constexpr Rgb kWhite{235, 242, 248};

void source(cairo_t* cr, Rgb c, double alpha = 1.0) {
    cairo_set_source_rgba(cr, c.red / 255.0, c.green / 255.0, c.blue / 255.0, alpha);
}

void stop(cairo_pattern_t* p, double offset, Rgb c, double alpha = 1.0) {
    cairo_pattern_add_color_stop_rgba(p, offset, c.red / 255.0, c.green / 255.0, c.blue / 255.0,
                                      alpha);
}

Rgb mix(Rgb a, Rgb b, double t) {
    const auto lerp = [t](uint8_t x, uint8_t y) {
        return static_cast<uint8_t>(std::lround(x + (y - x) * t));
    };
    return {lerp(a.red, b.red), lerp(a.green, b.green), lerp(a.blue, b.blue)};
}

void verticalFill(cairo_t* cr, double top, double bottom, Rgb upper, Rgb lower,
                  double alpha = 1.0) {
    cairo_pattern_t* p = cairo_pattern_create_linear(0, top, 0, bottom);
    stop(p, 0, upper, alpha);
    stop(p, 1, lower, alpha);
    cairo_set_source(cr, p);
    cairo_pattern_destroy(p);
}

// A rectangle with its corners cut at 45 degrees.
void chamfer(cairo_t* cr, double x, double y, double w, double h, double cut) {
    cut = std::min({cut, w / 2, h / 2});
    cairo_new_path(cr);
    cairo_move_to(cr, x + cut, y);
    cairo_line_to(cr, x + w - cut, y);
    cairo_line_to(cr, x + w, y + cut);
    cairo_line_to(cr, x + w, y + h - cut);
    cairo_line_to(cr, x + w - cut, y + h);
    cairo_line_to(cr, x + cut, y + h);
    cairo_line_to(cr, x, y + h - cut);
    cairo_line_to(cr, x, y + cut);
    cairo_close_path(cr);
}

void roundRect(cairo_t* cr, double x, double y, double w, double h, double r) {
    r = std::min({r, w / 2, h / 2});
    cairo_new_path(cr);
    cairo_arc(cr, x + w - r, y + r, r, -std::numbers::pi / 2, 0);
    cairo_arc(cr, x + w - r, y + h - r, r, 0, std::numbers::pi / 2);
    cairo_arc(cr, x + r, y + h - r, r, std::numbers::pi / 2, std::numbers::pi);
    cairo_arc(cr, x + r, y + r, r, std::numbers::pi, 1.5 * std::numbers::pi);
    cairo_close_path(cr);
}

void polygon(cairo_t* cr, const std::vector<std::array<int32_t, 2>>& points, double inset = 0) {
    // Moves each point toward the centre of the bounding box by `inset`, enough for the
    // outlines here, which are convex.
    double cx = 0;
    double cy = 0;
    for (const auto& p : points)
        cx += p[0], cy += p[1];
    cx /= static_cast<double>(points.size());
    cy /= static_cast<double>(points.size());
    cairo_new_path(cr);
    for (const auto& p : points) {
        const double x = p[0] + (p[0] < cx ? inset : -inset);
        const double y = p[1] + (p[1] < cy ? inset : -inset);
        cairo_line_to(cr, x, y);
    }
    cairo_close_path(cr);
}

// A soft light along the current path: wide faint strokes under a sharp one.
void glowStroke(cairo_t* cr, Rgb colour, double width) {
    for (int pass = 3; pass >= 1; --pass) {
        source(cr, colour, 0.12 * (4 - pass));
        cairo_set_line_width(cr, width + 2.5 * pass);
        cairo_stroke_preserve(cr);
    }
    source(cr, colour);
    cairo_set_line_width(cr, width);
    cairo_stroke(cr);
}

void text(cairo_t* cr, const std::string& utf8, double x, double y, double size, Rgb colour,
          bool bold = true, bool centred = false, double alpha = 1.0) {
    cairo_select_font_face(cr, "DejaVu Sans", CAIRO_FONT_SLANT_NORMAL,
                           bold ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
    cairo_set_font_size(cr, size);
    if (centred) {
        cairo_text_extents_t e;
        cairo_text_extents(cr, utf8.c_str(), &e);
        x -= e.x_advance / 2;
    }
    source(cr, colour, alpha);
    cairo_move_to(cr, x, y);
    cairo_show_text(cr, utf8.c_str());
}

double cx(const PixelRect& r) {
    return (r.left + r.right) / 2.0;
}
double cy(const PixelRect& r) {
    return (r.top + r.bottom) / 2.0;
}

// --- The window frame, the same on every page ------------------------------------------------

void drawBackdrop(cairo_t* cr, const SkinDescription& skin) {
    source(cr, {255, 255, 255});
    cairo_paint(cr);
    polygon(cr, skin.outline);
    cairo_save(cr);
    cairo_clip_preserve(cr);
    source(cr, kBackdrop);
    cairo_fill(cr);

    // A faint diagonal weave and a cool light from the top.
    cairo_set_line_width(cr, 1);
    for (int32_t d = -kWindowHeight; d < kWindowWidth; d += 6) {
        cairo_move_to(cr, d, 0);
        cairo_line_to(cr, d + kWindowHeight, kWindowHeight);
    }
    source(cr, {30, 38, 48}, 0.35);
    cairo_stroke(cr);
    cairo_pattern_t* light = cairo_pattern_create_radial(470, -60, 40, 470, -60, 520);
    stop(light, 0, {0, 90, 120}, 0.35);
    stop(light, 1, {0, 0, 0}, 0);
    cairo_set_source(cr, light);
    cairo_paint(cr);
    cairo_pattern_destroy(light);

    // Title bar and status bar.
    verticalFill(cr, 0, 56, {26, 32, 42}, {12, 15, 20});
    cairo_rectangle(cr, 0, 0, kWindowWidth, 56);
    cairo_fill(cr);
    verticalFill(cr, 496, 560, {14, 17, 23}, {24, 29, 38});
    cairo_rectangle(cr, 0, 496, kWindowWidth, 64);
    cairo_fill(cr);
    // The red slash under the title bar.
    cairo_new_path(cr);
    cairo_move_to(cr, 0, 56);
    cairo_line_to(cr, 210, 56);
    cairo_line_to(cr, 222, 60);
    cairo_line_to(cr, 0, 60);
    cairo_close_path(cr);
    source(cr, kRed);
    cairo_fill(cr);
    cairo_move_to(cr, 222, 57.5);
    cairo_line_to(cr, kWindowWidth, 57.5);
    source(cr, kEdge);
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
    cairo_move_to(cr, 0, 496.5);
    cairo_line_to(cr, kWindowWidth, 496.5);
    cairo_stroke(cr);

    // The side bar.
    chamfer(cr, 12, 96, 168, 392, 10);
    verticalFill(cr, 96, 488, kPanelTop, kPanelBottom);
    cairo_fill_preserve(cr);
    source(cr, kEdge);
    cairo_stroke(cr);
    cairo_move_to(cr, 24, 356.5);
    cairo_line_to(cr, 168, 356.5);
    cairo_stroke(cr);

    // The chin plate's groove.
    cairo_restore(cr);

    // The rim: a bright line just inside the outline.
    polygon(cr, skin.outline, 1.5);
    source(cr, kEdgeBright);
    cairo_set_line_width(cr, 1.5);
    cairo_stroke(cr);
    polygon(cr, skin.outline, 4);
    source(cr, kCyan, 0.25);
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
}

void panel(cairo_t* cr, double x, double y, double w, double h, bool accent = true) {
    chamfer(cr, x, y, w, h, 9);
    verticalFill(cr, y, y + h, kPanelTop, kPanelBottom, 0.92);
    cairo_fill_preserve(cr);
    source(cr, kEdge);
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
    if (accent) {
        cairo_move_to(cr, x + 10, y + 0.5);
        cairo_line_to(cr, x + 46, y + 0.5);
        source(cr, kCyan);
        cairo_set_line_width(cr, 2);
        cairo_stroke(cr);
    }
}

// A sunken field behind a child control or a read-out.
void well(cairo_t* cr, const PixelRect& r) {
    cairo_rectangle(cr, r.left - 1.5, r.top - 1.5, r.width() + 3, r.height() + 3);
    source(cr, {3, 4, 6});
    cairo_fill_preserve(cr);
    source(cr, kEdge);
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
}

// --- The mouse -----------------------------------------------------------------------------

struct MouseFrame {
    double cx;
    double top;
    double scale;
    double x(double dx) const { return cx + dx * scale; }
    double y(double dy) const { return top + dy * scale; }
};

// The body seen from above, 140 wide and 194 long at scale 1.
void mouseBody(cairo_t* cr, const MouseFrame& m) {
    cairo_new_path(cr);
    cairo_move_to(cr, m.x(0), m.y(0));
    cairo_curve_to(cr, m.x(-40), m.y(0), m.x(-64), m.y(12), m.x(-66), m.y(46));
    cairo_curve_to(cr, m.x(-68), m.y(80), m.x(-72), m.y(118), m.x(-66), m.y(150));
    cairo_curve_to(cr, m.x(-60), m.y(180), m.x(-34), m.y(194), m.x(0), m.y(194));
    cairo_curve_to(cr, m.x(34), m.y(194), m.x(60), m.y(180), m.x(66), m.y(150));
    cairo_curve_to(cr, m.x(72), m.y(118), m.x(68), m.y(80), m.x(66), m.y(46));
    cairo_curve_to(cr, m.x(64), m.y(12), m.x(40), m.y(0), m.x(0), m.y(0));
    cairo_close_path(cr);
}

constexpr double kSplit = 94;    // where the main buttons end
constexpr double kChannel = 10;  // half the width of the wheel channel

void mouseButtonShape(cairo_t* cr, const MouseFrame& m, int32_t button) {
    cairo_new_path(cr);
    switch (button) {
        case 3:
            roundRect(cr, m.x(-6), m.y(22), 12 * m.scale, 40 * m.scale, 6 * m.scale);
            break;
        case 6:
            roundRect(cr, m.x(-7), m.y(73), 14 * m.scale, 18 * m.scale, 4 * m.scale);
            break;
        case 4:
        case 5: {
            const double top = button == 4 ? 104 : 140;
            roundRect(cr, m.x(-74), m.y(top), 12 * m.scale, 28 * m.scale, 5 * m.scale);
            break;
        }
        default:
            break;
    }
}

// The mouse in its plain look; `light` colours the logo and the light strip (none when unlit).
void drawMouse(cairo_t* cr, const MouseFrame& m, std::optional<Rgb> light) {
    // The glow the light casts around the mouse.
    if (light) {
        cairo_pattern_t* halo = cairo_pattern_create_radial(m.x(0), m.y(110), 20 * m.scale, m.x(0),
                                                            m.y(110), 150 * m.scale);
        stop(halo, 0, *light, 0.45);
        stop(halo, 1, *light, 0);
        cairo_set_source(cr, halo);
        cairo_arc(cr, m.x(0), m.y(110), 150 * m.scale, 0, 2 * std::numbers::pi);
        cairo_fill(cr);
        cairo_pattern_destroy(halo);
    }
    mouseBody(cr, m);
    cairo_pattern_t* shell = cairo_pattern_create_linear(m.x(-70), 0, m.x(70), 0);
    stop(shell, 0, {18, 22, 28});
    stop(shell, 0.45, {44, 52, 62});
    stop(shell, 1, {14, 17, 22});
    cairo_set_source(cr, shell);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(shell);
    source(cr, light ? mix(*light, kWhite, 0.2) : kEdgeBright, light ? 0.9 : 1.0);
    cairo_set_line_width(cr, 1.6 * m.scale);
    cairo_stroke(cr);

    // The buttons' seams and the wheel channel.
    cairo_save(cr);
    mouseBody(cr, m);
    cairo_clip(cr);
    cairo_rectangle(cr, m.x(-kChannel), m.y(0), 2 * kChannel * m.scale, kSplit * m.scale);
    source(cr, {14, 17, 22});
    cairo_fill(cr);
    cairo_move_to(cr, m.x(-80), m.y(kSplit));
    cairo_line_to(cr, m.x(80), m.y(kSplit));
    source(cr, {5, 6, 9});
    cairo_set_line_width(cr, 2 * m.scale);
    cairo_stroke(cr);
    // Side grips.
    for (int i = 0; i < 5; ++i) {
        cairo_move_to(cr, m.x(-64), m.y(110 + 12 * i));
        cairo_line_to(cr, m.x(-54), m.y(114 + 12 * i));
        cairo_move_to(cr, m.x(64), m.y(110 + 12 * i));
        cairo_line_to(cr, m.x(54), m.y(114 + 12 * i));
    }
    source(cr, {60, 70, 82});
    cairo_set_line_width(cr, 1.2 * m.scale);
    cairo_stroke(cr);
    // The light strip along the palm.
    cairo_move_to(cr, m.x(-40), m.y(176));
    cairo_curve_to(cr, m.x(-20), m.y(186), m.x(20), m.y(186), m.x(40), m.y(176));
    if (light) {
        source(cr, *light, 0.5);
        cairo_set_line_width(cr, 6 * m.scale);
        cairo_stroke_preserve(cr);
        source(cr, mix(*light, kWhite, 0.5));
    } else {
        source(cr, {50, 56, 64});
    }
    cairo_set_line_width(cr, 2.2 * m.scale);
    cairo_stroke(cr);
    cairo_restore(cr);

    // Wheel, DPI button and side buttons.
    for (int32_t button : {3, 6, 4, 5}) {
        mouseButtonShape(cr, m, button);
        verticalFill(cr, m.y(0), m.y(160), {60, 68, 80}, {26, 30, 38});
        cairo_fill_preserve(cr);
        source(cr, {90, 102, 118});
        cairo_set_line_width(cr, 1 * m.scale);
        cairo_stroke(cr);
    }
    for (int i = 0; i < 7; ++i) {
        cairo_move_to(cr, m.x(-5), m.y(26 + 5 * i));
        cairo_line_to(cr, m.x(5), m.y(26 + 5 * i));
    }
    source(cr, {20, 24, 30});
    cairo_set_line_width(cr, 1.2 * m.scale);
    cairo_stroke(cr);

    // The palm sign: a chevron.
    cairo_move_to(cr, m.x(-14), m.y(144));
    cairo_line_to(cr, m.x(0), m.y(160));
    cairo_line_to(cr, m.x(14), m.y(144));
    source(cr, light ? mix(*light, kWhite, 0.35) : Rgb{70, 80, 94});
    cairo_set_line_width(cr, 3 * m.scale);
    cairo_stroke(cr);
}

// The shipped main page's mouse: centre x 450, top 112, full size.
constexpr MouseFrame kMainMouse{450, 112, 1.0};

void mouseButtonLight(cairo_t* cr, int32_t button, State state) {
    if (state == State::Normal)
        return;
    const Rgb colour = state == State::Over ? kCyan : kRed;
    const double alpha = state == State::Over ? 0.28 : 0.45;
    if (button == 1 || button == 2) {
        // The half of the body above the split, outside the wheel channel.
        const MouseFrame& m = kMainMouse;
        const double side = button == 1 ? -1 : 1;
        const double inner = m.x(side * kChannel);
        const double outer = m.x(side * 80);
        cairo_save(cr);
        cairo_rectangle(cr, std::min(inner, outer), m.y(-2), std::abs(outer - inner), kSplit + 2);
        cairo_clip(cr);
        mouseBody(cr, m);
        source(cr, colour, alpha);
        cairo_fill_preserve(cr);
        cairo_move_to(cr, inner, m.y(0));
        cairo_line_to(cr, inner, m.y(kSplit));
        cairo_line_to(cr, outer, m.y(kSplit));
        glowStroke(cr, colour, 1.5);
        cairo_restore(cr);
    } else {
        mouseButtonShape(cr, kMainMouse, button);
        source(cr, colour, alpha);
        cairo_fill_preserve(cr);
        glowStroke(cr, colour, 1.5);
    }
    // The button's number, lit.
    if (button == 1 || button == 2) {
        text(cr, std::to_string(button), button == 1 ? 416 : 484, 172, 12, kWhite, true, true);
    }
}

// --- Widgets ----------------------------------------------------------------------------------

void button(cairo_t* cr, const PixelRect& r, State state, bool primary) {
    const double x = r.left + 0.5;
    const double y = r.top + 0.5;
    const double w = r.width() - 1;
    const double h = r.height() - 1;
    chamfer(cr, x + 1, y + 1, w - 2, h - 2, 6);
    switch (state) {
        case State::Normal:
            verticalFill(cr, y, y + h, primary ? Rgb{40, 24, 30} : Rgb{30, 37, 47},
                         primary ? Rgb{22, 12, 16} : Rgb{17, 21, 28});
            cairo_fill_preserve(cr);
            source(cr, primary ? Rgb{120, 30, 44} : kEdgeBright);
            cairo_set_line_width(cr, 1);
            cairo_stroke(cr);
            break;
        case State::Over:
            verticalFill(cr, y, y + h, {22, 52, 64}, {10, 26, 34});
            cairo_fill_preserve(cr);
            glowStroke(cr, kCyan, 1.2);
            break;
        case State::Down:
            verticalFill(cr, y, y + h, kRed, kRedDeep);
            cairo_fill_preserve(cr);
            source(cr, {255, 130, 140});
            cairo_set_line_width(cr, 1);
            cairo_stroke(cr);
            break;
    }
}

void tab(cairo_t* cr, const PixelRect& r, State state) {
    cairo_new_path(cr);
    cairo_move_to(cr, r.left + 10, r.top + 2);
    cairo_line_to(cr, r.right - 2, r.top + 2);
    cairo_line_to(cr, r.right - 12, r.bottom - 3);
    cairo_line_to(cr, r.left, r.bottom - 3);
    cairo_close_path(cr);
    if (state == State::Down) {
        verticalFill(cr, r.top, r.bottom, {0, 70, 92}, {0, 30, 42});
    } else if (state == State::Over) {
        verticalFill(cr, r.top, r.bottom, {24, 44, 54}, {14, 24, 30});
    } else {
        verticalFill(cr, r.top, r.bottom, {24, 29, 37}, {15, 18, 24});
    }
    cairo_fill_preserve(cr);
    source(cr, state == State::Normal ? kEdge : kCyan, state == State::Over ? 0.7 : 1.0);
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
    if (state != State::Normal) {
        cairo_move_to(cr, r.left + 4, r.bottom - 2);
        cairo_line_to(cr, r.right - 14, r.bottom - 2);
        glowStroke(cr, state == State::Down ? kCyan : mix(kCyan, kBackdrop, 0.4), 2);
    }
}

void profileButton(cairo_t* cr, const PixelRect& r, State state, int32_t number) {
    button(cr, r, state == State::Down ? State::Normal : state, false);
    // A light on the left edge; lit for the current profile.
    const Rgb lamp = state == State::Down ? kRed : state == State::Over ? kCyan : Rgb{50, 60, 72};
    cairo_rectangle(cr, r.left + 5, r.top + 8, 4, r.height() - 16);
    source(cr, lamp);
    cairo_fill(cr);
    if (state == State::Down) {
        chamfer(cr, r.left + 1.5, r.top + 1.5, r.width() - 3, r.height() - 3, 6);
        cairo_pattern_t* p = cairo_pattern_create_linear(r.left, 0, r.right, 0);
        stop(p, 0, kRed, 0.55);
        stop(p, 1, kRed, 0.08);
        cairo_set_source(cr, p);
        cairo_fill_preserve(cr);
        cairo_pattern_destroy(p);
        glowStroke(cr, kRed, 1);
    }
    (void)number;
}

void pill(cairo_t* cr, const PixelRect& r, State state, int32_t language) {
    roundRect(cr, r.left + 1, r.top + 1, r.width() - 2, r.height() - 2, r.height() / 2.0 - 1);
    if (state == State::Down) {
        verticalFill(cr, r.top, r.bottom, {0, 150, 190}, {0, 80, 110});
        cairo_fill(cr);
    } else {
        source(cr, state == State::Over ? Rgb{20, 50, 60} : Rgb{20, 24, 30});
        cairo_fill_preserve(cr);
        source(cr, state == State::Over ? kCyan : kEdge);
        cairo_set_line_width(cr, 1);
        cairo_stroke(cr);
    }
    // Each language's name in its own script, so that either can be found in the other.
    const Rgb ink = state == State::Normal ? kSteel : kWhite;
    if (language == 0) {
        cairo_select_font_face(cr, "WenQuanYi Micro Hei", CAIRO_FONT_SLANT_NORMAL,
                               CAIRO_FONT_WEIGHT_NORMAL);
        cairo_set_font_size(cr, 12);
        cairo_text_extents_t e;
        cairo_text_extents(cr, "中文", &e);
        source(cr, ink);
        cairo_move_to(cr, cx(r) - e.x_advance / 2, cy(r) + 4.5);
        cairo_show_text(cr, "中文");
    } else {
        text(cr, "EN", cx(r), cy(r) + 4, 10.5, ink, true, true);
    }
}

void windowControl(cairo_t* cr, const PixelRect& r, State state, bool close) {
    const Rgb hot = close ? kRed : kCyan;
    chamfer(cr, r.left + 1, r.top + 1, r.width() - 2, r.height() - 2, 4);
    if (state == State::Down) {
        source(cr, hot);
        cairo_fill(cr);
    } else {
        source(cr, state == State::Over ? mix(hot, kBackdrop, 0.7) : Rgb{20, 24, 30});
        cairo_fill_preserve(cr);
        source(cr, state == State::Over ? hot : kEdge);
        cairo_set_line_width(cr, 1);
        cairo_stroke(cr);
    }
    const double x = cx(r);
    const double y = cy(r);
    if (close) {
        cairo_move_to(cr, x - 5, y - 5);
        cairo_line_to(cr, x + 5, y + 5);
        cairo_move_to(cr, x + 5, y - 5);
        cairo_line_to(cr, x - 5, y + 5);
    } else {
        cairo_move_to(cr, x - 6, y + 4);
        cairo_line_to(cr, x + 6, y + 4);
    }
    source(cr, state == State::Normal ? kSteel : kWhite);
    cairo_set_line_width(cr, 2);
    cairo_stroke(cr);
}

void logo(cairo_t* cr, const PixelRect& r, State state) {
    const double x = r.left + 8;
    const double base = r.top + 28;
    if (state != State::Normal) {
        cairo_pattern_t* p = cairo_pattern_create_radial(cx(r), cy(r), 4, cx(r), cy(r), 90);
        stop(p, 0, state == State::Over ? kCyan : kRed, 0.35);
        stop(p, 1, kBackdrop, 0);
        cairo_set_source(cr, p);
        cairo_paint(cr);
        cairo_pattern_destroy(p);
    }
    cairo_save(cr);
    cairo_matrix_t skew;
    cairo_matrix_init(&skew, 1, 0, -0.2, 1, 0.2 * base, 0);
    cairo_transform(cr, &skew);
    text(cr, "VELKO", x, base, 24, state == State::Over ? mix(kWhite, kCyan, 0.4) : kWhite);
    text(cr, "V270", x + 96, base, 24, kRed);
    cairo_restore(cr);
    text(cr, "GAMING MOUSE", x + 1, r.top + 38, 7.5, kSteel, false);
}

void assignBox(cairo_t* cr, const PixelRect& r, State state) {
    chamfer(cr, r.left + 0.5, r.top + 0.5, r.width() - 1, r.height() - 1, 5);
    source(cr, state == State::Down ? Rgb{0, 48, 64} : Rgb{6, 8, 11});
    cairo_fill_preserve(cr);
    if (state == State::Normal) {
        source(cr, kEdgeBright);
        cairo_set_line_width(cr, 1);
        cairo_stroke(cr);
    } else {
        glowStroke(cr, kCyan, 1);
    }
    // The drop-down mark.
    const double x = r.right - 13;
    const double y = cy(r);
    cairo_move_to(cr, x - 4, y - 2);
    cairo_line_to(cr, x, y + 2);
    cairo_line_to(cr, x + 4, y - 2);
    source(cr, state == State::Normal ? kSteel : kCyan);
    cairo_set_line_width(cr, 1.6);
    cairo_stroke(cr);
}

void badge(cairo_t* cr, const PixelRect& r, State state, int32_t number) {
    const double x = cx(r);
    const double y = cy(r);
    cairo_new_path(cr);
    for (int k = 0; k < 6; ++k) {
        const double a = std::numbers::pi / 3 * k + std::numbers::pi / 6;
        cairo_line_to(cr, x + 8 * std::cos(a), y + 8 * std::sin(a));
    }
    cairo_close_path(cr);
    source(cr, state == State::Normal ? Rgb{20, 26, 33}
               : state == State::Over ? Rgb{0, 70, 90}
                                      : kRedDeep);
    cairo_fill_preserve(cr);
    source(cr, state == State::Normal ? kEdgeBright : state == State::Over ? kCyan : kRed);
    cairo_set_line_width(cr, 1.2);
    cairo_stroke(cr);
    text(cr, std::to_string(number), x, y + 4, 10, kWhite, true, true);
}

void toggle(cairo_t* cr, const PixelRect& r, State state) {
    const double h = r.height() - 4;
    roundRect(cr, r.left + 2, r.top + 2, r.width() - 4, h, h / 2);
    if (state == State::Down) {
        verticalFill(cr, r.top, r.bottom, {255, 70, 90}, {170, 16, 36});
        cairo_fill_preserve(cr);
        source(cr, {255, 140, 150});
    } else {
        source(cr, {8, 10, 13});
        cairo_fill_preserve(cr);
        source(cr, state == State::Over ? kCyan : kEdgeBright);
    }
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
    const double knob = h / 2 - 2;
    const double kx = state == State::Down ? r.right - 2 - h / 2 : r.left + 2 + h / 2;
    cairo_arc(cr, kx, r.top + 2 + h / 2, knob, 0, 2 * std::numbers::pi);
    verticalFill(cr, r.top, r.bottom, {236, 240, 244}, {150, 160, 172});
    if (state == State::Normal)
        source(cr, {96, 106, 118});
    cairo_fill(cr);
}

void radio(cairo_t* cr, const PixelRect& r, State state, bool wide) {
    if (wide) {
        button(cr, r, state == State::Down ? State::Normal : state, false);
        if (state == State::Down) {
            chamfer(cr, r.left + 1.5, r.top + 1.5, r.width() - 3, r.height() - 3, 6);
            source(cr, {0, 60, 80});
            cairo_fill_preserve(cr);
            glowStroke(cr, kCyan, 1);
        }
    }
    const double x = wide ? r.left + 16 : cx(r);
    const double y = cy(r);
    cairo_arc(cr, x, y, 7, 0, 2 * std::numbers::pi);
    source(cr, {6, 8, 10});
    cairo_fill_preserve(cr);
    source(cr, state == State::Normal ? kEdgeBright : kCyan);
    cairo_set_line_width(cr, 1.4);
    cairo_stroke(cr);
    if (state == State::Down) {
        cairo_arc(cr, x, y, 4, 0, 2 * std::numbers::pi);
        source(cr, kCyan);
        cairo_fill(cr);
    }
}

void indicator(cairo_t* cr, const PixelRect& r, State state, int32_t level) {
    const Rgb colour = kLevelColours[static_cast<size_t>(level)];
    const double x = cx(r);
    const double y = cy(r);
    if (state == State::Down) {
        cairo_pattern_t* p = cairo_pattern_create_radial(x, y, 1, x, y, 7);
        stop(p, 0, mix(colour, kWhite, 0.6));
        stop(p, 0.55, colour);
        stop(p, 1, colour, 0);
        cairo_set_source(cr, p);
        cairo_paint(cr);
        cairo_pattern_destroy(p);
        return;
    }
    cairo_arc(cr, x, y, 4.5, 0, 2 * std::numbers::pi);
    source(cr, mix(colour, kBackdrop, state == State::Over ? 0.45 : 0.8));
    cairo_fill(cr);
}

void dpiCell(cairo_t* cr, const PixelRect& r, State state) {
    // The slider's track runs through every stop; this stop's tick and its hover light.
    const double y = cy(r);
    cairo_rectangle(cr, r.left, y - 3, r.width(), 6);
    source(cr, {6, 8, 10});
    cairo_fill(cr);
    cairo_move_to(cr, r.left, y - 3.5);
    cairo_line_to(cr, r.right, y - 3.5);
    source(cr, kEdge);
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
    cairo_move_to(cr, cx(r), r.top + 2);
    cairo_line_to(cr, cx(r), r.top + 6);
    cairo_move_to(cr, cx(r), r.bottom - 6);
    cairo_line_to(cr, cx(r), r.bottom - 2);
    source(cr, state == State::Normal ? kSteel : kCyan);
    cairo_set_line_width(cr, 1.5);
    cairo_stroke(cr);
    if (state != State::Normal) {
        roundRect(cr, r.left + 3, r.top + 3, r.width() - 6, r.height() - 6, 5);
        source(cr, kCyan, state == State::Over ? 0.18 : 0.35);
        cairo_fill_preserve(cr);
        source(cr, kCyan, 0.8);
        cairo_stroke(cr);
    }
}

void segment(cairo_t* cr, const PixelRect& r, State state, int32_t step) {
    const double h = 6 + 2 * step;
    const double top = r.bottom - 2 - h;
    cairo_rectangle(cr, r.left + 3, top, r.width() - 6, h);
    if (state == State::Down) {
        verticalFill(cr, top, r.bottom, mix(kCyan, kRed, step / 9.0), kRedDeep);
        cairo_fill_preserve(cr);
        glowStroke(cr, mix(kCyan, kRed, step / 9.0), 1);
    } else {
        source(cr, state == State::Over ? Rgb{20, 60, 72} : Rgb{30, 36, 44});
        cairo_fill_preserve(cr);
        source(cr, state == State::Over ? kCyan : kEdge);
        cairo_set_line_width(cr, 1);
        cairo_stroke(cr);
    }
}

void fireBar(cairo_t* cr, const PixelRect& r, State state) {
    cairo_rectangle(cr, r.left + 0.5, r.top + 0.5, r.width() - 1, r.height() - 1);
    if (state == State::Down) {
        cairo_pattern_t* p = cairo_pattern_create_linear(r.left, 0, r.right, 0);
        stop(p, 0, {255, 190, 40});
        stop(p, 0.5, {255, 90, 40});
        stop(p, 1, kRed);
        cairo_set_source(cr, p);
        cairo_fill_preserve(cr);
        cairo_pattern_destroy(p);
        source(cr, {255, 200, 120});
    } else {
        source(cr, {6, 8, 10});
        cairo_fill_preserve(cr);
        source(cr, state == State::Over ? kCyan : kEdgeBright);
    }
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
    // Ticks every 50 ms.
    for (int k = 1; k < 6; ++k) {
        const double x = r.left + r.width() * k / 6.0;
        cairo_move_to(cr, std::round(x) + 0.5, r.bottom - 5);
        cairo_line_to(cr, std::round(x) + 0.5, r.bottom - 1);
    }
    source(cr, state == State::Down ? Rgb{120, 20, 20} : kEdge);
    cairo_stroke(cr);
}

void stepButton(cairo_t* cr, const PixelRect& r, State state, bool plus) {
    button(cr, r, state, false);
    const double x = cx(r);
    const double y = cy(r);
    cairo_move_to(cr, x - 6, y);
    cairo_line_to(cr, x + 6, y);
    if (plus) {
        cairo_move_to(cr, x, y - 6);
        cairo_line_to(cr, x, y + 6);
    }
    source(cr, state == State::Normal ? kSteel : kWhite);
    cairo_set_line_width(cr, 2);
    cairo_stroke(cr);
}

void ledMode(cairo_t* cr, const PixelRect& r, State state, int32_t mode) {
    radio(cr, r, state, true);
    // The mode's sign on the right: a pulse, quick flashes, a steady bar or a dark dot.
    const double x = r.right - 56;
    const double y = cy(r);
    const Rgb colour = state == State::Normal ? kSteel : kCyan;
    cairo_set_line_width(cr, 2);
    switch (mode) {
        case 0:
            cairo_move_to(cr, x, y);
            for (int k = 0; k <= 40; ++k) {
                cairo_line_to(cr, x + k, y - 7 * std::sin(k / 40.0 * 2 * std::numbers::pi));
            }
            source(cr, colour);
            cairo_stroke(cr);
            break;
        case 1:
            for (int k = 0; k < 4; ++k) {
                cairo_rectangle(cr, x + 11 * k, y - 6, 5, 12);
            }
            source(cr, colour);
            cairo_fill(cr);
            break;
        case 2:
            cairo_rectangle(cr, x, y - 4, 40, 8);
            source(cr, colour);
            cairo_fill(cr);
            break;
        default:
            cairo_arc(cr, x + 20, y, 6, 0, 2 * std::numbers::pi);
            source(cr, colour);
            cairo_stroke(cr);
            cairo_move_to(cr, x + 14, y + 6);
            cairo_line_to(cr, x + 26, y - 6);
            cairo_stroke(cr);
            break;
    }
}

void readout(cairo_t* cr, const PixelRect& r, State state) {
    chamfer(cr, r.left + 0.5, r.top + 0.5, r.width() - 1, r.height() - 1, 8);
    source(cr, {4, 6, 8});
    cairo_fill_preserve(cr);
    if (state == State::Normal) {
        source(cr, kEdgeBright);
        cairo_set_line_width(cr, 1);
        cairo_stroke(cr);
    } else {
        glowStroke(cr, state == State::Over ? kCyan : kRed, 1.2);
    }
}

void preview(cairo_t* cr, const PixelRect& r, std::optional<Rgb> light) {
    cairo_save(cr);
    cairo_rectangle(cr, r.left, r.top, r.width(), r.height());
    cairo_clip_preserve(cr);
    source(cr, {4, 5, 7});
    cairo_fill(cr);
    const double scale = 1.05;
    const MouseFrame m{cx(r), r.top + (r.height() - 194 * scale) / 2, scale};
    drawMouse(cr, m, light);
    chamfer(cr, r.left + 0.5, r.top + 0.5, r.width() - 1, r.height() - 1, 10);
    source(cr, kEdge);
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
    cairo_restore(cr);
}

void palmLogo(cairo_t* cr, const PixelRect& r, State state) {
    if (state == State::Normal)
        return;
    cairo_move_to(cr, kMainMouse.x(-14), kMainMouse.y(144));
    cairo_line_to(cr, kMainMouse.x(0), kMainMouse.y(160));
    cairo_line_to(cr, kMainMouse.x(14), kMainMouse.y(144));
    glowStroke(cr, state == State::Over ? kCyan : kRed, 3);
    (void)r;
}

void chin(cairo_t* cr, const PixelRect& r, State state) {
    const double y = cy(r);
    for (int k = 0; k < 9; ++k) {
        const double x = r.left + 18 + 30 * k;
        cairo_move_to(cr, x, y + 3);
        cairo_line_to(cr, x + 8, y - 3);
        cairo_line_to(cr, x + 20, y - 3);
        cairo_line_to(cr, x + 12, y + 3);
        cairo_close_path(cr);
    }
    source(cr,
           state == State::Normal ? Rgb{34, 40, 50}
           : state == State::Over ? kCyan
                                  : kRed,
           state == State::Normal ? 1.0 : 0.8);
    cairo_fill(cr);
}

void drawEntry(cairo_t* cr, const Entry& e, State state) {
    const PixelRect& r = e.area;
    cairo_save(cr);
    cairo_rectangle(cr, r.left, r.top, r.width(), r.height());
    cairo_clip(cr);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    switch (e.look) {
        case Look::Label:
            break;
        case Look::Button:
            button(cr, r, state, e.variant == 1);
            break;
        case Look::Profile:
            profileButton(cr, r, state, e.variant);
            break;
        case Look::Tab:
            tab(cr, r, state);
            break;
        case Look::Language:
            pill(cr, r, state, e.variant);
            break;
        case Look::Minimise:
        case Look::Close:
            windowControl(cr, r, state, e.look == Look::Close);
            break;
        case Look::Logo:
            logo(cr, r, state);
            break;
        case Look::AssignBox:
            assignBox(cr, r, state);
            break;
        case Look::Badge:
            badge(cr, r, state, e.variant);
            break;
        case Look::MouseButton:
            mouseButtonLight(cr, e.variant, state);
            break;
        case Look::Switch:
            toggle(cr, r, state);
            break;
        case Look::Radio:
            radio(cr, r, state, e.variant == 10);
            break;
        case Look::Indicator:
            indicator(cr, r, state, e.variant);
            break;
        case Look::DpiCell:
            dpiCell(cr, r, state);
            break;
        case Look::Segment:
            segment(cr, r, state, e.variant);
            break;
        case Look::FireBar:
            fireBar(cr, r, state);
            break;
        case Look::Plus:
        case Look::Minus:
            stepButton(cr, r, state, e.look == Look::Plus);
            break;
        case Look::LedMode:
            ledMode(cr, r, state, e.variant);
            break;
        case Look::Panel:
            readout(cr, r, state);
            break;
        case Look::Preview:
            break;  // drawn with the page, by its light
        case Look::PalmLogo:
            palmLogo(cr, r, state);
            break;
        case Look::Chin:
            chin(cr, r, state);
            break;
    }
    cairo_restore(cr);
}

// --- Pages ---------------------------------------------------------------------------------------

void drawLeader(cairo_t* cr, double x0, double y0, double x1, double y1) {
    cairo_move_to(cr, x0, y0);
    cairo_line_to(cr, x1, y1);
    source(cr, kEdgeBright, 0.9);
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
}

void mainPageBackground(cairo_t* cr, const SkinDescription& skin) {
    panel(cr, 186, 96, 584, 214);
    panel(cr, 186, 314, 414, 178);
    panel(cr, 604, 314, 166, 178);
    drawMouse(cr, kMainMouse, std::nullopt);
    // Leaders from the markers to their buttons.
    for (int32_t slot = 1; slot <= 6; ++slot) {
        const Entry* marker = skin.find(Table::Main, 83 + slot);
        const Entry* box = skin.find(Table::Main, 24 + slot);
        const Entry* target = skin.find(Table::Main, 89 + slot);
        if (!marker || !box || !target)
            continue;
        const bool left = box->area.left < 400;
        drawLeader(cr, left ? box->area.right : box->area.left, cy(box->area),
                   left ? marker->area.left : marker->area.right, cy(marker->area));
        // On to the mouse's edge, where a dot marks the end.
        const double edge = left ? 383 : 517;
        const double y = cy(marker->area);
        drawLeader(cr, left ? marker->area.right : marker->area.left, y, edge, y);
        cairo_arc(cr, edge, y, 2, 0, 2 * std::numbers::pi);
        source(cr, kEdgeBright);
        cairo_fill(cr);
    }
    // The sliders' rails behind the stops, and the column rules.
    for (int32_t level = 0; level < 4; ++level) {
        const Entry* first = skin.find(Table::Main, 61 + 5 * level);
        if (!first)
            continue;
        const double y = cy(first->area);
        cairo_rectangle(cr, 358, y - 3, 238, 6);
        source(cr, {6, 8, 10});
        cairo_fill(cr);
    }
}

void advancedPageBackground(cairo_t* cr, const SkinDescription& skin) {
    panel(cr, 186, 96, 334, 396);
    panel(cr, 530, 96, 240, 396);
    well(cr, skin.controls.macroList);
    well(cr, skin.controls.stepList);
    well(cr, skin.controls.nameEdit);
    well(cr, skin.controls.repeatEdit);
    const Entry* downs = skin.find(Table::Advanced, 38);
    const Entry* ups = skin.find(Table::Advanced, 39);
    const Entry* value = skin.find(Table::Advanced, 33);
    for (const Entry* e : {downs, ups, value}) {
        if (e)
            well(cr, {e->area.left + 2, e->area.top + 2, e->area.right - 2, e->area.bottom - 2});
    }
}

void colourPageBackground(cairo_t* cr, const SkinDescription& skin, std::optional<Rgb> light) {
    panel(cr, 186, 96, 276, 396);
    panel(cr, 466, 96, 304, 396);
    if (const Entry* area = skin.find(Table::Colour, 11))
        preview(cr, area->area, light);
    // The level colours, as a legend under the hint.
    for (size_t k = 0; k < kLevelColours.size(); ++k) {
        const double x = 494 + 66.0 * static_cast<double>(k);
        roundRect(cr, x, 420, 46, 18, 4);
        source(cr, kLevelColours[k]);
        cairo_fill(cr);
        text(cr, std::to_string(k + 1), x + 23, 434, 11, kWhite, true, true);
    }
}

bool onPage(const Entry& e, Page page) {
    if (e.table == Table::Main)
        return e.index <= 19 || page == PAGE_MAIN;
    if (e.table == Table::Advanced)
        return page == PAGE_ADVANCED;
    if (e.table == Table::Colour)
        return page == PAGE_COLOUR;
    return false;
}

}  // namespace

void drawPage(cairo_t* cr, const SkinDescription& skin, Page page, State state,
              std::optional<PreviewLight> light) {
    drawBackdrop(cr, skin);
    cairo_save(cr);
    polygon(cr, skin.outline);
    cairo_clip(cr);
    switch (page) {
        case PAGE_MAIN:
            mainPageBackground(cr, skin);
            break;
        case PAGE_ADVANCED:
            advancedPageBackground(cr, skin);
            break;
        case PAGE_COLOUR: {
            // Normal, over and down show the preview lit in colours 1, 2 and 3.
            std::optional<Rgb> colour = kLevelColours[state == State::Normal ? 1
                                                      : state == State::Over ? 2
                                                                             : 3];
            if (light)
                colour = light->off ? std::nullopt : std::optional<Rgb>(light->colour);
            colourPageBackground(cr, skin, colour);
            break;
        }
    }
    for (const Entry& e : skin.entries) {
        if (onPage(e, page))
            drawEntry(cr, e, state);
    }
    cairo_restore(cr);
}

void drawMask(cairo_t* cr, const std::vector<std::array<int32_t, 2>>& outline,
              platform::PixelSize size) {
    cairo_set_antialias(cr, CAIRO_ANTIALIAS_NONE);
    source(cr, {255, 255, 255});
    cairo_rectangle(cr, 0, 0, size.width, size.height);
    cairo_fill(cr);
    polygon(cr, outline);
    source(cr, {0, 0, 0});
    cairo_fill(cr);
}

void drawKnob(cairo_t* cr, int32_t width, int32_t height) {
    source(cr, {6, 8, 10});
    cairo_paint(cr);
    const double y = height / 2.0;
    cairo_rectangle(cr, 0, y - 3, width, 6);
    source(cr, {6, 8, 10});
    cairo_fill(cr);
    roundRect(cr, 4, 2, width - 8, height - 4, 6);
    cairo_pattern_t* p = cairo_pattern_create_linear(0, 0, 0, height);
    stop(p, 0, {170, 250, 255});
    stop(p, 0.5, kCyan);
    stop(p, 1, {0, 90, 130});
    cairo_set_source(cr, p);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(p);
    source(cr, kWhite);
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
    for (int k = -1; k <= 1; ++k) {
        cairo_move_to(cr, width / 2.0 + 4 * k + 0.5, 7);
        cairo_line_to(cr, width / 2.0 + 4 * k + 0.5, height - 7);
    }
    source(cr, {0, 60, 90});
    cairo_stroke(cr);
}

void drawMenu(cairo_t* cr, const MenuGeometry& menu, bool subMenu, State state) {
    const double w = menu.rowWidth;
    verticalFill(cr, 0, menu.height(), {20, 25, 32}, {10, 12, 16});
    cairo_paint(cr);
    for (int32_t row = 0; row < menu.rows; ++row) {
        const double top = row * menu.rowHeight;
        const double h = menu.rowHeight;
        if (state != State::Normal) {
            cairo_rectangle(cr, 2, top + 2, w - 4, h - 3);
            cairo_pattern_t* p = cairo_pattern_create_linear(0, 0, w, 0);
            // The hovered row's text is red: the bands stay dark enough to carry it.
            const Rgb colour = state == State::Over ? kCyan : Rgb{90, 130, 170};
            stop(p, 0, colour, state == State::Over ? 0.4 : 0.6);
            stop(p, 1, colour, 0.08);
            cairo_set_source(cr, p);
            cairo_fill(cr);
            cairo_pattern_destroy(p);
            cairo_rectangle(cr, 2, top + 2, 3, h - 3);
            source(cr, state == State::Over ? kCyan : kWhite);
            cairo_fill(cr);
        }
        cairo_move_to(cr, 8, top + h + 0.5);
        cairo_line_to(cr, w - 8, top + h + 0.5);
        source(cr, kEdge);
        cairo_set_line_width(cr, 1);
        cairo_stroke(cr);
        // The four group rows of the function menu open a sub-menu.
        if (!subMenu && row >= 6) {
            const double x = w - 14;
            const double y = top + h / 2;
            cairo_move_to(cr, x - 3, y - 5);
            cairo_line_to(cr, x + 2, y);
            cairo_line_to(cr, x - 3, y + 5);
            source(cr, state == State::Normal ? kSteel : kWhite);
            cairo_set_line_width(cr, 1.6);
            cairo_stroke(cr);
        }
    }
    cairo_rectangle(cr, 0.5, 0.5, w - 1, menu.height() - 1);
    source(cr, subMenu ? kEdgeBright : kCyan, 0.8);
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
}

void drawWarning(cairo_t* cr, const SkinDescription& skin, State state) {
    const platform::PixelSize size = skin.warningSize;
    source(cr, {255, 255, 255});
    cairo_paint(cr);
    polygon(cr, skin.warningOutline);
    verticalFill(cr, 0, size.height, {28, 20, 24}, {12, 10, 14});
    cairo_fill(cr);
    cairo_rectangle(cr, 0, 0, size.width, 30);
    cairo_save(cr);
    polygon(cr, skin.warningOutline);
    cairo_clip(cr);
    verticalFill(cr, 0, 30, {90, 14, 26}, {40, 8, 14});
    cairo_fill(cr);
    // A warning sign in the title strip.
    cairo_move_to(cr, 24, 22);
    cairo_line_to(cr, 33, 7);
    cairo_line_to(cr, 42, 22);
    cairo_close_path(cr);
    source(cr, {255, 200, 40});
    cairo_fill(cr);
    text(cr, "!", 33, 21, 11, {40, 10, 10}, true, true);
    text(cr, "V270", 52, 20, 12, kWhite, true);
    cairo_restore(cr);
    polygon(cr, skin.warningOutline, 1.5);
    source(cr, kRed);
    cairo_set_line_width(cr, 1.5);
    cairo_stroke(cr);
    for (const Entry& e : skin.entries) {
        if (e.table == Table::Warning)
            drawEntry(cr, e, state);
    }
}

}  // namespace v270::skingen
