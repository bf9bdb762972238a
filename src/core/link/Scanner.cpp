#include "core/link/Scanner.h"

#include "core/link/UnavailableScan.h"
#include "core/link/WifiScan.h"
#include "platform/foundation/Strings.h"

std::shared_ptr<Scanner> Scanner::ScannerForMode(int deviceMode, const LinkSettings& settings)
{
    std::shared_ptr<Scanner> link;
    if (deviceMode == 0)
        link = std::make_shared<WifiScan>();
    else
        link = std::make_shared<UnavailableScan>(deviceMode);
    link->setSettings(settings);
    return link;
}

std::shared_ptr<ScannerDelegate> Scanner::delegate() const
{
    if (auto current = delegate_.lock())
        return current;
    return defaultDelegate_.lock();
}

std::vector<std::shared_ptr<ScannerDelegate>> Scanner::connectionReceivers() const
{
    std::vector<std::shared_ptr<ScannerDelegate>> receivers;
    if (auto owner = defaultDelegate_.lock())
        receivers.push_back(std::move(owner));
    if (auto current = delegate_.lock(); current && (receivers.empty() || current != receivers.front()))
        receivers.push_back(std::move(current));
    return receivers;
}

void Scanner::releaseDelegate(const ScannerDelegate* delegate)
{
    if (delegate_.lock().get() == delegate)
        delegate_.reset();
}

void Scanner::supportedPIDsChanged()
{
    if (supportedPIDsSink_)
        supportedPIDsSink_(supportedPIDs_);
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
        if (fastPolling == FastPolling::AsSet && settings_.fastPolling)
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
