// The reply parser fed raw adapter output as real ELM327 adapters print it.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/obd/ReplyParser.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr ReplyFormat kCan11{Framing::Can11, true};
constexpr ReplyFormat kCan11NoHeaders{Framing::Can11, false};
constexpr ReplyFormat kCan29{Framing::Can29, true};
constexpr ReplyFormat kLegacy{Framing::Legacy, true};
constexpr ReplyFormat kLegacyNoHeaders{Framing::Legacy, false};

struct Expected {
    int ecu;
    int mode;
    int pid;
    Bytes data;
};

struct ParseCase {
    const char* name;
    std::string raw;
    std::string request;
    ReplyFormat format;
    std::vector<Expected> responses;
};

// Parameters print as a short description: GoogleTest would otherwise dump their bytes, padding included.
void PrintTo(const ParseCase& c, std::ostream* os)
{
    *os << c.name;
}

// The VIN's payload: the count of data items that CAN puts before it is not part of it.
const Bytes kVinData = {'1', 'D', '4', 'G', 'P', '0', '0', 'R', '5', '5', 'B', '1', '2', '3', '4', '5', '6'};

class ParsesFrames : public ::testing::TestWithParam<ParseCase> {};

TEST_P(ParsesFrames, IntoResponses)
{
    const ParseCase& c = GetParam();
    const Reply reply = parseReply(c.raw, c.request, c.format);
    ASSERT_EQ(reply.responses.size(), c.responses.size());
    for (std::size_t i = 0; i < c.responses.size(); ++i) {
        SCOPED_TRACE(i);
        const Response& r = reply.responses[i];
        EXPECT_EQ(r.ecu, c.responses[i].ecu);
        EXPECT_EQ(r.mode, c.responses[i].mode);
        EXPECT_EQ(r.pid, c.responses[i].pid);
        EXPECT_EQ(r.data, c.responses[i].data);
        ASSERT_TRUE(r.rawData.has_value());
        EXPECT_EQ(r.rawData->front(), c.responses[i].mode);
    }
}

