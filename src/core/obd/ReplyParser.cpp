#include "core/obd/ReplyParser.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <optional>
#include <utility>

#include "core/obd/PidLengths.h"
#include "core/obd/PidNames.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

// ISO 15765-2 protocol control information: the high nibble of a CAN frame's first data byte.
constexpr std::uint8_t kPciSingleFrame = 0x0;
constexpr std::uint8_t kPciFirstFrame = 0x1;
constexpr std::uint8_t kPciConsecutiveFrame = 0x2;
// Data bytes carried by a first frame and by each consecutive frame of a classic CAN message.
constexpr std::size_t kFirstFrameBytes = 6;
constexpr std::size_t kConsecutiveFrameBytes = 7;
// Consecutive frame sequence numbers run 1..15, then wrap to 0.
constexpr std::size_t kSequenceModulo = 16;

bool startsWithNoCase(std::string_view text, std::string_view prefix)
{
    return text.size() >= prefix.size() &&
           std::equal(prefix.begin(), prefix.end(), text.begin(), [](char a, char b) {
               return std::toupper(static_cast<unsigned char>(a)) == std::toupper(static_cast<unsigned char>(b));
           });
}

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

// Step 1: the reply's lines, without control bytes, stray binary and blank lines.
std::vector<std::string> splitLines(std::string_view text)
{
    std::vector<std::string> lines;
    std::string line;
    auto flush = [&] {
        const auto first = line.find_first_not_of(' ');
        if (first != std::string::npos)
            lines.push_back(line.substr(first, line.find_last_not_of(' ') - first + 1));
        line.clear();
    };
    for (const char c : text) {
        const auto u = static_cast<unsigned char>(c);
        if (c == '\r' || c == '\n')
            flush();
        else if (u >= 0x20 && u < 0x7F)
            line += c;
    }
    flush();
    return lines;
}

// A line as the adapter's hexadecimal output: an optional "N:" piece index, then hex digits with or
// without spaces. Anything else is an adapter text.
struct HexLine {
    int pieceIndex = -1;
    std::string digits;
};

std::optional<HexLine> asHexLine(const std::string& line)
{
    HexLine hex;
    std::string_view rest = line;
    if (rest.size() >= 2 && rest[1] == ':' && hexValue(rest[0]) >= 0) {
        hex.pieceIndex = hexValue(rest[0]);
        rest.remove_prefix(2);
    }
    for (const char c : rest) {
        if (c == ' ')
            continue;
        if (hexValue(c) < 0)
            return std::nullopt;
        hex.digits += c;
    }
    if (hex.digits.empty())
        return std::nullopt;
    return hex;
}

Bytes bytesOf(std::string_view digits)
{
    Bytes bytes;
    for (std::size_t i = 0; i + 1 < digits.size(); i += 2)
        bytes.push_back(static_cast<std::uint8_t>(hexValue(digits[i]) * 16 + hexValue(digits[i + 1])));
    return bytes;
}

// At most eight digits: a 29-bit CAN identifier or less.
std::uint32_t valueOf(std::string_view digits)
{
    std::uint32_t value = 0;
    for (const char c : digits)
        value = value * 16 + static_cast<std::uint32_t>(hexValue(c));
    return value;
}

constexpr std::uint32_t kCan29IdMask = 0x1FFFFFFF;

// Step 3: one line as a frame.
struct Frame {
    enum class Kind {
        Whole,  // a complete message: legacy frames, and CAN single frames with headers off
        Can,    // a CAN frame with its PCI byte (headers on)
        Count,  // headers off: the byte count that opens a multi-frame message
        Piece,  // headers off: one "N:" piece of a multi-frame message
    };
    Kind kind = Kind::Whole;
    int ecu = 0;
    int index = 0;
    Bytes bytes;
};

Framing guessFraming(const HexLine& hex, bool headers)
{
    if (hex.pieceIndex >= 0 || hex.digits.size() % 2 == 1)
        return Framing::Can11;
    const Bytes bytes = bytesOf(hex.digits);
    if (headers && bytes.size() >= 4 && bytes[0] == 0x18 && (bytes[1] == 0xDA || bytes[1] == 0xDB))
        return Framing::Can29;
    if (headers && bytes.size() >= 4 && (bytes[1] == 0x6B || bytes[1] == 0xF1))
        return Framing::Legacy;
    return Framing::Unknown;
}

