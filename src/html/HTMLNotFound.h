#pragma once

#include <cstddef>

// The position returned when a child or key is not found.
inline constexpr std::size_t HTMLNotFound = static_cast<std::size_t>(-1);
