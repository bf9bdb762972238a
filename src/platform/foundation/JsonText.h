#pragma once

#include <cstddef>
#include <string_view>

#include <nlohmann/json.hpp>

namespace fnd {

// Nothing we read nests anywhere near this deep. Reading, copying, comparing and writing a value each go
// one call deeper per level, so a deeper text (a damaged or hostile file) would end the process on the
// stack's limit; it is refused as damaged instead.
inline constexpr std::size_t maxJsonDepth = 512;

// The value of `text`; a discarded value (is_discarded()) when it is not JSON or nests arrays and
// objects deeper than maxJsonDepth.
nlohmann::json parseJson(std::string_view text);

}  // namespace fnd
