// The cost of reading a trouble code's reference page: finding the section headings and parsing the
// symptom and cause sections, on a page of the usual shape and on one long minified line.

#include <benchmark/benchmark.h>

#include <string>

#include "diagnostics/DTCReferencePage.h"

namespace {

std::string typicalPage()
{
    std::string page = "<!DOCTYPE html><html><head><title>P0133</title></head><body>\n<nav>";
    for (int i = 0; i < 200; ++i)
        page += "<a href=\"/codes/P0" + std::to_string(100 + i) + "\">P0" + std::to_string(100 + i) + "</a>\n";
    page += "</nav>\n<h1>P0133 O2 Sensor Circuit Slow Response</h1>\n<p>What the code means.</p>\n";
    page += "<h2 class=\"section\">Symptoms</h2>\n<ul><li>Poor fuel economy</li><li>Rough idle</li><li>Failed emissions test</li></ul>\n";
    page += "<h2 class=\"section\">Possible causes</h2>\n<ul><li>Worn oxygen sensor</li><li>Exhaust leak</li><li>Wiring fault</li></ul>\n";
    page += "<h2 class=\"section\">How to diagnose</h2>\n<p>Check the sensor's switching.</p>\n";
    for (int i = 0; i < 100; ++i)
        page += "<p>Comment " + std::to_string(i) + ": the sensor was the culprit on my car.</p>\n";
    return page + "</body></html>\n";
}

std::string minifiedPage()
{
    std::string page = typicalPage();
    std::erase(page, '\n');
    return page;
}

void read(benchmark::State& state, const std::string& page)
{
    for (auto _ : state) {
        DTCReferenceTexts texts = readReferencePage(page);
        benchmark::DoNotOptimize(texts);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * page.size()));
}

void BM_ReadTypicalPage(benchmark::State& state) { read(state, typicalPage()); }
void BM_ReadMinifiedPage(benchmark::State& state) { read(state, minifiedPage()); }

}  // namespace

BENCHMARK(BM_ReadTypicalPage);
BENCHMARK(BM_ReadMinifiedPage);
BENCHMARK_MAIN();
