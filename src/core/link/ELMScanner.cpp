#include "core/link/ELMScanner.h"

#include <algorithm>
#include <cctype>
#include <utility>

#include "core/Notifications.h"
#include "core/obd/PidLengths.h"
#include "core/obd/PidNames.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/RunLoop.h"
#include "platform/foundation/Strings.h"

namespace {

const Response* findResponse(const std::vector<Response>& responses, int mode, int pid)
{
    const auto it = std::find_if(responses.begin(), responses.end(),
                                 [&](const Response& r) { return r.mode == mode && r.pid == pid; });
    return it == responses.end() ? nullptr : &*it;
}

std::uint32_t bitmapOf(const Response& response)
{
    std::uint32_t bits = 0;
    for (std::size_t i = 0; i < 4; ++i)
        bits = (bits << 8) | (i < response.data.size() ? response.data[i] : 0);
    return bits;
}

}  // namespace

ELMScanner::~ELMScanner()
{
    timeout_.cancel();
    keepAlive_.cancel();
    if (statusTimer_)
        statusTimer_->invalidate();
}

void ELMScanner::resetState()
{
    timeout_.cancel();
    keepAlive_.cancel();
    if (statusTimer_)
        statusTimer_->invalidate();
    statusTimer_.reset();
    step_ = Step::Idle;
    resuming_ = false;
    setupChanged_ = false;
    setupPending_ = false;
    connected_ = false;
    inFlight_.reset();
    buffer_.clear();
    consumed_ = 0;
    timeouts_ = 0;
    sendQueue_.clear();
    statusQueue_.clear();
    format_ = {};
    protocolNumber_ = 0;
    firstReply_.clear();
    packing_ = false;
    // A list set before the connection (or kept from the last one) starts again from its top.
    position_ = 0;
    polling_ = commands_ && !commands_->empty() && (cycle_ || polling_);
}

void ELMScanner::setStatus(const std::string& text)
{
    statusText_ = text;
    for (const auto& receiver : connectionReceivers())
        receiver->scannerDidUpdateStatus(*this, text);
}

void ELMScanner::connect()
{
    if (step_ != Step::Idle)
        return;
    resetState();
    ecus_.clear();
    selectedECU_ = 0;
    supportedPIDs_.clear();
    supportedPIDsChanged();
    step_ = Step::Opening;
    setStatus("Connecting...");
    openTransport();
}

void ELMScanner::disconnect()
{
    if (step_ == Step::Idle)
        return;
    closeTransport();
    resetState();
    setStatus("Disconnected");
}

// A connection that fails or ends: the link is ready to connect again.
void ELMScanner::fail(const std::string& message)
{
    fnd::log(fnd::LogLevel::Warning, "adapter link: " + message);
    closeTransport();
    resetState();
    setStatus(message);
    fnd::NotificationCenter::defaultCenter().post(connectionDroppedNotification, this);
}

void ELMScanner::transportDidOpen()
{
    if (step_ != Step::Opening)
        return;
    step_ = Step::Reset;
    setStatus("Initializing adapter...");
    sendInit("AT Z");
}

void ELMScanner::transportDidFail(const std::string& message)
{
    if (step_ == Step::Idle)
        return;
    // A transport that cannot open says why in full; one that was open has lost the connection.
    fail(step_ == Step::Opening ? message : "Connection lost: " + message);
}