INSTANTIATE_TEST_SUITE_P(
    RecordedOutput, ParsesFrames,
    ::testing::Values(
        ParseCase{"Can11SingleFramePaddingIgnored", "7E8 04 41 0C 1A F8 55 55 55\r\r", "010C", kCan11,
                  {{0x7E8, 0x41, 0x0C, {0x1A, 0xF8}}}},
        ParseCase{"Can11WithoutSpaces", "7E804410C1AF8555555\r", "010C", kCan11, {{0x7E8, 0x41, 0x0C, {0x1A, 0xF8}}}},
        ParseCase{"EchoAndCrLf", "010C\r\n7E8 04 41 0C 1A F8 55 55 55\r\n\r\n", "010C", kCan11,
                  {{0x7E8, 0x41, 0x0C, {0x1A, 0xF8}}}},
        ParseCase{"EchoOfFastPollingRequest", "010c1\r41 0C 1A F8\r", "010c1\r", kCan11NoHeaders,
                  {{0, 0x41, 0x0C, {0x1A, 0xF8}}}},
        ParseCase{"HeadersOffSingleFrame", "41 0D 37\r\r", "010D", kCan11NoHeaders, {{0, 0x41, 0x0D, {0x37}}}},
        ParseCase{"SingleFrameOfSevenBytes", "7E8 07 49 04 01 31 32 33 34\r", "0904", kCan11,
                  {{0x7E8, 0x49, 0x04, {0x31, 0x32, 0x33, 0x34}}}},
        ParseCase{"HeadersOffMultiFrame",
                  "014\r0: 49 02 01 31 44 34\r1: 47 50 30 30 52 35 35\r2: 42 31 32 33 34 35 36\r\r", "0902",
                  kCan11NoHeaders, {{0, 0x49, 0x02, kVinData}}},
        ParseCase{"HeadersOnMultiFrame",
                  "7E8 10 14 49 02 01 31 44 34\r7E8 21 47 50 30 30 52 35 35\r7E8 22 42 31 32 33 34 35 36\r", "0902",
                  kCan11, {{0x7E8, 0x49, 0x02, kVinData}}},
        ParseCase{"ShuffledConsecutiveFrames",
                  "7E8 10 14 49 02 01 31 44 34\r7E8 22 42 31 32 33 34 35 36\r7E8 21 47 50 30 30 52 35 35\r", "0902",
                  kCan11, {{0x7E8, 0x49, 0x02, kVinData}}},
        ParseCase{"MissingConsecutiveFrameDropsMessage",
                  "7E8 10 14 49 02 01 31 44 34\r7E8 22 42 31 32 33 34 35 36\r", "0902", kCan11, {}},
        ParseCase{"MissingLastPieceDropsMessage", "014\r0: 49 02 01 31 44 34\r1: 47 50 30 30 52 35 35\r", "0902",
                  kCan11NoHeaders, {}},
        ParseCase{"CutConsecutiveFrameDropsMessage",
                  "7E8 10 14 49 02 01 31 44 34\r7E8 21 47 50 30\r7E8 22 42 31 32 33 34 35 36\r", "0902", kCan11, {}},
        ParseCase{"FirstFrameOnlyLengthSeven", "7E8 10 07 43 03 01 33 01 34\r7E8 21 02 55 55 55 55 55 55\r", "03",
                  kCan11, {{0x7E8, 0x43, 0x00, {0x01, 0x33, 0x01, 0x34, 0x02}}}},
        ParseCase{"InterleavedEcusGroupedByHeader",
                  "7E8 10 14 49 02 01 31 44 34\r7E9 03 41 0D 20 55 55 55 55\r7E8 21 47 50 30 30 52 35 35\r"
                  "7E8 22 42 31 32 33 34 35 36\r",
                  "0902", kCan11, {{0x7E8, 0x49, 0x02, kVinData}, {0x7E9, 0x41, 0x0D, {0x20}}}},
        ParseCase{"TwoEcusAnswerTheSamePid", "7E8 03 41 0D 20 55 55 55 55\r7E9 03 41 0D 21 55 55 55 55\r", "010D",
                  kCan11, {{0x7E8, 0x41, 0x0D, {0x20}}, {0x7E9, 0x41, 0x0D, {0x21}}}},
        ParseCase{"PackedRepliesSplitPerPid", "7E8 10 08 41 0C 0F A0 0D 07\r7E8 21 05 50 55 55 55 55 55\r",
                  "010C0D05", kCan11,
                  {{0x7E8, 0x41, 0x0C, {0x0F, 0xA0}}, {0x7E8, 0x41, 0x0D, {0x07}}, {0x7E8, 0x41, 0x05, {0x50}}}},
        ParseCase{"PackedReplyThatDoesNotSplitStaysWhole", "7E8 05 41 0D 07 9A 01 55 55\r", "010D9A", kCan11,
                  {{0x7E8, 0x41, 0x0D, {0x07, 0x9A, 0x01}}}},
        ParseCase{"Can29Headers", "18 DA F1 10 04 41 0C 1A F8 55 55 55\r", "010C", kCan29,
                  {{0x18DAF110, 0x41, 0x0C, {0x1A, 0xF8}}}},
        ParseCase{"LegacyHeadersAndChecksum", "48 6B 10 41 0C 1A F8 C4\r", "010C", kLegacy,
                  {{0x10, 0x41, 0x0C, {0x1A, 0xF8}}}},
        ParseCase{"LegacyWithoutHeaders", "41 0C 1A F8\r", "010C", kLegacyNoHeaders, {{0, 0x41, 0x0C, {0x1A, 0xF8}}}},
        ParseCase{"LegacyVehicleInformationJoined",
                  "48 6B 10 49 02 02 44 34 47 50 00\r48 6B 10 49 02 01 00 00 00 31 00\r", "0902", kLegacy,
                  {{0x10, 0x49, 0x02, {0x00, 0x00, 0x00, 0x31, 0x44, 0x34, 0x47, 0x50}}}},
        ParseCase{"BusInitBeforeData", "BUS INIT: ...OK\r48 6B 10 41 0C 1A F8 C4\r", "010C", kLegacy,
                  {{0x10, 0x41, 0x0C, {0x1A, 0xF8}}}},
        ParseCase{"StrayBytesBeforePrompt", std::string("41 0D 37\r\r\0\xFF", 12), "010D", kCan11NoHeaders,
                  {{0, 0x41, 0x0D, {0x37}}}},
        ParseCase{"BufferFullKeepsCompleteFrames", "7E8 03 41 0D 37 55 55 55 55\rBUFFER FULL\r", "010D", kCan11,
                  {{0x7E8, 0x41, 0x0D, {0x37}}}},
        ParseCase{"SingleFrameLongerThanItsLineIsDropped", "7E8 07 41 0C 1A\r", "010C", kCan11, {}},
        ParseCase{"SingleFrameOfLengthZeroIsDropped", "7E8 00 41 0C 1A F8 55 55 55\r", "010C", kCan11, {}},
        ParseCase{"ConsecutiveFrameWithoutFirstIsDropped", "7E8 21 47 50 30 30 52 35 35\r", "0902", kCan11, {}},
        ParseCase{"ServiceTwentyTwoHasSecondPidByte", "62 F1 90 0A 0B\r", "22F190", kCan11NoHeaders,
                  {{0, 0x62, 0xF1, {0x0A, 0x0B}}}},
        ParseCase{"NegativeResponse", "7E8 03 7F 01 12 55 55 55 55\r", "0100", kCan11, {{0x7E8, 0x7F, 0x01, {0x12}}}},
        ParseCase{"UnknownFramingGuessesCanHeaders", "7E8 04 41 0C 1A F8 55 55 55\r", "010C",
                  ReplyFormat{Framing::Unknown, true}, {{0x7E8, 0x41, 0x0C, {0x1A, 0xF8}}}},
        ParseCase{"ShortOddLinesAreNotFrames", "3\r1\r7E8\r", "AT DPN", ReplyFormat{Framing::Unknown, true}, {}},
        ParseCase{"MultiFrameOfLengthZeroGivesNothing", "000\r0: 49 02 01 31 44 34\r7E8 10 00 49 02 01 31 44 34\r",
                  "0902", kCan11, {}},
        ParseCase{"Can29IdentifierKeepsItsTwentyNineBits", "FF FF FF FF 02 41 00\r", "0100", kCan29,
                  {{0x1FFFFFFF, 0x41, 0x00, {}}}},
        ParseCase{"RepeatedEchoIsNotAResponse", "010C\r010C\r7E8 04 41 0C 1A F8 55 55 55\r", "010C", kCan11,
                  {{0x7E8, 0x41, 0x0C, {0x1A, 0xF8}}}},
        ParseCase{"LateEchoOfAnotherRequestIsNotAResponse", "010D\r41 0C 1A F8\r", "010C", kCan11NoHeaders,
                  {{0, 0x41, 0x0C, {0x1A, 0xF8}}}},
        ParseCase{"GarbageGivesNothing", std::string("\xF1\x80\x13GARB@GE\x7F\x00#&\r", 14), "010C", kCan11, {}}),
    [](const auto& info) { return std::string(info.param.name); });