std::optional<Frame> parseFrame(const HexLine& hex, ReplyFormat format)
{
    Frame frame;
    if (format.framing == Framing::Unknown)
        format.framing = guessFraming(hex, format.headers);
    const bool isCan = format.framing == Framing::Can11 || format.framing == Framing::Can29;

    if (hex.pieceIndex >= 0) {
        frame.kind = Frame::Kind::Piece;
        frame.index = hex.pieceIndex;
        frame.bytes = bytesOf(hex.digits);
        return frame;
    }
    if (isCan && hex.digits.size() == 3) {
        frame.kind = Frame::Kind::Count;
        frame.index = static_cast<int>(valueOf(hex.digits));
        return frame;
    }
    // An 11-bit CAN header is three digits, so only a header makes the digit count odd.
    const bool hasCan11Header = hex.digits.size() % 2 == 1;
    if (format.framing == Framing::Can11 && hasCan11Header) {
        if (hex.digits.size() < 5)
            return std::nullopt;
        frame.kind = Frame::Kind::Can;
        frame.ecu = static_cast<int>(valueOf(std::string_view(hex.digits).substr(0, 3)));
        frame.bytes = bytesOf(std::string_view(hex.digits).substr(3));
        return frame;
    }
    if (hex.digits.size() % 2 == 1)
        return std::nullopt;
    Bytes bytes = bytesOf(hex.digits);
    if (format.framing == Framing::Can29 && format.headers) {
        if (bytes.size() < 5)
            return std::nullopt;
        frame.kind = Frame::Kind::Can;
        frame.ecu = static_cast<int>(valueOf(std::string_view(hex.digits).substr(0, 8)) & kCan29IdMask);
        frame.bytes.assign(bytes.begin() + 4, bytes.end());
        return frame;
    }
    if (format.framing == Framing::Legacy && format.headers) {
        // Priority, target and source bytes, then the data and a checksum.
        if (bytes.size() < 5)
            return std::nullopt;
        frame.ecu = bytes[2];
        frame.bytes.assign(bytes.begin() + 3, bytes.end() - 1);
        return frame;
    }
    frame.bytes = std::move(bytes);
    return frame;
}

// A multi-frame message being put together.
struct Assembly {
    std::size_t length = 0;
    std::optional<Bytes> first;
    std::vector<std::pair<int, Bytes>> pieces;  // sequence number and data, in arrival order
};

// Orders the consecutive pieces by their wrapping sequence numbers, then joins and truncates them to
// the announced length. A message with a missing piece is left out.
std::optional<Bytes> finish(const Assembly& assembly)
{
    if (!assembly.first)
        return std::nullopt;
    Bytes joined = *assembly.first;
    if (assembly.length <= joined.size()) {
        joined.resize(assembly.length);
        return joined;
    }
    if (joined.size() != kFirstFrameBytes)
        return std::nullopt;
    const std::size_t needed =
        (assembly.length - kFirstFrameBytes + kConsecutiveFrameBytes - 1) / kConsecutiveFrameBytes;
    std::vector<const Bytes*> slots(needed + 1, nullptr);
    for (const auto& [sequence, data] : assembly.pieces) {
        // Slot i carries sequence number i mod 16; a repeated number takes the next free turn.
        for (std::size_t i = sequence == 0 ? kSequenceModulo : static_cast<std::size_t>(sequence); i <= needed;
             i += kSequenceModulo) {
            if (!slots[i]) {
                slots[i] = &data;
                break;
            }
        }
    }
    for (std::size_t i = 1; i <= needed; ++i) {
        // Only the last piece may be short; a short one in between means the line was cut.
        if (!slots[i] || (i < needed && slots[i]->size() != kConsecutiveFrameBytes))
            return std::nullopt;
        joined.insert(joined.end(), slots[i]->begin(), slots[i]->end());
    }
    if (joined.size() < assembly.length)
        return std::nullopt;
    joined.resize(assembly.length);
    return joined;
}