void ELMScanner::transportDidReceive(std::string_view bytes)
{
    if (step_ == Step::Idle || step_ == Step::Opening)
        return;
    // A slow adapter is still answering: only silence times a reply out. Bytes that are thrown away
    // as noise are no answer.
    if (inFlight_ && !bytes.empty() && !overflowed_)
        armReplyTimeout();
    buffer_.append(bytes);
    // Replies are read from consumed_ on and cut from the buffer once at the end: erasing each in turn
    // would take time quadratic in the prompts of one read. Kept in a member, the position stays right
    // when a callback resets the link or runs the loop and this is entered again.
    std::size_t unrequested = 0;
    std::size_t prompt;
    while (step_ != Step::Idle && (prompt = buffer_.find('>', consumed_)) != std::string::npos) {
        const std::size_t start = std::exchange(consumed_, prompt + 1);
        if (inFlight_)
            replyEnded(buffer_.substr(start, prompt - start));
        else
            ++unrequested;
    }
    if (unrequested > 0)
        fnd::log(fnd::LogLevel::Debug, fnd::format("adapter link: %zu unrequested replies dropped", unrequested));
    buffer_.erase(0, consumed_);
    consumed_ = 0;
    if (buffer_.size() > maxBufferedBytes) {
        // No prompt in sight: noise. The reply timeout decides what happens next.
        if (!overflowed_)
            fnd::log(fnd::LogLevel::Warning, "adapter link: reply too long, discarded");
        overflowed_ = true;
        buffer_.clear();
    }
}

// The adapter aborts whatever it is doing when a byte arrives, so nothing is written while a
// request is in flight; the request text ends with exactly one carriage return.
void ELMScanner::send(Purpose purpose, std::vector<Command> commands, std::string text, double timeout,
                      ReplyHandler onReply)
{
    if (text.empty() || text.back() != '\r')
        text += '\r';
    inFlight_ = InFlight{purpose, std::move(commands), text, std::move(onReply)};
    overflowed_ = false;
    keepAlive_.cancel();
    silenceAllowed_ = timeout;
    replyDeadline_ = fnd::RunLoop::main().now() + std::max(timeout, maxReplyTime);
    armReplyTimeout();
    if (!writeToTransport(text))
        transportDidFail("the adapter cannot be written to");
}

void ELMScanner::sendInit(const std::string& text, double timeout)
{
    send(Purpose::Init, {}, text, timeout);
}

// The reply in flight times out after silenceAllowed_ without a byte, and at its deadline at the latest.
void ELMScanner::armReplyTimeout()
{
    timeout_.cancel();
    const double left = replyDeadline_ - fnd::RunLoop::main().now();
    timeout_ = fnd::after(std::clamp(left, 0.0, silenceAllowed_), [this] { replyTimedOut(); });
}

// An adapter that went silent is noticed even when no screen polls: the link asks for the battery
// voltage (answered by the adapter alone) whenever it has had nothing to send for a while.
void ELMScanner::armKeepAlive()
{
    keepAlive_.cancel();
    keepAlive_ = fnd::after(keepAliveInterval, [this] {
        if (isIdle())
            send(Purpose::KeepAlive, {}, "AT RV", replyTimeout);
    });
}

bool ELMScanner::isIdle() const
{
    return step_ == Step::Connected && !inFlight_;
}

void ELMScanner::replyTimedOut()
{
    if (!inFlight_)
        return;
    const InFlight request = std::move(*inFlight_);
    const Purpose purpose = request.purpose;
    inFlight_.reset();
    buffer_.clear();
    consumed_ = 0;
    if (purpose == Purpose::Init || ++timeouts_ >= maxTimeouts) {
        if (overflowed_)
            fail("The adapter sends data without end; is it an ELM327 adapter?");
        else
            fail(purpose == Purpose::Init ? "The adapter did not answer" : "The adapter stopped answering");
    } else {
        // A lone carriage return stops a reply that never ended; its prompt lets the traffic go on.
        fnd::log(fnd::LogLevel::Warning, "adapter link: no reply, stopping the request");
        send(Purpose::Recovery, {}, "\r", replyTimeout);
    }
    reportProblem(request, ReplyProblem::NoReply);
}

