#include "core/link/Scanner.h"

#include "core/link/UnavailableScan.h"
#include "core/link/WifiScan.h"
#include "core/model/Manager.h"
#include "platform/foundation/Strings.h"

std::shared_ptr<Scanner> Scanner::ScannerForMode(int deviceMode)
{
    if (deviceMode == 0)
        return std::make_shared<WifiScan>();
    return std::make_shared<UnavailableScan>(deviceMode);
}

Command Scanner::commandForOBD2(int mode, int pid, int pid2) const
{
    return commandForOBD2(mode, pid, pid2, FastPolling::AsSet);
}

Command Scanner::commandForOBD2(int mode, int pid, int pid2, FastPolling fastPolling) const
{
    Command command;
    command.mode = static_cast<std::uint8_t>(mode);
    command.pid = static_cast<std::uint8_t>(pid);
    command.pid2 = pid2 == 255 ? 0 : static_cast<std::uint8_t>(pid2);
    command.priority = 1;
    command.commandString = fnd::format("%02x", command.mode);
    if (pid != 255) {
        command.commandString += fnd::format("%02x", command.pid);
        if (pid2 != 255)
            command.commandString += fnd::format("%02x", static_cast<std::uint8_t>(pid2));
        // One reply expected: the adapter answers without waiting out its timeout.
        if (fastPolling == FastPolling::AsSet && Manager::sharedManager().setting().fastPollingEnabled)
            command.commandString += "1";
    }
    return command;
}

Command Scanner::commandForVoltage() const
{
    Command command;
    command.pid = 255;
    command.priority = 3;
    command.isVoltageCommand = true;
    command.commandString = "AT RV";
    return command;
}
