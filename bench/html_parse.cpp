// Parsing the saved pages of tests/data/pages, beside the same pages parsed
// by Gumbo, in bytes per second.
#include "html/HTMLDocument.h"

#include <benchmark/benchmark.h>
#include <gumbo.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

std::filesystem::path pagesFolder()
{
    const char* data = std::getenv("NORVALE_TEST_DATA");
    return std::filesystem::path(data ? data : NORVALE_TEST_DATA_DIR) / "pages";
}

std::string contents(const std::filesystem::path& path)
{
    std::ifstream file(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << file.rdbuf();
    return bytes.str();
}

void parseWithNorvale(benchmark::State& state, const std::string& page)
{
    for (auto _ : state) {
        auto document = HTMLDocument::documentWithData(page, "text/html");
        benchmark::DoNotOptimize(document.get());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(page.size()));
}

void parseWithGumbo(benchmark::State& state, const std::string& page)
{
    for (auto _ : state) {
        GumboOutput* output = gumbo_parse_with_options(&kGumboDefaultOptions, page.data(), page.size());
        benchmark::DoNotOptimize(output);
        gumbo_destroy_output(&kGumboDefaultOptions, output);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(page.size()));
}

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    std::vector<std::filesystem::path> pages;
    for (const auto& entry : std::filesystem::directory_iterator(pagesFolder())) {
        if (entry.path().extension() == ".html")
            pages.push_back(entry.path());
    }
    std::sort(pages.begin(), pages.end());
    for (const auto& path : pages) {
        const std::string name = path.stem().string();
        const std::string page = contents(path);
        benchmark::RegisterBenchmark(("Norvale/" + name).c_str(), parseWithNorvale, page)->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(("Gumbo/" + name).c_str(), parseWithGumbo, page)->Unit(benchmark::kMillisecond);
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
