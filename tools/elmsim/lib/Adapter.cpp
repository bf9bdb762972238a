#include "elmsim/lib/Adapter.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

namespace elmsim {

namespace {

const char* const kProtocolNames[] = {
    "AUTO",
    "SAE J1850 PWM",
    "SAE J1850 VPW",
    "ISO 9141-2",
    "ISO 14230-4 (KWP 5BAUD)",
    "ISO 14230-4 (KWP FAST)",
    "ISO 15765-4 (CAN 11/500)",
    "ISO 15765-4 (CAN 29/500)",
    "ISO 15765-4 (CAN 11/250)",
    "ISO 15765-4 (CAN 29/250)",
};

// AT commands a real adapter accepts with "OK" and that change nothing the simulator models.
const char* const kAcceptedCommands[] = {"CAF", "CFC", "CRA", "CM", "CF", "SH", "ST", "AT", "AL", "NL", "R0", "R1",
                                         "M0", "M1", "CSM", "IIA", "IB", "KW", "SW", "WM", "FE", "V0", "V1",
                                         "AR", "CEA", "CP", "D0", "D1", "JE", "JS", "PC", "BI"};

bool isCan(int protocol)
{
    return protocol >= 6;
}

bool isHex(const std::string& text)
{
    return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) { return std::isxdigit(static_cast<unsigned char>(c)); });
}

std::string hexByte(std::uint8_t byte)
{
    char text[3];
    std::snprintf(text, sizeof text, "%02X", byte);
    return text;
}

std::uint8_t ecuAddress(int ecu)
{
    return static_cast<std::uint8_t>(0x10 + 8 * ecu);
}

// A legacy protocol carries at most seven data bytes per frame: codes go three to a frame, vehicle
// information four bytes to a numbered frame.
std::vector<Bytes> legacyMessages(const Bytes& message)
{
    const std::uint8_t service = message[0];
    if ((service == 0x43 || service == 0x47 || service == 0x4A) && message.size() >= 2) {
        std::vector<Bytes> frames;
        for (std::size_t i = 2; i < message.size() || frames.empty(); i += 6) {
            Bytes frame{service};
            for (std::size_t j = i; j < i + 6; ++j)
                frame.push_back(j < message.size() ? message[j] : 0);
            frames.push_back(frame);
        }
        return frames;
    }
    if (service == 0x49 && message.size() >= 2) {
        // Numbered lines of four data bytes; the CAN item count is not sent, the text is padded in front.
        const std::uint8_t pid = message[1];
        const std::size_t skip = pid % 2 == 0 && pid % 0x20 != 0 ? 3 : 2;
        Bytes data(message.begin() + static_cast<std::ptrdiff_t>(std::min(skip, message.size())), message.end());
        data.insert(data.begin(), (4 - data.size() % 4) % 4, 0);
        std::vector<Bytes> frames;
        for (std::size_t i = 0; i < data.size(); i += 4) {
            Bytes frame{service, pid, static_cast<std::uint8_t>(i / 4 + 1)};
            frame.insert(frame.end(), data.begin() + static_cast<std::ptrdiff_t>(i),
                         data.begin() + static_cast<std::ptrdiff_t>(i + 4));
            frames.push_back(frame);
        }
        return frames;
    }
    return {message};
}

}  // namespace

