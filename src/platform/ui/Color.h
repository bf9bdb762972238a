#pragma once

// Colours as the phone platform names them; components 0..1, not premultiplied.

namespace ui {

struct Hsb {
    double hue = 0; // 0..1, one full turn
    double saturation = 0;
    double brightness = 0;
    double alpha = 1;
};

struct Color {
    double r = 0, g = 0, b = 0, a = 1;

    static Color rgb(double r, double g, double b, double a = 1) { return {r, g, b, a}; }
    static Color rgb255(int r, int g, int b, double a = 1);
    static Color white(double w, double a = 1) { return {w, w, w, a}; }
    static Color hsb(double hue, double saturation, double brightness, double alpha = 1);

    static Color black() { return white(0); }
    static Color white() { return white(1); }
    static Color clear() { return white(0, 0); }
    static Color red() { return {1, 0, 0, 1}; }
    static Color green() { return {0, 1, 0, 1}; }
    static Color blue() { return {0, 0, 1, 1}; }
    static Color orange() { return {1, 0.5, 0, 1}; }
    static Color yellow() { return {1, 1, 0, 1}; }
    static Color cyan() { return {0, 1, 1, 1}; }
    static Color magenta() { return {1, 0, 1, 1}; }
    static Color purple() { return {0.5, 0, 0.5, 1}; }
    static Color brown() { return {0.6, 0.4, 0.2, 1}; }
    static Color gray() { return white(0.5); }
    static Color lightGray() { return white(2.0 / 3.0); }
    static Color darkGray() { return white(1.0 / 3.0); }

    // The system palette in its light appearance.
    static Color systemBlue() { return rgb255(0, 122, 255); }
    static Color systemRed() { return rgb255(255, 59, 48); }
    static Color systemGreen() { return rgb255(52, 199, 89); }
    static Color systemOrange() { return rgb255(255, 149, 0); }
    static Color systemYellow() { return rgb255(255, 204, 0); }
    static Color systemGray() { return rgb255(142, 142, 147); }
    static Color systemGray4() { return rgb255(209, 209, 214); }
    static Color systemGray5() { return rgb255(229, 229, 234); }
    static Color systemGray6() { return rgb255(242, 242, 247); }
    static Color groupTableViewBackground() { return rgb255(242, 242, 247); }
    static Color separator() { return rgb255(60, 60, 67, 0.29); }
    static Color placeholderText() { return rgb255(60, 60, 67, 0.3); }

    Color withAlpha(double alpha) const { return {r, g, b, alpha}; }
    Hsb toHsb() const;
    bool isClear() const { return a <= 0; }

    friend bool operator==(const Color&, const Color&) = default;
};

} // namespace ui
