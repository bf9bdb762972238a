#pragma once

#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/link/Scanner.h"
#include "core/obd/ReplyParser.h"
#include "platform/foundation/Timer.h"

// The ELM327 dialogue over some byte transport: initialisation as a state machine, then one request in
// flight at a time, each sent when the prompt ">" ends the reply before it. Subclasses supply the bytes.
class ELMScanner : public Scanner {
public:
    // On the run loop's clock.
    static constexpr double replyTimeout = 5.0;    // an adapter silent this long in a reply has given up on it
    static constexpr double searchTimeout = 30.0;  // the same for the first request, while it searches a protocol
    static constexpr double maxReplyTime = 60.0;   // a reply still not ended after this, however slowly it comes
    static constexpr double keepAliveInterval = 5.0;  // a connected link with nothing to send asks "AT RV"
    static constexpr int maxTimeouts = 3;          // consecutive timeouts that drop the connection
    static constexpr double statusInterval = 5.0;
    static constexpr std::size_t maxPackedPids = 6;
    static constexpr std::size_t maxBufferedBytes = 64 * 1024;

    ~ELMScanner() override;

    void connect() override;
    void disconnect() override;
    void setInitCommands(std::vector<Command> commands, bool cycle) override;
    void setCommands(std::optional<std::vector<Command>> commands) override;
    void sendCommand(const Command& command, ReplyHandler onReply = {}) override;
    void restoreSetup() override;
    void updateWarning() override;
    void selectECU(int ecu) override;

    // The adapter's protocol number ("AT DPN") and whether service-01 PIDs go out packed.
    int protocolNumber() const { return protocolNumber_; }
    bool isPacking() const { return packing_; }

protected:
    ELMScanner() = default;

    // The transport: openTransport() ends in transportDidOpen() or transportDidFail(); bytes arrive
    // through transportDidReceive(). closeTransport() must not call back. A failure to open is told as a
    // whole sentence for the user ("Cannot reach the adapter at ..."); a later one as what happened
    // ("the adapter closed the connection"), which the link shows as "Connection lost: ...".
    virtual void openTransport() = 0;
    virtual void closeTransport() = 0;
    virtual bool writeToTransport(std::string_view bytes) = 0;

    void transportDidOpen();
    void transportDidReceive(std::string_view bytes);
    void transportDidFail(const std::string& message);

private:
    // Initialisation steps in order. After the adapter restarted by itself (resuming_) the steps from
    // EchoOff to FirstRequest run again while the link stays connected; after typed commands changed its
    // settings, from Defaults.
    enum class Step {
        Idle,
        Opening,
        Reset,
        Defaults,
        EchoOff,
        LinefeedsOff,
        HeadersOn,
        Protocol,
        FirstRequest,
        DescribeProtocol,
        ChoosingECU,
        SupportedPIDs,
        PackedProbe,
        Connected,
    };
    enum class Purpose { Init, Polled, Sent, Status, Recovery, KeepAlive };
    struct InFlight {
        Purpose purpose = Purpose::Init;
        std::vector<Command> commands;
        std::string text;
        ReplyHandler onReply;  // a sent request's own receiver
    };
    struct Queued {
        Command command;
        ReplyHandler onReply;
    };

    void resetState();
    void setStatus(const std::string& text);
    void fail(const std::string& message);
    void send(Purpose purpose, std::vector<Command> commands, std::string text, double timeout,
              ReplyHandler onReply = {});
    void sendInit(const std::string& text, double timeout = replyTimeout);
    void armReplyTimeout();
    void armKeepAlive();
    void sendNext();
    bool isIdle() const;
    std::vector<Command> nextPolledGroup();
    bool canPack(const Command& command) const;
    void noteAdapterSettings(const std::string& text);

    void replyEnded(std::string text);
    void replyTimedOut();
    void initReply(const Reply& reply, const std::string& text);
    void protocolDescribed(const Reply& reply);
    void readSupportedPIDs();
    void supportedPIDsRead(const Reply& reply);
    void probePacking();
    void finishInit();
    void deliver(const InFlight& request, const Reply& reply);
    void deliverResponses(const InFlight& request, const Reply& reply);
    void reportProblem(const InFlight& request, ReplyProblem problem);
    std::vector<Response> fromChosenECU(std::vector<Response> responses) const;

    Step step_ = Step::Idle;
    bool resuming_ = false;
    bool setupChanged_ = false;  // a sent request changed the adapter's settings
    bool setupPending_ = false;  // set the adapter up again before the next request
    std::optional<InFlight> inFlight_;
    fnd::DelayedCall timeout_;
    double silenceAllowed_ = replyTimeout;  // of the request in flight
    double replyDeadline_ = 0;              // on the run loop's clock
    bool overflowed_ = false;               // noise was thrown away since the request went out
    fnd::DelayedCall keepAlive_;
    std::string buffer_;
    std::size_t consumed_ = 0;  // the bytes of buffer_ already read as replies
    int timeouts_ = 0;

    bool cycle_ = false;
    bool polling_ = false;
    std::size_t position_ = 0;
    std::deque<Queued> sendQueue_;
    std::deque<Command> statusQueue_;
    std::shared_ptr<fnd::Timer> statusTimer_;

    ReplyFormat format_;
    int protocolNumber_ = 0;
    std::string firstReply_;
    int bitmapBase_ = 0;
    std::string probe_;
    bool packing_ = false;
};