// Step 5: the complete messages of one ECU from its frames in arrival order. `broken` is set when a
// frame does not fit its message or a message misses a frame.
std::vector<Bytes> assembleMessages(const std::vector<Frame>& frames, bool& broken)
{
    std::vector<Bytes> messages;
    std::optional<Assembly> open;
    auto close = [&] {
        if (open) {
            if (auto joined = finish(*open))
                messages.push_back(std::move(*joined));
            else
                broken = true;
            open.reset();
        }
    };
    for (const Frame& frame : frames) {
        switch (frame.kind) {
        case Frame::Kind::Whole:
            if (!frame.bytes.empty())
                messages.push_back(frame.bytes);
            break;
        case Frame::Kind::Count:
            close();
            open = Assembly{static_cast<std::size_t>(frame.index), std::nullopt, {}};
            break;
        case Frame::Kind::Piece:
            if (!open) {
                broken = true;
                break;
            }
            if (frame.index == 0 && !open->first)
                open->first = frame.bytes;
            else
                open->pieces.emplace_back(frame.index, frame.bytes);
            break;
        case Frame::Kind::Can: {
            const std::uint8_t pci = frame.bytes[0] >> 4;
            if (pci == kPciSingleFrame) {
                const std::size_t length = frame.bytes[0] & 0x0F;
                if (length > 0 && length < frame.bytes.size())
                    messages.emplace_back(frame.bytes.begin() + 1, frame.bytes.begin() + 1 + length);
                else
                    broken = true;
            } else if (pci == kPciFirstFrame && frame.bytes.size() >= 2) {
                close();
                const std::size_t length = ((frame.bytes[0] & 0x0F) << 8) | frame.bytes[1];
                const auto end = frame.bytes.begin() + std::min(frame.bytes.size(), 2 + kFirstFrameBytes);
                open = Assembly{length, Bytes(frame.bytes.begin() + 2, end), {}};
            } else if (pci == kPciConsecutiveFrame && open) {
                const auto end = frame.bytes.begin() + std::min(frame.bytes.size(), 1 + kConsecutiveFrameBytes);
                open->pieces.emplace_back(frame.bytes[0] & 0x0F, Bytes(frame.bytes.begin() + 1, end));
            } else {
                broken = true;
            }
            break;
        }
        }
    }
    close();
    return messages;
}

bool isTroubleCodeService(std::uint8_t replyService)
{
    return replyService == service::storedCodesReply || replyService == service::pendingCodesReply ||
           replyService == service::permanentCodesReply;
}

// Vehicle information items that hold a count of data items before the data (SAE J1979 on CAN): the
// even PIDs other than the supported-PID bitmaps.
bool hasItemCount(std::uint8_t pid)
{
    return pid % 2 == 0 && pid % 0x20 != 0;
}

Bytes joined(const std::vector<Bytes>& pieces)
{
    Bytes out;
    for (const Bytes& piece : pieces)
        out.insert(out.end(), piece.begin(), piece.end());
    return out;
}

Response payloadResponse(int ecu, std::uint8_t mode, std::uint8_t pid, Bytes data, Bytes raw)
{
    Response response;
    response.ecu = ecu;
    response.mode = mode;
    response.pid = pid;
    response.data = std::move(data);
    response.rawData = std::move(raw);
    return response;
}

