#include "TreeBuilder.h"

#include "html/HTMLDocument.h"
#include "html/HTMLTreeEnumerator.h"
#include "html/HTMLUTF8.h"

#include <gtest/gtest.h>

namespace {

constexpr std::size_t depth = 100'000;

// depth nested div elements with a text node at the bottom.
std::shared_ptr<HTMLElement> deepTree(std::shared_ptr<HTMLNode>* bottom = nullptr)
{
    auto top = makeElement(u"div");
    std::shared_ptr<HTMLNode> current = top;
    for (std::size_t i = 1; i < depth; ++i)
        current = appendElement(current, u"div");
    appendText(current, u"deep");
    if (bottom)
        *bottom = current;
    return top;
}

// Each of these would overflow the call stack if it recursed once per level.
TEST(DeepNesting, DestroysWalksAndSerializesWithoutRecursion)
{
    std::shared_ptr<HTMLNode> bottom;
    auto top = deepTree(&bottom);

    std::size_t count = 0;
    HTMLTreeEnumerator walk = top->treeEnumerator();
    while (walk.nextObject())
        ++count;
    EXPECT_EQ(count, depth + 1);
    EXPECT_EQ(top->textContent(), u"deep");
    EXPECT_EQ(top->nodesMatchingSelector("div div").size(), depth - 1);

    const std::u16string html = top->serializedFragment();
    EXPECT_EQ(html.size(), depth * std::u16string_view(u"<div></div>").size() + 4);
    EXPECT_EQ(UTF8FromUTF16(html.substr(depth * 5 - 5, 21)), "<div>deep</div></div>");

    // A node still held elsewhere survives its ancestors, detached.
    top.reset();
    EXPECT_EQ(bottom->parentNode(), nullptr);
    EXPECT_EQ(bottom->numberOfChildren(), 1u);
}

TEST(DeepNesting, ParsedDeepDocumentIsUsable)
{
    std::string html;
    for (std::size_t i = 0; i < depth; ++i)
        html += "<span>";
    html += "x";
    auto document = HTMLDocument::documentWithString(html);
    EXPECT_EQ(document->bodyElement()->textContent(), u"x");
    EXPECT_EQ(document->nodesMatchingSelector("span").size(), depth);
    EXPECT_GT(document->serializedFragment().size(), depth * 13);
}

} // namespace
