#include "core/link/UnavailableScan.h"

#include "platform/foundation/RunLoop.h"

void UnavailableScan::openTransport()
{
    // Reported from the run loop, like any other failed connection, not from inside connect().
    fnd::RunLoop::main().post([this, alive = std::weak_ptr<int>(alive_)] {
        if (alive.lock())
            transportDidFail("This adapter type has no transport here: choose the Wi-Fi adapter in Settings");
    });
}
