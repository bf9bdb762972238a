#include "html/HTMLDocument.h"
#include "html/HTMLElement.h"

#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

std::filesystem::path pagesFolder()
{
    return testsupport::testDataDir() / "pages";
}

std::string contents(const std::filesystem::path& path)
{
    std::ifstream file(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << file.rdbuf();
    return bytes.str();
}

// Real saved pages parse into a usable tree (and, in the sanitizer build,
// without a memory error).
TEST(SavedPages, ParseIntoUsableTrees)
{
    int pages = 0;
    for (const auto& entry : std::filesystem::directory_iterator(pagesFolder())) {
        if (entry.path().extension() != ".html")
            continue;
        SCOPED_TRACE(entry.path().filename().string());
        ++pages;
        const std::string bytes = contents(entry.path());
        auto document = HTMLDocument::documentWithData(bytes, "text/html");
        ASSERT_TRUE(document->rootElement());
        ASSERT_TRUE(document->bodyElement());
        EXPECT_FALSE(document->bodyElement()->textContent().empty());
        EXPECT_FALSE(document->nodesMatchingSelector("a[href]").empty());
        const std::u16string html = document->serializedFragment();
        // Serializing and parsing again gives the same serialization.
        EXPECT_EQ(HTMLDocument::documentWithString(html)->serializedFragment(), html);
    }
    EXPECT_EQ(pages, 4);
}

} // namespace