// Trouble codes of one ECU: on CAN one message whose byte after the service byte counts the codes;
// on the older protocols up to three codes per line, each line opening with the service byte. Either
// way the Response's data is the code bytes alone; rawData keeps every byte as it came. `broken` is set
// when the count or a line's length does not fit the codes carried.
std::size_t troubleCodes(std::vector<Response>& out, int ecu, std::vector<Bytes>& messages, std::size_t i,
                         bool legacy, bool& broken)
{
    constexpr std::size_t kLegacyLineBytes = 7;  // the service byte and three codes
    const std::uint8_t service = messages[i][0];
    if (!legacy) {
        const Bytes& message = messages[i];
        Bytes codes(message.begin() + std::min<std::ptrdiff_t>(2, static_cast<std::ptrdiff_t>(message.size())),
                    message.end());
        broken = broken || message.size() < 2 || codes.size() != 2u * message[1];
        out.push_back(payloadResponse(ecu, service, 0, std::move(codes), message));
        return i + 1;
    }
    std::vector<Bytes> lines;
    Bytes codes;
    for (; i < messages.size() && messages[i][0] == service; ++i) {
        broken = broken || messages[i].size() != kLegacyLineBytes;
        codes.insert(codes.end(), messages[i].begin() + 1, messages[i].end());
        lines.push_back(std::move(messages[i]));
    }
    out.push_back(payloadResponse(ecu, service, 0, std::move(codes), joined(lines)));
    return i;
}

// Vehicle information of one ECU as its payload alone. CAN sends one message with an item count for
// most items; the older protocols send numbered lines "49 PID N d d d d", ordered here by N.
std::size_t vehicleInformation(std::vector<Response>& out, int ecu, std::vector<Bytes>& messages, std::size_t i,
                               bool legacy)
{
    const std::uint8_t pid = messages[i][1];
    if (!legacy) {
        const Bytes& message = messages[i];
        const std::size_t skip = hasItemCount(pid) ? 3 : 2;
        Bytes data(message.begin() + static_cast<std::ptrdiff_t>(std::min(skip, message.size())), message.end());
        out.push_back(payloadResponse(ecu, service::vehicleInformationReply, pid, std::move(data), message));
        return i + 1;
    }
    if (messages[i].size() < 3) {
        out.push_back(payloadResponse(ecu, service::vehicleInformationReply, pid, {}, messages[i]));
        return i + 1;
    }
    std::vector<Bytes> lines;
    for (; i < messages.size() && messages[i].size() >= 3 && messages[i][0] == service::vehicleInformationReply &&
           messages[i][1] == pid;
         ++i)
        lines.push_back(std::move(messages[i]));
    std::stable_sort(lines.begin(), lines.end(), [](const Bytes& a, const Bytes& b) { return a[2] < b[2]; });
    Bytes data;
    for (const Bytes& line : lines)
        data.insert(data.end(), line.begin() + 3, line.end());
    out.push_back(payloadResponse(ecu, service::vehicleInformationReply, pid, std::move(data), joined(lines)));
    return i;
}

Response responseFrom(int ecu, Bytes bytes)
{
    Response response;
    response.ecu = ecu;
    response.mode = bytes[0];
    std::size_t dataStart = 1;
    if (bytes.size() > 1) {
        response.pid = bytes[1];
        dataStart = 2;
    }
    if (response.mode == service::replyTo(service::readByIdentifier) && bytes.size() > 2) {
        response.pid2 = bytes[2];
        dataStart = 3;
    }
    response.data.assign(bytes.begin() + static_cast<std::ptrdiff_t>(dataStart), bytes.end());
    response.rawData = std::move(bytes);
    return response;
}

// Step 6: a packed service-01 reply "41 0C a b 0D c 05 d" as one Response per PID, by the PIDs' data
// lengths; a reply that does not split exactly stays one Response.
void appendResponses(std::vector<Response>& out, int ecu, Bytes message)
{
    if (message[0] == service::currentDataReply) {
        std::vector<Bytes> parts;
        std::size_t pos = 1;
        while (pos < message.size()) {
            const int length = service01DataLength(message[pos]);
            if (length == 0 || pos + 1 + static_cast<std::size_t>(length) > message.size())
                break;
            Bytes part{service::currentDataReply};
            part.insert(part.end(), message.begin() + static_cast<std::ptrdiff_t>(pos),
                        message.begin() + static_cast<std::ptrdiff_t>(pos + 1 + length));
            parts.push_back(std::move(part));
            pos += 1 + static_cast<std::size_t>(length);
        }
        if (pos == message.size() && parts.size() > 1) {
            for (Bytes& part : parts)
                out.push_back(responseFrom(ecu, std::move(part)));
            return;
        }
    }
    out.push_back(responseFrom(ecu, std::move(message)));
}

}  // namespace