void ELMScanner::replyEnded(std::string text)
{
    timeout_.cancel();
    const InFlight request = std::move(*inFlight_);
    inFlight_.reset();
    const Reply reply = parseReply(text, request.text, format_);

    if (request.purpose == Purpose::Init) {
        initReply(reply, text);
        return;
    }
    if (request.purpose != Purpose::Recovery)
        timeouts_ = 0;
    if (reply.hasMessage("LV RESET")) {
        // The adapter restarted with its defaults: configure it again, then carry on polling.
        setStatus("Adapter restarted, configuring it again...");
        resuming_ = true;
        step_ = Step::EchoOff;
        sendInit("AT E0");
        return;
    }
    if (reply.hasMessage("UNABLE TO CONNECT") || reply.hasMessage("BUS INIT: ...ERROR"))
        setStatus("Unable to connect to the vehicle");
    if (reply.hasMessage("SEARCHING"))
        fnd::NotificationCenter::defaultCenter().post(protocolNotification, this);

    sendNext();
    deliver(request, reply);
}

std::vector<Response> ELMScanner::fromChosenECU(std::vector<Response> responses) const
{
    // Trouble codes and the lamp's state belong to the whole car: every ECU's answer counts.
    const auto wholeCar = [](const Response& r) {
        return r.mode == service::storedCodesReply || r.mode == service::pendingCodesReply ||
               r.mode == service::permanentCodesReply ||
               (r.mode == service::currentDataReply && r.pid == pid::monitorStatus);
    };
    if (selectedECU_ != 0) {
        std::erase_if(responses, [&](const Response& r) { return r.ecu != 0 && r.ecu != selectedECU_ && !wholeCar(r); });
    }
    return responses;
}

// The callbacks come after the next request went out, so a slow delegate does not hold up the link.
void ELMScanner::deliver(const InFlight& request, const Reply& reply)
{
    if (const auto receiver = delegate(); receiver && request.purpose == Purpose::Sent) {
        std::string sent = request.text;
        if (!sent.empty() && sent.back() == '\r')
            sent.pop_back();
        receiver->scannerDidReceiveReply(*this, sent, reply.responses, reply.messages);
    }
    if (request.purpose == Purpose::Recovery || request.purpose == Purpose::KeepAlive)
        return;
    if (!reply.beginsWithNoCallText())
        deliverResponses(request, reply);
    // Typed AT commands and the voltage request are answered by the adapter in words.
    const std::string sent = compactText(request.text);
    const bool obdRequest = !sent.empty() && std::all_of(sent.begin(), sent.end(), [](char c) {
        return std::isxdigit(static_cast<unsigned char>(c));
    });
    const bool fits = std::all_of(reply.responses.begin(), reply.responses.end(), fitsPidLength);
    if (obdRequest && (!reply.isWhole() || !fits))
        reportProblem(request, reply.responses.empty() && reply.hasMessage("NO DATA") ? ReplyProblem::NoData
                                                                                       : ReplyProblem::Unreadable);
}

void ELMScanner::reportProblem(const InFlight& request, ReplyProblem problem)
{
    if ((request.purpose != Purpose::Polled && request.purpose != Purpose::Sent) || request.onReply)
        return;
    if (const auto receiver = delegate()) {
        for (const Command& command : request.commands)
            receiver->scannerRequestFailed(*this, command, problem);
    }
}

void ELMScanner::deliverResponses(const InFlight& request, const Reply& reply)
{
    const bool isVoltage = request.commands.size() == 1 && request.commands.front().isVoltageCommand;
    std::vector<Response> responses;
    if (isVoltage) {
        const auto text = std::find_if(reply.messages.begin(), reply.messages.end(), [](const std::string& m) {
            return std::any_of(m.begin(), m.end(), [](char c) { return std::isdigit(static_cast<unsigned char>(c)); });
        });
        if (text != reply.messages.end()) {
            Response response;
            response.dataString = *text;
            responses.push_back(std::move(response));
        }
    } else {
        responses = fromChosenECU(reply.responses);
        std::erase_if(responses, [](const Response& r) { return !fitsPidLength(r); });
    }
    if (responses.empty())
        return;
    if (request.onReply) {
        request.onReply(responses);
        return;
    }
    const auto receiver = delegate();
    if (!receiver)
        return;
    if (isVoltage)
        receiver->scannerDidReceiveVoltage(*this, responses);
    else if (request.purpose == Purpose::Status)
        receiver->scannerDidReceiveStatusResponse(*this, responses);
    else
        receiver->didReceiveResponse(responses);
}

