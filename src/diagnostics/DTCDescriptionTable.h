#pragma once

#include <array>
#include <cstdint>

// One built-in description: a code's value without its letter bits (P0133 is 0x0133) and English text.
struct DTCDescription {
    std::uint16_t code;
    const char* text;
};

// The powertrain codes the application describes without the reference site, in ascending order.
extern const std::array<DTCDescription, 900> DTCDescriptionTable;
