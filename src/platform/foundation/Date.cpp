#include "platform/foundation/Date.h"

#include <chrono>

#include "platform/foundation/RunLoop.h"

namespace fnd {

Date Date::now()
{
    const auto& loop = RunLoop::main();
    if (loop.isManualClock())
        return Date{manualClockEpoch + loop.now()};
    const auto since = std::chrono::system_clock::now().time_since_epoch();
    return Date{std::chrono::duration<double>(since).count()};
}

}  // namespace fnd