std::string compactText(std::string_view text)
{
    std::string out;
    for (const char c : text) {
        if (c != ' ' && c != '\r' && c != '\n')
            out += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    return out;
}

Framing framingForProtocol(int protocolNumber)
{
    switch (protocolNumber) {
    case 1: case 2: case 3: case 4: case 5:
        return Framing::Legacy;
    case 6: case 8: case 0xB: case 0xC:
        return Framing::Can11;
    case 7: case 9: case 0xA:
        return Framing::Can29;
    default:
        return Framing::Unknown;
    }
}

bool Reply::beginsWithNoCallText() const
{
    static constexpr std::string_view kNoCall[] = {"?", "SEARCHING...", "NO DATA", "CAN ERROR", "LV RESET"};
    return std::any_of(std::begin(kNoCall), std::end(kNoCall),
                       [&](std::string_view text) { return startsWithNoCase(firstLine, text); });
}

bool Reply::isWhole() const
{
    // Texts an adapter writes around a good reply; any other text stands where frames should be.
    static constexpr std::string_view kBenign[] = {"SEARCHING...", "BUS INIT: ...OK"};
    return !broken && !responses.empty() && std::all_of(messages.begin(), messages.end(), [](const std::string& message) {
        return std::any_of(std::begin(kBenign), std::end(kBenign),
                           [&](std::string_view text) { return startsWithNoCase(message, text); });
    });
}

bool Reply::hasMessage(std::string_view text) const
{
    return std::any_of(messages.begin(), messages.end(),
                       [&](const std::string& message) { return startsWithNoCase(message, text); });
}

Reply parseReply(std::string_view text, std::string_view request, ReplyFormat format)
{
    Reply reply;
    std::vector<std::string> lines = splitLines(text);

    // Step 2: with echo on, the request comes back first.
    if (!lines.empty() && !compactText(request).empty() && compactText(lines.front()) == compactText(request))
        lines.erase(lines.begin());
    if (!lines.empty())
        reply.firstLine = lines.front();

    // Steps 3 and 4: frames, grouped by ECU in order of first appearance.
    std::vector<std::pair<int, std::vector<Frame>>> byEcu;
    for (const std::string& line : lines) {
        const auto hex = asHexLine(line);
        const auto frame = hex ? parseFrame(*hex, format) : std::nullopt;
        if (!frame) {
            if (hex)
                reply.broken = true;
            else
                reply.messages.push_back(line);
            continue;
        }
        auto group = std::find_if(byEcu.begin(), byEcu.end(), [&](const auto& g) { return g.first == frame->ecu; });
        if (group == byEcu.end())
            group = byEcu.insert(byEcu.end(), {frame->ecu, {}});
        group->second.push_back(*frame);
    }

    // Steps 5 and 6: whole messages per ECU, then one Response per PID.
    for (const auto& [ecu, frames] : byEcu) {
        std::vector<Bytes> messages = assembleMessages(frames, reply.broken);
        // A multi-frame message may announce a length of 0. A reply's service byte is the request's
        // plus 0x40 (or 0x7F): a lower one is a request echoed again or late, not a reply.
        std::erase_if(messages, [](const Bytes& m) { return m.empty() || m[0] < service::replyOffset; });
        for (std::size_t i = 0; i < messages.size();) {
            const bool legacy = format.framing == Framing::Legacy;
            if (isTroubleCodeService(messages[i][0])) {
                // Framing not yet known: a legacy line of codes has seven bytes, a CAN message an even count.
                const bool oddLine = format.framing == Framing::Unknown && messages[i].size() % 2 == 1;
                i = troubleCodes(reply.responses, ecu, messages, i, legacy || oddLine, reply.broken);
            } else if (messages[i][0] == service::vehicleInformationReply && messages[i].size() >= 2) {
                i = vehicleInformation(reply.responses, ecu, messages, i, legacy);
            } else {
                appendResponses(reply.responses, ecu, std::move(messages[i++]));
            }
        }
    }
    return reply;
}