// --- Initialisation ---------------------------------------------------------------------------------

void ELMScanner::initReply(const Reply& reply, const std::string& text)
{
    switch (step_) {
    case Step::Reset:
        deviceName_ = reply.messages.empty() ? std::string() : reply.messages.back();
        step_ = Step::EchoOff;
        sendInit("AT E0");
        break;
    case Step::Defaults:
        step_ = Step::EchoOff;
        sendInit("AT E0");
        break;
    case Step::EchoOff:
        step_ = Step::LinefeedsOff;
        sendInit("AT L0");
        break;
    case Step::LinefeedsOff:
        step_ = Step::HeadersOn;
        sendInit("AT H1");  // headers tell the answering ECUs apart
        break;
    case Step::HeadersOn:
        format_.headers = !reply.hasMessage("?");
        step_ = Step::Protocol;
        sendInit(fnd::format("AT SP %X", std::clamp(settings_.protocol, 0, 12)));
        break;
    case Step::Protocol:
        step_ = Step::FirstRequest;
        setStatus("Searching for protocol...");
        fnd::NotificationCenter::defaultCenter().post(protocolNotification, this);
        sendInit("0100", searchTimeout);
        break;
    case Step::FirstRequest:
        if (reply.responses.empty()) {
            fail("Unable to connect to the vehicle");
            break;
        }
        if (resuming_) {
            // The search is done and nothing else changed: back to the traffic.
            resuming_ = false;
            step_ = Step::Connected;
            setStatus("Connected");
            sendNext();
            break;
        }
        // The frames are read once the protocol, and so their layout, is known.
        firstReply_ = text;
        step_ = Step::DescribeProtocol;
        sendInit("AT DPN");
        break;
    case Step::DescribeProtocol:
        protocolDescribed(reply);
        break;
    case Step::SupportedPIDs:
        supportedPIDsRead(reply);
        break;
    case Step::PackedProbe: {
        const auto responses = fromChosenECU(reply.responses);
        const std::string probe = compactText(probe_);
        packing_ = !responses.empty();
        for (std::size_t i = 2; i + 1 < probe.size(); i += 2) {
            const int pid = std::stoi(probe.substr(i, 2), nullptr, 16);
            const Response* r = findResponse(responses, service::currentDataReply, pid);
            packing_ = packing_ && r && static_cast<int>(r->data.size()) == service01DataLength(static_cast<std::uint8_t>(pid));
        }
        finishInit();
        break;
    }
    default:
        break;
    }
}

void ELMScanner::protocolDescribed(const Reply& reply)
{
    // "A6": automatic, found protocol 6. Read from the line itself: it may look like a hex byte.
    std::string number = compactText(reply.firstLine);
    if (!number.empty() && number.front() == 'A')
        number.erase(0, 1);
    protocolNumber_ = number.size() == 1 && std::isxdigit(static_cast<unsigned char>(number[0]))
                          ? std::stoi(number, nullptr, 16)
                          : 0;
    format_.framing = framingForProtocol(protocolNumber_);

    const Reply first = parseReply(firstReply_, "0100", format_);
    ecus_.clear();
    for (const Response& r : first.responses) {
        if (r.mode == service::currentDataReply && r.pid == pid::supportedFirst && std::find(ecus_.begin(), ecus_.end(), r.ecu) == ecus_.end())
            ecus_.push_back(r.ecu);
    }
    std::sort(ecus_.begin(), ecus_.end());
    if (ecus_.empty()) {
        fail("Unable to connect to the vehicle");
        return;
    }
    const auto receivers = connectionReceivers();
    if (ecus_.size() > 1 && !receivers.empty() && receivers.front()->scannerShouldChooseECU(*this, ecus_)) {
        step_ = Step::ChoosingECU;
        setStatus("Choose the ECU");
        return;
    }
    selectedECU_ = ecus_.front();
    readSupportedPIDs();
}

