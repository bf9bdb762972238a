#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/link/LinkSettings.h"
#include "core/obd/Command.h"
#include "core/obd/Response.h"
#include "core/obd/SupportedPIDs.h"

class Scanner;

// Why a request came to nothing, or to less than the car sent.
enum class ReplyProblem {
    NoData,      // no ECU answered ("NO DATA")
    Unreadable,  // noise, an adapter error ("?", "CAN ERROR", "BUFFER FULL") or frames that do not fit
    NoReply,     // the adapter never ended its reply
};

// The link's callbacks, all on the main thread. Every method is optional (empty by default).
class ScannerDelegate {
public:
    virtual ~ScannerDelegate() = default;

    // The adapter is initialised; isConnected() is already true.
    virtual void scannerDidInitialize(Scanner&) {}
    // The replies to one request of the polled list or of sendCommand() (one Response per PID).
    virtual void didReceiveResponse(const std::vector<Response>&) {}
    // The reply to commandForVoltage(); the text is in each Response's dataString.
    virtual void scannerDidReceiveVoltage(Scanner&, const std::vector<Response>&) {}
    // The whole reply to a request of sendCommand(), for a console: the request as sent (without its
    // carriage return), the Responses of every ECU and the adapter's texts ("OK", "NO DATA", "?", "12.6V").
    // Comes for every reply, also for those that make no didReceiveResponse call.
    virtual void scannerDidReceiveReply(Scanner&, const std::string& /*request*/, const std::vector<Response>&,
                                        const std::vector<std::string>& /*texts*/)
    {
    }
    // A request of the polled list, or one of sendCommand() without its own receiver, whose reply was not
    // read whole. Whatever could be read came through didReceiveResponse first.
    virtual void scannerRequestFailed(Scanner&, const Command&, ReplyProblem) {}
    // The replies to the background status requests (speed, coolant, oil temperature).
    virtual void scannerDidReceiveStatusResponse(Scanner&, const std::vector<Response>&) {}
    // A progress or failure text for the user ("Connecting...", "Searching for protocol...", ...).
    virtual void scannerDidUpdateStatus(Scanner&, const std::string& /*text*/) {}
    // Several ECUs answered during initialisation. Return true to choose one later with
    // Scanner::selectECU() (initialisation waits for it); false lets the link take the first one.
    virtual bool scannerShouldChooseECU(Scanner&, const std::vector<int>& /*ecus*/) { return false; }
};

// The adapter link. One request is in flight at a time; the next goes out when the prompt ends the reply.
class Scanner {
public:
    // The link for Settings.deviceMode. Only types with a transport here connect (0: ELM327 over Wi-Fi);
    // any other type gives a link whose connect() fails with a message and "connectionDroppedNotification".
    static std::shared_ptr<Scanner> ScannerForMode(int deviceMode, const LinkSettings& settings = {});

    virtual ~Scanner() = default;
    Scanner(const Scanner&) = delete;
    Scanner& operator=(const Scanner&) = delete;

    // Starts connecting and initialising (progress through scannerDidUpdateStatus). A link that fails
    // or drops posts "connectionDroppedNotification" and can connect again.
    virtual void connect() = 0;
    // Closes the connection without posting anything.
    virtual void disconnect() = 0;

    bool isConnected() const { return connected_; }
    const std::string& deviceName() const { return deviceName_; }
    // The last progress or failure text.
    const std::string& statusText() const { return statusText_; }

    // The settings the link works with; a change applies from the next request (the address and
    // protocol from the next connect()).
    const LinkSettings& settings() const { return settings_; }
    void setSettings(const LinkSettings& settings) { settings_ = settings; }

    // The PIDs the car reported supported (empty until initialisation has read them). `sink` is given
    // them whenever that changes: cleared at connect(), then once per bitmap read.
    const SupportedPIDs& supportedPIDs() const { return supportedPIDs_; }
    void setSupportedPIDsSink(std::function<void(const SupportedPIDs&)> sink) { supportedPIDsSink_ = std::move(sink); }

