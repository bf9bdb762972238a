// Parsing the saved pages of tests/data/pages, beside the same pages parsed
// by Gumbo: bytes per second, and the peak of live heap memory per MB of
// input while one document is parsed and held. Rows for each page, all pages
// in turn, their 50 MB concatenation, and hostile nesting (ours only: the
// peers take seconds per iteration there).
#include "html/HTMLDocument.h"

#include <benchmark/benchmark.h>
#include <gumbo.h>
#include <malloc.h>

#include <algorithm>
#include <atomic>
#include <bit>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

namespace {

// Live heap bytes, counted by usable block size, and their peak. Counting is
// on only while memory is measured, so that the throughput rows time the
// parsers and not the counting. The count is signed: a block made before
// counting began and freed during it only lowers it.
std::atomic<std::ptrdiff_t> liveBytes {0};
std::atomic<std::ptrdiff_t> peakBytes {0};
bool counting = false;

std::ptrdiff_t usableSize(void* block) { return static_cast<std::ptrdiff_t>(malloc_usable_size(block)); }

void* counted(void* block)
{
    if (!block || !counting)
        return block;
    const std::ptrdiff_t live = liveBytes += usableSize(block);
    std::ptrdiff_t peak = peakBytes.load();
    while (live > peak && !peakBytes.compare_exchange_weak(peak, live)) {
    }
    return block;
}

void uncounted(void* block)
{
    if (block && counting)
        liveBytes -= usableSize(block);
}

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

void parseOnceWithNorvale(const std::string& page)
{
    auto document = HTMLDocument::documentWithData(page, "text/html");
    benchmark::DoNotOptimize(document.get());
}

void parseOnceWithGumbo(const std::string& page)
{
    GumboOutput* output = gumbo_parse_with_options(&kGumboDefaultOptions, page.data(), page.size());
    benchmark::DoNotOptimize(output);
    gumbo_destroy_output(&kGumboDefaultOptions, output);
}

// Peak heap growth during one parse, in MiB per MB of input.
template <typename Parse>
double peakMiBPerMB(const std::vector<const std::string*>& pages, Parse&& parse)
{
    std::ptrdiff_t peak = 0;
    std::size_t bytes = 0;
    counting = true;
    for (const std::string* page : pages) {
        const std::ptrdiff_t before = liveBytes.load();
        peakBytes = before;
        parse(*page);
        peak = std::max(peak, peakBytes.load() - before);
        bytes = std::max(bytes, page->size());
    }
    counting = false;
    // The largest page's peak, per MB of that page.
    return bytes ? (static_cast<double>(peak) / (1024.0 * 1024.0)) / (static_cast<double>(bytes) / 1e6) : 0;
}

template <typename Parse>
void parseAll(benchmark::State& state, const std::vector<const std::string*>& pages, Parse parse)
{
    std::int64_t bytes = 0;
    for (const std::string* page : pages)
        bytes += static_cast<std::int64_t>(page->size());
    for (auto _ : state) {
        for (const std::string* page : pages)
            parse(*page);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * bytes);
    // Per page: that page's peak; for several pages: the largest peak per MB.
    double worst = 0;
    for (const std::string* page : pages)
        worst = std::max(worst, peakMiBPerMB({page}, parse));
    state.counters["MiB_per_MB"] = worst;
}

std::vector<std::string>& pageTexts()
{
    static std::vector<std::string> texts;
    return texts;
}

std::string repeated(std::string_view piece, std::size_t times)
{
    std::string text;
    text.reserve(piece.size() * times);
    for (std::size_t i = 0; i < times; ++i)
        text.append(piece);
    return text;
}

} // namespace