void ELMScanner::selectECU(int ecu)
{
    selectedECU_ = ecu;
    if (step_ == Step::ChoosingECU)
        readSupportedPIDs();
}

void ELMScanner::readSupportedPIDs()
{
    step_ = Step::SupportedPIDs;
    setStatus("Reading supported PIDs...");
    bitmapBase_ = 0;
    supportedPIDsRead(parseReply(firstReply_, "0100", format_));
}

// Bitmap 0x00, 0x20, ... : the last bit says whether the next one exists.
void ELMScanner::supportedPIDsRead(const Reply& reply)
{
    const auto responses = fromChosenECU(reply.responses);
    const Response* bitmap = findResponse(responses, service::currentDataReply, bitmapBase_);
    if (bitmap && bitmap->data.size() >= 4) {
        const std::uint32_t bits = bitmapOf(*bitmap);
        supportedPIDs_.setBitmap(bitmapBase_, bits);
        supportedPIDsChanged();
        if ((bits & 1) && bitmapBase_ < 0xE0) {
            bitmapBase_ += 0x20;
            sendInit(fnd::format("01%02x", bitmapBase_));
            return;
        }
    }
    probePacking();
}

// Several service-01 PIDs go into one request only when the car is on CAN, the user allows it, and
// the car answered a packed request with every PID it asked for.
void ELMScanner::probePacking()
{
    const bool isCan = format_.framing == Framing::Can11 || format_.framing == Framing::Can29;
    if (!isCan || !settings_.multiMessageCAN) {
        finishInit();
        return;
    }
    std::string probe = "01";
    int count = 0;
    for (const int pid : {0x0C, 0x0D, 0x05, 0x04, 0x11, 0x0F, 0x10}) {
        if (count < 3 && supportedPIDs_.isSupported(pid)) {
            probe += fnd::format("%02x", pid);
            ++count;
        }
    }
    if (count < 2) {
        finishInit();
        return;
    }
    step_ = Step::PackedProbe;
    probe_ = probe;
    sendInit(probe);
}

void ELMScanner::finishInit()
{
    step_ = Step::Connected;
    timeouts_ = 0;

    statusCommands_.clear();
    if (settings_.speedWarning)
        statusCommands_.push_back(commandForOBD2(service::currentData, pid::vehicleSpeed, pid::none));
    if (settings_.temperatureWarning) {
        statusCommands_.push_back(commandForOBD2(service::currentData, pid::coolantTemperature, pid::none));
        if (supportedPIDs_.isSupported(pid::oilTemperature))
            statusCommands_.push_back(commandForOBD2(service::currentData, pid::oilTemperature, pid::none));
    }
    if (!statusCommands_.empty())
        statusTimer_ = fnd::Timer::scheduled(statusInterval, true, [this](fnd::Timer&) { updateWarning(); });

    connected_ = true;
    setStatus("Connected");
    for (const auto& receiver : connectionReceivers())
        receiver->scannerDidInitialize(*this);
    if (isIdle())
        sendNext();
}

// --- Traffic ----------------------------------------------------------------------------------------