    // Who receives the callbacks. Both receivers are held weakly, so one that goes away simply stops
    // receiving them and the link never calls something gone.
    //
    // The delegate is the screen on view: it takes the link when it appears and gives it back when it
    // leaves (TemplateViewCon::takeLink() and releaseLink()). releaseDelegate() clears it only when it is
    // still the one given, so a screen leaving after the next one took over changes nothing.
    void setDelegate(const std::shared_ptr<ScannerDelegate>& delegate) { delegate_ = delegate; }
    void releaseDelegate(const ScannerDelegate* delegate);
    // The default delegate (the main menu) owns the connection: it always hears of its progress
    // (scannerDidUpdateStatus, scannerDidInitialize; the delegate too, when it is another one), is the one
    // asked to choose the ECU, and receives the replies while there is no delegate.
    void setDefaultDelegate(const std::shared_ptr<ScannerDelegate>& delegate) { defaultDelegate_ = delegate; }
    // The receiver of replies right now: the delegate, else the default delegate; nullptr when neither is
    // alive.
    std::shared_ptr<ScannerDelegate> delegate() const;

    // Makes `commands` the polled list from its first entry; `cycle` repeats it, otherwise each request
    // is sent once. Starts at once when nothing was being polled, otherwise at the next prompt.
    virtual void setInitCommands(std::vector<Command> commands, bool cycle) = 0;
    // Replaces the polled list without sending; nullopt (or an empty list) stops after the reply in flight.
    virtual void setCommands(std::optional<std::vector<Command>> commands) = 0;
    const std::optional<std::vector<Command>>& commands() const { return commands_; }
    // Sends one request outside the list, right after the reply in flight. Its reply goes to `onReply`
    // when one is given (called only when the reply carries data), else to the delegate's
    // didReceiveResponse (or scannerDidReceiveVoltage for a voltage request).
    using ReplyHandler = std::function<void(const std::vector<Response>&)>;
    virtual void sendCommand(const Command& command, ReplyHandler onReply = {}) = 0;

    // Requests sent with sendCommand() may change the adapter's settings (protocol, headers, spaces,
    // echo, a reset): this sets the adapter up again as initialisation left it, when they did. A link
    // whose adapter has no such settings has nothing to do.
    virtual void restoreSetup() {}

    // While true no status request is inserted into the traffic.
    void shoulBlockStatus(bool block) { blockStatus_ = block; }
    bool isStatusBlocked() const { return blockStatus_; }
    // Queues the status list ahead of the next polled request (run by the 5.0 s status timer).
    virtual void updateWarning() = 0;
    // The status requests built when initialisation finished.
    const std::vector<Command>& statusCommands() const { return statusCommands_; }

    // The ECUs that answered during initialisation, and the one whose replies are delivered (0: all).
    const std::vector<int>& ecus() const { return ecus_; }
    int selectedECU() const { return selectedECU_; }
    virtual void selectECU(int ecu) = 0;

    // A request for a service, PID and second PID byte (255: the byte is left out), priority 1.
    // With fast polling on, a request that has a PID ends in "1" (one reply expected).
    Command commandForOBD2(int mode, int pid, int pid2) const;
    // The same without the one-reply suffix whatever the setting: for requests that several ECUs answer
    // or whose reply spans several frames.
    enum class FastPolling { AsSet, Off };
    Command commandForOBD2(int mode, int pid, int pid2, FastPolling fastPolling) const;
    // The adapter's battery-voltage request "AT RV", priority 3.
    Command commandForVoltage() const;

protected:
    Scanner() = default;

    // Reports supportedPIDs_ to the sink.
    void supportedPIDsChanged();
    // The receivers of the connection's progress: the default delegate first, then the delegate when it
    // is another one.
    std::vector<std::shared_ptr<ScannerDelegate>> connectionReceivers() const;

    LinkSettings settings_;
    SupportedPIDs supportedPIDs_;
    bool connected_ = false;
    std::string deviceName_;
    std::string statusText_;
    std::optional<std::vector<Command>> commands_;
    bool blockStatus_ = false;
    std::vector<Command> statusCommands_;
    std::vector<int> ecus_;
    int selectedECU_ = 0;

private:
    std::weak_ptr<ScannerDelegate> delegate_;
    std::weak_ptr<ScannerDelegate> defaultDelegate_;
    std::function<void(const SupportedPIDs&)> supportedPIDsSink_;
};