// Sequence numbers wrap from F to 0 in a message of more than fifteen consecutive frames.
TEST(ReplyParser, JoinsLongMessagesAcrossSequenceWrap)
{
    Bytes message{0x49, 0x04};
    for (int i = 0; message.size() < 130; ++i)
        message.push_back(static_cast<std::uint8_t>(i));
    const std::size_t length = message.size();
    auto hex = [](std::uint8_t b) {
        static const char* digits = "0123456789ABCDEF";
        return std::string{digits[b >> 4], digits[b & 0xF]};
    };
    std::vector<std::string> frames;
    std::string first = "7E8 1" + std::string(1, "0123456789ABCDEF"[length >> 8]) + " " + hex(length & 0xFF);
    for (std::size_t i = 0; i < 6; ++i)
        first += " " + hex(message[i]);
    frames.push_back(first);
    for (std::size_t offset = 6, seq = 1; offset < length; offset += 7, ++seq) {
        std::string frame = "7E8 2" + std::string(1, "0123456789ABCDEF"[seq % 16]);
        for (std::size_t i = offset; i < offset + 7; ++i)
            frame += " " + hex(i < length ? message[i] : 0x55);
        frames.push_back(frame);
    }
    ASSERT_GT(frames.size(), 17u);

    std::string raw;
    for (const auto& f : frames)
        raw += f + "\r";
    Reply reply = parseReply(raw, "0904", kCan11);
    ASSERT_EQ(reply.responses.size(), 1u);
    EXPECT_EQ(*reply.responses[0].rawData, message);

    // Neighbours swapped on both sides of the wrap still give the same message.
    std::swap(frames[15], frames[16]);
    std::swap(frames[2], frames[3]);
    raw.clear();
    for (const auto& f : frames)
        raw += f + "\r";
    reply = parseReply(raw, "0904", kCan11);
    ASSERT_EQ(reply.responses.size(), 1u);
    EXPECT_EQ(*reply.responses[0].rawData, message);
}