// The heap is counted where every allocation ends up: the C library's
// allocation functions below wrap glibc's own, so operator new, aligned
// blocks and the peer's malloc are all counted alike, whichever a parser uses.
extern "C" {
void* __libc_malloc(std::size_t size) noexcept;
void* __libc_calloc(std::size_t count, std::size_t size) noexcept;
void* __libc_realloc(void* block, std::size_t size) noexcept;
void* __libc_memalign(std::size_t alignment, std::size_t size) noexcept;
void __libc_free(void* block) noexcept;

void* malloc(std::size_t size) noexcept { return counted(__libc_malloc(size)); }
void* calloc(std::size_t count, std::size_t size) noexcept { return counted(__libc_calloc(count, size)); }
void free(void* block) noexcept
{
    uncounted(block);
    __libc_free(block);
}
void* realloc(void* block, std::size_t size) noexcept
{
    const std::ptrdiff_t before = block ? usableSize(block) : 0;
    void* moved = __libc_realloc(block, size);
    // A failed realloc leaves the block as it was; a zero size frees it.
    if (!moved && size != 0)
        return nullptr;
    if (counting)
        liveBytes -= before;
    return counted(moved);
}
void* memalign(std::size_t alignment, std::size_t size) noexcept { return counted(__libc_memalign(alignment, size)); }
void* aligned_alloc(std::size_t alignment, std::size_t size) noexcept { return memalign(alignment, size); }
int posix_memalign(void** block, std::size_t alignment, std::size_t size) noexcept
{
    if (alignment < sizeof(void*) || !std::has_single_bit(alignment))
        return EINVAL;
    void* made = memalign(alignment, size);
    if (!made)
        return ENOMEM;
    *block = made;
    return 0;
}
}

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    std::vector<std::filesystem::path> paths;
    for (const auto& entry : std::filesystem::directory_iterator(pagesFolder())) {
        if (entry.path().extension() == ".html")
            paths.push_back(entry.path());
    }
    std::sort(paths.begin(), paths.end());
    auto& texts = pageTexts();
    texts.reserve(paths.size() + 3);
    std::vector<const std::string*> all;
    for (const auto& path : paths) {
        texts.push_back(contents(path));
        all.push_back(&texts.back());
    }

    for (std::size_t i = 0; i < paths.size(); ++i) {
        const std::string name = paths[i].stem().string();
        const std::vector<const std::string*> one {all[i]};
        benchmark::RegisterBenchmark(("Norvale/" + name).c_str(), [one](benchmark::State& state) {
            parseAll(state, one, parseOnceWithNorvale);
        })->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(("Gumbo/" + name).c_str(), [one](benchmark::State& state) {
            parseAll(state, one, parseOnceWithGumbo);
        })->Unit(benchmark::kMillisecond);
    }
    benchmark::RegisterBenchmark("Norvale/all_pages", [all](benchmark::State& state) {
        parseAll(state, all, parseOnceWithNorvale);
    })->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("Gumbo/all_pages", [all](benchmark::State& state) {
        parseAll(state, all, parseOnceWithGumbo);
    })->Unit(benchmark::kMillisecond);

    // The pages one after another until 50 MB, as one document.
    std::string concatenation;
    if (!all.empty()) {
        while (concatenation.size() < 50'000'000) {
            for (const std::string* page : all)
                concatenation += *page;
        }
    }
    texts.push_back(std::move(concatenation));
    const std::vector<const std::string*> big {&texts.back()};
    benchmark::RegisterBenchmark("Norvale/concatenation_50MB", [big](benchmark::State& state) {
        parseAll(state, big, parseOnceWithNorvale);
    })->Unit(benchmark::kMillisecond)->Iterations(3);
    benchmark::RegisterBenchmark("Gumbo/concatenation_50MB", [big](benchmark::State& state) {
        parseAll(state, big, parseOnceWithGumbo);
    })->Unit(benchmark::kMillisecond)->Iterations(3);

    texts.push_back(repeated("<div>", 100'000));
    const std::vector<const std::string*> nested {&texts.back()};
    benchmark::RegisterBenchmark("Norvale/nested_div_100k", [nested](benchmark::State& state) {
        parseAll(state, nested, parseOnceWithNorvale);
    })->Unit(benchmark::kMillisecond);

    texts.push_back(repeated("<b><div>", 100'000) + repeated("</b>", 100'000));
    const std::vector<const std::string*> misnested {&texts.back()};
    benchmark::RegisterBenchmark("Norvale/b_div_100k_then_end_b_100k", [misnested](benchmark::State& state) {
        parseAll(state, misnested, parseOnceWithNorvale);
    })->Unit(benchmark::kMillisecond);

    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
