#pragma once

#include <string>
#include <string_view>

// The element names documents use most, each stored once for the whole
// program: an element with one of them points at the shared copy instead of
// holding its own. nullptr for any other name.
const std::u16string* KnownTagName(std::u16string_view name);