struct TextCase {
    const char* raw;
    bool noCall;
    const char* message;
};

void PrintTo(const TextCase& c, std::ostream* os)
{
    *os << ::testing::PrintToString(c.raw);
}

class AdapterTexts : public ::testing::TestWithParam<TextCase> {};

// Every adapter text ends up as a message, never as data; the five no-call texts are recognised in any case.
TEST_P(AdapterTexts, AreMessagesNotFrames)
{
    const TextCase& c = GetParam();
    const Reply reply = parseReply(c.raw, "010C", kCan11);
    EXPECT_TRUE(reply.responses.empty());
    EXPECT_EQ(reply.beginsWithNoCallText(), c.noCall);
    EXPECT_TRUE(reply.hasMessage(c.message));
    EXPECT_FALSE(reply.isWhole());
}

INSTANTIATE_TEST_SUITE_P(
    EveryText, AdapterTexts,
    ::testing::Values(TextCase{"?\r\r", true, "?"}, TextCase{"NO DATA\r\r", true, "NO DATA"},
                      TextCase{"no data\r", true, "NO DATA"}, TextCase{"CAN ERROR\r", true, "CAN ERROR"},
                      TextCase{"LV RESET\r", true, "LV RESET"}, TextCase{"SEARCHING...\rUNABLE TO CONNECT\r", true, "UNABLE TO CONNECT"},
                      TextCase{"STOPPED\r", false, "STOPPED"}, TextCase{"BUFFER FULL\r", false, "BUFFER FULL"},
                      TextCase{"UNABLE TO CONNECT\r", false, "UNABLE TO CONNECT"},
                      TextCase{"BUS INIT: ...ERROR\r", false, "BUS INIT"}, TextCase{"BUS BUSY\r", false, "BUS BUSY"},
                      TextCase{"FB ERROR\r", false, "FB ERROR"}, TextCase{"<DATA ERROR\r", false, "<DATA ERROR"},
                      TextCase{"ACT ALERT\r", false, "ACT ALERT"}, TextCase{"ERR94\r", false, "ERR94"}));

// "SEARCHING..." gives no call, yet the frames after it are read (initialisation needs them).
TEST(ReplyParser, ReadsFramesAfterSearching)
{
    const Reply reply = parseReply("SEARCHING...\r7E8 06 41 00 BE 3F 80 13 55\r\r", "0100", kCan11);
    EXPECT_TRUE(reply.beginsWithNoCallText());
    ASSERT_EQ(reply.responses.size(), 1u);
    EXPECT_EQ(reply.responses[0].data, (Bytes{0xBE, 0x3F, 0x80, 0x13}));
}

struct BrokenCase {
    const char* name;
    std::string raw;
    ReplyFormat format;
};

void PrintTo(const BrokenCase& c, std::ostream* os)
{
    *os << c.name;
}

class BrokenReplies : public ::testing::TestWithParam<BrokenCase> {};

// What a reply lost on the way is never taken for a whole reply: the codes it carried would be missed.
TEST_P(BrokenReplies, AreNotWhole)
{
    EXPECT_FALSE(parseReply(GetParam().raw, "03", GetParam().format).isWhole());
}

