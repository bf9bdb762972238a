#include "dashboard/GaugePalette.h"

using ui::Color;

GaugePalette GaugePalette::forTheme(int theme)
{
    if (theme == 1) {
        return {
            .background = Color::rgb255(255, 241, 226),
            .faceCentre = Color::rgb255(255, 250, 244),
            .faceEdge = Color::rgb255(236, 221, 203),
            .bezel = Color::white(0.25),
            .majorTick = Color::white(0.1),
            .minorTick = Color::white(0.35),
            .numbers = Color::white(0.1),
            .label = Color::rgb(0.1216, 0.196, 0.392),
            .unit = Color::white(0.3),
            .accent = Color::rgb(0.1216, 0.196, 0.392),
            .warning = Color::rgb(0.706, 0, 0.157),
            .hub = Color::white(0.15),
        };
    }
    return {
        .background = Color::black(),
        .faceCentre = Color::white(0.13),
        .faceEdge = Color::white(0.03),
        .bezel = Color::white(0.3),
        .majorTick = Color::white(0.9),
        .minorTick = Color::white(0.55),
        .numbers = Color::white(0.85),
        .label = Color::rgb(0, 0.647, 0.765),
        .unit = Color::white(0.6),
        .accent = Color::rgb255(51, 181, 225),
        .warning = Color::rgb255(235, 40, 70),
        .hub = Color::white(0.08),
    };
}