void ELMScanner::sendNext()
{
    if (!isIdle())
        return;
    if (setupPending_) {
        setupPending_ = false;
        resuming_ = true;
        step_ = Step::Defaults;
        sendInit("AT D");
        return;
    }
    if (!sendQueue_.empty()) {
        Queued queued = std::move(sendQueue_.front());
        sendQueue_.pop_front();
        noteAdapterSettings(queued.command.commandString);
        const std::string text = queued.command.commandString;
        send(Purpose::Sent, {std::move(queued.command)}, text, replyTimeout, std::move(queued.onReply));
        return;
    }
    // Status requests queued before the block was set are dropped with it.
    if (blockStatus_)
        statusQueue_.clear();
    if (!statusQueue_.empty()) {
        Command command = std::move(statusQueue_.front());
        statusQueue_.pop_front();
        const std::string text = command.commandString;
        send(Purpose::Status, {std::move(command)}, text, replyTimeout);
        return;
    }
    if (!polling_) {
        armKeepAlive();
        return;
    }
    std::vector<Command> group = nextPolledGroup();
    std::string text = group.front().commandString;
    if (group.size() > 1) {
        const bool fast = text.size() % 2 == 1;  // "010c1": one reply expected
        text = "01";
        for (const Command& command : group)
            text += fnd::format("%02x", command.pid);
        if (fast)
            text += "1";
    }
    send(Purpose::Polled, std::move(group), text, replyTimeout);
}

std::vector<Command> ELMScanner::nextPolledGroup()
{
    const std::vector<Command>& list = *commands_;
    std::vector<Command> group{list[position_++]};
    if (packing_ && canPack(group.front())) {
        while (position_ < list.size() && group.size() < maxPackedPids && canPack(list[position_]) &&
               std::none_of(group.begin(), group.end(), [&](const Command& c) { return c.pid == list[position_].pid; }))
            group.push_back(list[position_++]);
    }
    if (position_ >= list.size()) {
        position_ = 0;
        polling_ = cycle_;
    }
    return group;
}

bool ELMScanner::canPack(const Command& command) const
{
    return command.mode == service::currentData && command.pid != pid::none && command.pid2 == 0 && !command.isVoltageCommand &&
           command.pid % 0x20 != 0 && service01DataLength(command.pid) > 0 &&
           compactText(command.commandString).rfind(fnd::format("01%02X", command.pid), 0) == 0;
}

// Requests typed by the user may change what the replies look like; the parser follows.
void ELMScanner::noteAdapterSettings(const std::string& text)
{
    const std::string command = compactText(text);
    static constexpr std::string_view kSettingCommands[] = {"ATSP", "ATTP", "ATH", "ATS0", "ATS1", "ATE", "ATL",
                                                            "ATZ", "ATD", "ATWS", "ATCAF", "ATAT", "ATST"};
    setupChanged_ = setupChanged_ || std::any_of(std::begin(kSettingCommands), std::end(kSettingCommands),
                                                 [&](std::string_view p) { return command.rfind(p, 0) == 0; });
    if (command == "ATH0" || command == "ATH1")
        format_.headers = command == "ATH1";
    else if (command == "ATZ" || command == "ATWS" || command == "ATD")
        format_.headers = false;
}

void ELMScanner::setInitCommands(std::vector<Command> commands, bool cycle)
{
    polling_ = !commands.empty();
    commands_ = std::move(commands);
    cycle_ = cycle;
    position_ = 0;
    // With a request in flight the new list takes over at its prompt.
    sendNext();
}

void ELMScanner::setCommands(std::optional<std::vector<Command>> commands)
{
    if (commands && commands->empty())
        commands.reset();
    commands_ = std::move(commands);
    position_ = 0;
    if (!commands_)
        polling_ = false;
}

void ELMScanner::sendCommand(const Command& command, ReplyHandler onReply)
{
    if (!connected_) {
        fnd::log(fnd::LogLevel::Warning, "adapter link: not connected, request not sent");
        return;
    }
    sendQueue_.push_back({command, std::move(onReply)});
    sendNext();
}

void ELMScanner::restoreSetup()
{
    if (!connected_ || !setupChanged_)
        return;
    setupChanged_ = false;
    setupPending_ = true;
    sendNext();
}

void ELMScanner::updateWarning()
{
    if (blockStatus_ || !connected_ || statusCommands_.empty() || !statusQueue_.empty())
        return;
    statusQueue_.assign(statusCommands_.begin(), statusCommands_.end());
    sendNext();
}
