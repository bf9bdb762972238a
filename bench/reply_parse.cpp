// The cost of reading adapter replies: parsing raw text into Responses, and decoding them to values.

#include <benchmark/benchmark.h>

#include <string>

#include "core/obd/ECU.h"
#include "core/obd/ReplyParser.h"

namespace {

constexpr ReplyFormat kCan11{Framing::Can11, true};

const std::string kSingleFrame = "7E8 04 41 0C 1A F8 55 55 55\r\r";
const std::string kVin = "7E8 10 14 49 02 01 31 44 34\r7E8 21 47 50 30 30 52 35 35\r7E8 22 42 31 32 33 34 35 36\r\r";
const std::string kPacked = "7E8 10 0E 41 0C 1A F8 0D 37\r7E8 21 05 5A 04 80 11 40 10\r7E8 22 09 C4 55 55 55 55 55\r\r";
const std::string kTwoEcusNoSpaces = "7E804410C1AF8555555\r7E903410D37555555\r\r";

void parse(benchmark::State& state, const std::string& raw, const char* request)
{
    for (auto _ : state) {
        Reply reply = parseReply(raw, request, kCan11);
        benchmark::DoNotOptimize(reply);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * raw.size()));
}

void BM_ParseSingleFrame(benchmark::State& state) { parse(state, kSingleFrame, "010C"); }
void BM_ParseMultiFrameVin(benchmark::State& state) { parse(state, kVin, "0902"); }
void BM_ParsePackedSixPids(benchmark::State& state) { parse(state, kPacked, "010C0D05041110"); }
void BM_ParseTwoEcusWithoutSpaces(benchmark::State& state) { parse(state, kTwoEcusNoSpaces, "010C"); }

// What the screens pay per reply: parse, then one ECU decode per Response.
void BM_ParseAndDecodePacked(benchmark::State& state)
{
    for (auto _ : state) {
        float sum = 0;
        for (const Response& response : parseReply(kPacked, "010C0D05041110", kCan11).responses) {
            ECU ecu;
            ecu.setUnitMode(1);
            ecu.setResponse(response);
            sum += ecu.calculate(-1, response.pid);
        }
        benchmark::DoNotOptimize(sum);
    }
}

}  // namespace

BENCHMARK(BM_ParseSingleFrame);
BENCHMARK(BM_ParseMultiFrameVin);
BENCHMARK(BM_ParsePackedSixPids);
BENCHMARK(BM_ParseTwoEcusWithoutSpaces);
BENCHMARK(BM_ParseAndDecodePacked);
BENCHMARK_MAIN();