void Adapter::injectFault(Fault fault, int times, const std::string& request)
{
    std::string aimed;
    for (const char c : request) {
        if (c != ' ')
            aimed += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    if (times != 0)
        faults_.push_back({fault, times, aimed});
}

void Adapter::clearFaults()
{
    faults_.clear();
}

// The first fault meant for this request: one aimed at it, or one for any request.
std::optional<Fault> Adapter::takeFault(const std::string& request)
{
    const auto pending = std::find_if(faults_.begin(), faults_.end(), [&](const PendingFault& f) {
        return f.request.empty() || request.rfind(f.request, 0) == 0;
    });
    if (pending == faults_.end())
        return std::nullopt;
    const Fault taken = pending->fault;
    if (pending->times > 0 && --pending->times == 0)
        faults_.erase(pending);
    return taken;
}

void Adapter::reset()
{
    echo_ = true;
    linefeeds_ = true;
    spaces_ = true;
    headers_ = false;
    setting_ = {};
    current_ = 0;
}

std::string Adapter::lineEnd() const
{
    return options_.lineEnd.value_or(linefeeds_ ? "\r\n" : "\r");
}

bool Adapter::spaces() const
{
    return options_.spaces.value_or(spaces_);
}

std::string Adapter::finish(const std::vector<std::string>& lines) const
{
    std::string text;
    for (const auto& line : lines)
        text += line + lineEnd();
    return text + lineEnd() + ">";
}

std::string Adapter::interruption() const
{
    return lineEnd() + finish({"STOPPED"});
}

Output Adapter::handle(const std::string& request)
{
    Output output;
    if (options_.echo.value_or(echo_))
        output.text = request + lineEnd();

    std::string command;
    for (const char c : request) {
        if (c != ' ')
            command += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    if (command.empty())
        command = lastRequest_;  // a bare carriage return repeats the last request
    if (command.empty()) {
        output.text += ">";
        return output;
    }
    lastRequest_ = command;

    if (command.rfind("AT", 0) == 0) {
        output.text += at(command.substr(2));
        return output;
    }
    // A plain value, not an optional: an optional's empty payload is read by the comparisons below,
    // which valgrind rightly reports.
    const Fault fault = isHex(command) ? takeFault(command).value_or(Fault::None) : Fault::None;
    if (fault == Fault::Drop) {
        output.drop = true;
        return output;
    }
    output.text += obd(command, fault, output.stall);
    return output;
}

std::string Adapter::at(const std::string& command)
{
    auto flag = [&](const char* name, bool& field) {
        const std::string prefix = name;
        if (command.size() != prefix.size() + 1 || command.rfind(prefix, 0) != 0 ||
            (command.back() != '0' && command.back() != '1'))
            return false;
        field = command.back() == '1';
        return true;
    };
    if (command == "Z" || command == "WS") {
        reset();
        return lineEnd() + finish({options_.identification});
    }
    if (command == "D") {
        reset();
        return finish({"OK"});
    }
    if (command == "I")
        return finish({options_.identification});
    if (command == "@1")
        return finish({"OBDII to RS232 Interpreter"});
    if (command == "RV") {
        char text[16];
        std::snprintf(text, sizeof text, "%.1fV", car_.state().voltage);
        return finish({text});
    }
    if (flag("E", echo_) || flag("L", linefeeds_) || flag("S", spaces_) || flag("H", headers_))
        return finish({"OK"});
    if (command == "DP" || command == "DPN") {
        const int shown = current_ ? current_ : setting_.number;
        if (command == "DP")
            return finish({std::string(setting_.automatic && shown ? "AUTO, " : "") + kProtocolNames[shown]});
        return finish({std::string(setting_.automatic ? "A" : "") + std::to_string(shown)});
    }
    if ((command.rfind("SP", 0) == 0 || command.rfind("TP", 0) == 0) && command.size() >= 3) {
        std::string rest = command.substr(2);
        const bool automatic = rest[0] == 'A';
        if (automatic)
            rest.erase(0, 1);
        if (rest.size() != 1 || !std::isxdigit(static_cast<unsigned char>(rest[0])) || std::stoi(rest, nullptr, 16) > 9)
            return finish({"?"});
        setting_.number = std::stoi(rest, nullptr, 16);
        setting_.automatic = automatic || setting_.number == 0;
        current_ = 0;
        return finish({"OK"});
    }
    for (const char* accepted : kAcceptedCommands) {
        if (command.rfind(accepted, 0) == 0)
            return finish({"OK"});
    }
    return finish({"?"});
}

std::vector<std::string> Adapter::frameLines(int ecu, const Bytes& message, int lengthLie) const
{
    const std::string gap = spaces() ? " " : "";
    auto join = [&](const std::string& head, const Bytes& bytes) {
        std::string line = head;
        for (const std::uint8_t byte : bytes)
            line += (line.empty() ? "" : gap) + hexByte(byte);
        return line;
    };
    std::vector<std::string> lines;
    if (!isCan(current_)) {
        for (const Bytes& frame : legacyMessages(message)) {
            if (!headers_) {
                lines.push_back(join("", frame));
                continue;
            }
            Bytes full;
            if (current_ == 1)
                full = {0x41, 0x6B, ecuAddress(ecu)};
            else if (current_ <= 3)
                full = {0x48, 0x6B, ecuAddress(ecu)};
            else
                full = {static_cast<std::uint8_t>(0x80 | frame.size()), 0xF1, ecuAddress(ecu)};
            full.insert(full.end(), frame.begin(), frame.end());
            std::uint8_t sum = 0;
            for (const std::uint8_t byte : full)
                sum = static_cast<std::uint8_t>(sum + byte);
            full.push_back(sum);
            lines.push_back(join("", full));
        }
        return lines;
    }

    const bool extended = current_ == 7 || current_ == 9;
    std::string header;
    if (extended) {
        header = join("", {0x18, 0xDA, 0xF1, ecuAddress(ecu)});
    } else {
        char text[4];
        std::snprintf(text, sizeof text, "%03X", 0x7E8 + ecu);
        header = text;
    }
    auto padded = [](Bytes bytes, std::size_t size) {
        bytes.resize(size, 0x55);
        return bytes;
    };
    if (message.size() <= 7) {
        if (!headers_)
            return {join("", message)};
        Bytes frame{static_cast<std::uint8_t>(message.size() + lengthLie)};
        frame.insert(frame.end(), message.begin(), message.end());
        return {join(header, padded(frame, 8))};
    }
    // A multi-frame message: a first frame with the length, then consecutive frames numbered 1..F, 0..F.
    const std::size_t length = message.size() + lengthLie;
    if (!headers_) {
        char count[24];
        std::snprintf(count, sizeof count, "%03zX", length);
        lines.push_back(count);
    }
    for (std::size_t offset = 0, index = 0; offset < message.size(); ++index) {
        const std::size_t take = index == 0 ? 6 : 7;
        Bytes piece(message.begin() + static_cast<std::ptrdiff_t>(offset),
                    message.begin() + static_cast<std::ptrdiff_t>(std::min(message.size(), offset + take)));
        offset += take;
        piece = padded(piece, take);
        if (!headers_) {
            char prefix[4];
            std::snprintf(prefix, sizeof prefix, "%zX:", index % 16);
            lines.push_back(join(prefix, piece));
            continue;
        }
        Bytes frame;
        if (index == 0)
            frame = {static_cast<std::uint8_t>(0x10 | (length >> 8)), static_cast<std::uint8_t>(length & 0xFF)};
        else
            frame = {static_cast<std::uint8_t>(0x20 | (index % 16))};
        frame.insert(frame.end(), piece.begin(), piece.end());
        lines.push_back(join(header, frame));
    }
    return lines;
}

std::string Adapter::obd(const std::string& request, Fault fault, bool& stall)
{
    if (!isHex(request) || request.size() < 2)
        return finish({"?"});
    switch (fault) {
    case Fault::Garbage: return std::string("\xF1\x80\x13GARB@GE\x7F\x00", 11) + finish({"#&"});
    case Fault::Stopped: return finish({"STOPPED"});
    case Fault::CanError: return finish({"CAN ERROR"});
    case Fault::UnableToConnect: return finish({"UNABLE TO CONNECT"});
    case Fault::NoData: return finish({"NO DATA"});
    case Fault::Unknown: return finish({"?"});
    case Fault::Refused:
    case Fault::NotSupported:
    case Fault::ResponsePending: {
        if (current_ == 0)
            current_ = setting_.automatic ? options_.carProtocol : setting_.number;
        const auto service = static_cast<std::uint8_t>(std::stoi(request.substr(0, 2), nullptr, 16));
        const std::uint8_t code = fault == Fault::Refused ? 0x22 : fault == Fault::NotSupported ? 0x11 : 0x78;
        return finish(frameLines(0, {0x7F, service, code}));
    }
    case Fault::LvReset:
        reset();
        return finish({"LV RESET"});
    default: break;  // the rest change a normal reply below
    }

    std::string digits = request;
    int wanted = options_.ecuCount;
    if (digits.size() % 2 == 1) {  // a last odd digit is the number of replies to wait for
        wanted = std::stoi(digits.substr(digits.size() - 1), nullptr, 16);
        digits.pop_back();
    }
    Bytes bytes;
    for (std::size_t i = 0; i < digits.size(); i += 2)
        bytes.push_back(static_cast<std::uint8_t>(std::stoi(digits.substr(i, 2), nullptr, 16)));

    std::vector<std::string> lines;
    if (current_ == 0) {
        const int protocol = setting_.automatic ? options_.carProtocol : setting_.number;
        if (setting_.automatic)
            lines.push_back("SEARCHING...");
        if (protocol != options_.carProtocol) {
            lines.push_back(isCan(protocol) ? "CAN ERROR" : "BUS INIT: ...ERROR");
            return finish(lines);
        }
        if (!setting_.automatic && (protocol == 3 || protocol == 4))
            lines.push_back("BUS INIT: ...OK");
        current_ = protocol;
    }
    if (fault == Fault::BusInit)
        lines.push_back("BUS INIT: ...OK");

    const std::uint8_t service = bytes[0];
    Bytes pids(bytes.begin() + 1, bytes.end());
    if (pids.size() > 6)
        return finish({"?"});
    if (service == 0x01 && pids.size() > 1 && (!isCan(current_) || !options_.packedRequests))
        pids.resize(1);
    if (service == 0x04)
        car_.clearCodes();

    // Every ECU answers in turn; the frames of long messages interleave as they do on a real bus.
    std::vector<std::vector<std::string>> perEcu;
    for (int ecu = 0; ecu < options_.ecuCount && static_cast<int>(perEcu.size()) < std::max(wanted, 1); ++ecu) {
        if (auto message = car_.reply(ecu, service, pids)) {
            if (fault == Fault::OddBytes && ecu == 0)
                message->pop_back();
            perEcu.push_back(frameLines(ecu, *message, fault == Fault::LyingLength && ecu == 0 ? 1 : 0));
        }
    }
    if (perEcu.empty()) {
        lines.push_back("NO DATA");
        return finish(lines);
    }
    std::vector<std::string>& first = perEcu.front();
    if (fault == Fault::BadHex)
        first.front().back() = 'G';
    if (fault == Fault::LostFrame && first.size() > 1)
        first.pop_back();
    for (std::size_t row = 0, more = 1; more; ++row) {
        more = 0;
        for (const auto& ecuLines : perEcu) {
            if (row < ecuLines.size()) {
                lines.push_back(ecuLines[row]);
                more = 1;
            }
        }
    }
    if (fault == Fault::BufferFull)
        lines.push_back("BUFFER FULL");
    std::string text = finish(lines);
    if (fault == Fault::StrayBytes)
        text.insert(text.size() - 1, std::string("\0\xFF", 2));
    if (fault == Fault::Stall) {
        stall = true;
        text = lines.front();
    }
    return text;
}

}  // namespace elmsim
