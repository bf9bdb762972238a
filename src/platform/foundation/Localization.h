#pragma once

#include <string>
#include <string_view>

namespace fnd {

// The English text of a message key from resources/strings/en.json, else the key itself.
std::string L(std::string_view key);

}  // namespace fnd