INSTANTIATE_TEST_SUITE_P(
    Codes, BrokenReplies,
    ::testing::Values(
        BrokenCase{"LengthBeyondTheFrame", "7E8 08 43 02 01 33 04 20 55\r\r", kCan11},
        BrokenCase{"ZeroLength", "7E8 00 43 02 01 33 04 20 55\r\r", kCan11},
        BrokenCase{"CountOfMoreCodesThanCarried", "7E8 06 43 03 01 33 04 20 55\r\r", kCan11},
        BrokenCase{"HalfACode", "7E8 05 43 02 01 33 04 55 55\r\r", kCan11},
        BrokenCase{"MissingConsecutiveFrame", "7E8 10 0A 43 04 01 33 04 20\r7E8 22 00 00 55 55 55 55 55\r\r", kCan11},
        BrokenCase{"ConsecutiveFrameAlone", "7E8 21 03 00 00 55 55 55 55\r\r", kCan11},
        BrokenCase{"PieceWithoutCount", "0: 43 04 01 33 04 20\r1: 03 00 00 55 55 55 55\r\r", kCan11NoHeaders},
        BrokenCase{"BadHexDigit", "7E8 06 43 02 01 33 04 2G 55\r\r", kCan11},
        BrokenCase{"NoiseLine", "GARB@GE\r7E8 06 43 02 01 33 04 20 55\r\r", kCan11},
        BrokenCase{"ShortHeaderOnlyLine", "7E8 06\r\r", kCan11},
        BrokenCase{"LegacyLineCut", "48 6B 10 43 01 33 04 20 F3\r\r", kLegacy},
        BrokenCase{"Empty", "\r\r", kCan11}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ReplyParser, WholeRepliesMayFollowTheSearch)
{
    EXPECT_TRUE(parseReply("SEARCHING...\r7E8 06 43 02 01 33 04 20 55\r\r", "03", kCan11).isWhole());
    EXPECT_TRUE(parseReply("BUS INIT: ...OK\r48 6B 10 43 01 33 04 20 00 00 8A\r\r", "03", kLegacy).isWhole());
    EXPECT_TRUE(parseReply("7E8 10 0A 43 04 01 33 04 20\r7E8 21 03 00 00 05 00 00 55\r\r", "03", kCan11).isWhole());
}

TEST(ReplyParser, KeepsTextRepliesAsMessages)
{
    const Reply reset = parseReply("AT Z\r\n\r\nELM327 v1.5\r\n\r\n", "AT Z", {});
    EXPECT_EQ(reset.messages, std::vector<std::string>{"ELM327 v1.5"});
    const Reply voltage = parseReply("12.6V\r\r", "AT RV", kCan11);
    EXPECT_EQ(voltage.messages, std::vector<std::string>{"12.6V"});
    EXPECT_TRUE(voltage.responses.empty());
}

TEST(ReplyParser, FramingFollowsProtocolNumber)
{
    EXPECT_EQ(framingForProtocol(0), Framing::Unknown);
    for (int p : {1, 2, 3, 4, 5})
        EXPECT_EQ(framingForProtocol(p), Framing::Legacy) << p;
    for (int p : {6, 8, 0xB, 0xC})
        EXPECT_EQ(framingForProtocol(p), Framing::Can11) << p;
    for (int p : {7, 9, 0xA})
        EXPECT_EQ(framingForProtocol(p), Framing::Can29) << p;
}

}  // namespace

// Trouble-code and vehicle-information replies reach the screens as their payload alone: the CAN count
// byte and the per-line service bytes of the older protocols are not codes, the service 09 item count
// and frame numbers are not text. rawData keeps every byte for the terminal.
struct PayloadCase {
    const char* name;
    std::string raw;
    std::string request;
    ReplyFormat format;
    std::vector<Expected> responses;
    std::vector<Bytes> rawData;
};

class DeliversPayload : public ::testing::TestWithParam<PayloadCase> {};

TEST_P(DeliversPayload, WithoutCountsAndFrameBytes)
{
    const PayloadCase& c = GetParam();
    const Reply reply = parseReply(c.raw, c.request, c.format);
    ASSERT_EQ(reply.responses.size(), c.responses.size());
    for (std::size_t i = 0; i < c.responses.size(); ++i) {
        SCOPED_TRACE(i);
        const Response& r = reply.responses[i];
        EXPECT_EQ(r.ecu, c.responses[i].ecu);
        EXPECT_EQ(r.mode, c.responses[i].mode);
        EXPECT_EQ(r.pid, c.responses[i].pid);
        EXPECT_EQ(r.data, c.responses[i].data);
        ASSERT_TRUE(r.rawData.has_value());
        if (i < c.rawData.size())
            EXPECT_EQ(*r.rawData, c.rawData[i]);
    }
}

