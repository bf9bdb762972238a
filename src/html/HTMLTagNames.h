#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// The element names documents use most, each stored once for the whole
// program: an element with one of them points at the shared copy instead of
// holding its own. nullptr for any other name.
const std::u16string* KnownTagName(std::u16string_view name);

// The known names are numbered from 0 up to KnownTagNameCount().
std::size_t KnownTagNameCount();
// The number of a shared copy that KnownTagName gave; KnownTagNameCount()
// for any other string, whatever it holds.
std::size_t KnownTagNameNumber(const std::u16string& name);
