// A preferences file of any bytes, loaded as at launch, then read with every
// accessor under the keys the seeds use.
#include <cstdint>

#include "ScratchFile.h"
#include "platform/foundation/UserDefaults.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const ScratchFile file("Preferences.json", data, size);
    const fnd::UserDefaults defaults(file.path());
    for (const char* key : {"a", "b", "c"}) {
        defaults.integerForKey(key);
        defaults.boolForKey(key);
        defaults.doubleForKey(key);
        defaults.stringForKey(key);
        defaults.objectForKey(key);
    }
    return 0;
}