INSTANTIATE_TEST_SUITE_P(
    TroubleCodesAndVehicleInformation, DeliversPayload,
    ::testing::Values(
        // "43 02 01 33 03 00" once read as P0201 and P3303.
        PayloadCase{"CanCountByteIsNotACode", "43 02 01 33 03 00\r", "03", kCan11NoHeaders,
                    {{0, 0x43, 0, {0x01, 0x33, 0x03, 0x00}}}, {{0x43, 0x02, 0x01, 0x33, 0x03, 0x00}}},
        PayloadCase{"CanNoCodes", "7E8 02 43 00 55 55 55 55 55\r", "03", kCan11, {{0x7E8, 0x43, 0, {}}}, {}},
        PayloadCase{"CanTwoEcusEachWithTheirCodes",
                    "7E8 04 43 01 01 71 55 55 55\r7E9 06 47 02 C1 00 04 20 55\r", "07", kCan11,
                    {{0x7E8, 0x43, 0, {0x01, 0x71}}, {0x7E9, 0x47, 0, {0xC1, 0x00, 0x04, 0x20}}}, {}},
        PayloadCase{"CanMultiFrameCodes",
                    "7E8 10 0A 4A 04 01 01 01 02\r7E8 21 01 03 01 04 55 55 55\r", "0A", kCan11,
                    {{0x7E8, 0x4A, 0, {0x01, 0x01, 0x01, 0x02, 0x01, 0x03, 0x01, 0x04}}}, {}},
        PayloadCase{"LegacyLinesJoinedWithoutServiceBytes",
                    "48 6B 10 43 01 33 03 00 04 20 9B\r48 6B 10 43 01 71 00 00 00 00 13\r", "03", kLegacy,
                    {{0x10, 0x43, 0, {0x01, 0x33, 0x03, 0x00, 0x04, 0x20, 0x01, 0x71, 0x00, 0x00, 0x00, 0x00}}},
                    {{0x43, 0x01, 0x33, 0x03, 0x00, 0x04, 0x20, 0x43, 0x01, 0x71, 0x00, 0x00, 0x00, 0x00}}},
        PayloadCase{"LegacyEcusKeptApart",
                    "48 6B 10 43 01 33 00 00 00 00 0A\r48 6B 18 43 04 20 00 00 00 00 DD\r", "03", kLegacy,
                    {{0x10, 0x43, 0, {0x01, 0x33, 0, 0, 0, 0}}, {0x18, 0x43, 0, {0x04, 0x20, 0, 0, 0, 0}}}, {}},
        PayloadCase{"LegacyWithoutHeaders", "43 01 33 00 00 00 00\r43 04 20 00 00 00 00\r", "03", kLegacyNoHeaders,
                    {{0, 0x43, 0, {0x01, 0x33, 0, 0, 0, 0, 0x04, 0x20, 0, 0, 0, 0}}}, {}},
        PayloadCase{"UnknownFramingOddLineIsLegacy", "43 01 33 00 00 00 00\r", "03", ReplyFormat{Framing::Unknown, false},
                    {{0, 0x43, 0, {0x01, 0x33, 0, 0, 0, 0}}}, {}},
        PayloadCase{"CanVehicleInfoBitmapHasNoCount", "49 00 54 40 00 00\r", "0900", kCan11NoHeaders,
                    {{0, 0x49, 0x00, {0x54, 0x40, 0x00, 0x00}}}, {}},
        PayloadCase{"CanCvnWithoutItemCount", "7E8 10 0B 49 06 02 11 22 33\r7E8 21 44 AA BB CC DD 55 55\r", "0906",
                    kCan11, {{0x7E8, 0x49, 0x06, {0x11, 0x22, 0x33, 0x44, 0xAA, 0xBB, 0xCC, 0xDD}}},
                    {{0x49, 0x06, 0x02, 0x11, 0x22, 0x33, 0x44, 0xAA, 0xBB, 0xCC, 0xDD}}},
        PayloadCase{"LegacySingleLineWithoutFrameNumber", "48 6B 10 49 06 01 11 22 33 44 00\r", "0906", kLegacy,
                    {{0x10, 0x49, 0x06, {0x11, 0x22, 0x33, 0x44}}}, {}},
        PayloadCase{"LegacyShortLineGivesNoPayload", "49 0A\r", "090A", kLegacyNoHeaders, {{0, 0x49, 0x0A, {}}}, {}}),
    [](const auto& info) { return std::string(info.param.name); });
