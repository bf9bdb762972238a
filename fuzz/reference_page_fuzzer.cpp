// A trouble code's reference page of any bytes: its symptom and cause sections.
#include <cstdint>
#include <string_view>

#include "diagnostics/DTCReferencePage.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    readReferencePage(std::string_view(reinterpret_cast<const char*>(data), size));
    return 0;
}
