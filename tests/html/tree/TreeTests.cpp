#include "html/HTMLChildrenRelationshipProxy.h"
#include "html/HTMLComment.h"
#include "html/HTMLDocument.h"
#include "html/HTMLDocumentType.h"
#include "html/HTMLElement.h"
#include "html/HTMLTagNames.h"
#include "html/HTMLTextNode.h"
#include "html/HTMLTreeEnumerator.h"

#include <gtest/gtest.h>

namespace {

std::shared_ptr<HTMLElement> element(std::u16string tag)
{
    return std::make_shared<HTMLElement>(std::move(tag));
}

std::shared_ptr<HTMLTextNode> text(std::u16string data)
{
    return std::make_shared<HTMLTextNode>(std::move(data));
}

// Appends a chain of elements, each the only child of the one before.
void appendChain(const std::shared_ptr<HTMLNode>& parent, int length)
{
    std::shared_ptr<HTMLNode> current = parent;
    for (int i = 0; i < length; ++i) {
        auto next = element(u"li");
        current->addChild(next);
        current = next;
    }
}

// The children's identities in order.
std::vector<HTMLNode*> childList(const HTMLNode& node)
{
    std::vector<HTMLNode*> list;
    for (const auto& child : node.children())
        list.push_back(child.get());
    return list;
}

std::vector<HTMLNode*> walk(HTMLTreeEnumerator enumerator)
{
    std::vector<HTMLNode*> order;
    while (auto node = enumerator.nextObject())
        order.push_back(node.get());
    return order;
}

TEST(HTMLTree, AddingAnExistingChildLeavesTheListAlone)
{
    auto parent = element(u"div");
    auto a = element(u"a"), b = element(u"b");
    parent->addChild(a);
    parent->addChild(b);
    parent->addChild(a);
    parent->insertObject(a, 2);
    EXPECT_EQ(childList(*parent), (std::vector<HTMLNode*>{a.get(), b.get()}));
}

TEST(HTMLTree, AddingAChildOfAnotherParentMovesIt)
{
    auto first = element(u"div"), second = element(u"div");
    auto child = element(u"span");
    first->addChild(child);
    second->addChild(child);
    EXPECT_EQ(first->numberOfChildren(), 0u);
    EXPECT_EQ(child->parentNode(), second.get());
    EXPECT_EQ(childList(*second), std::vector<HTMLNode*>{child.get()});

    auto third = element(u"p");
    third->insertObject(child, 0);
    EXPECT_EQ(second->numberOfChildren(), 0u);
    EXPECT_EQ(child->parentElement(), third.get());
}

TEST(HTMLTree, SettingTheSameParentMovesTheNodeToTheEnd)
{
    auto parent = element(u"ul");
    auto a = element(u"li"), b = element(u"li");
    parent->addChild(a);
    parent->addChild(b);
    a->setParentNode(parent.get());
    EXPECT_EQ(childList(*parent), (std::vector<HTMLNode*>{b.get(), a.get()}));
    a->setParentNode(nullptr);
    EXPECT_EQ(childList(*parent), std::vector<HTMLNode*>{b.get()});
    EXPECT_EQ(a->parentNode(), nullptr);
}

TEST(HTMLTree, RemovalAndReplacementClearTheOldParent)
{
    auto parent = element(u"div");
    auto a = element(u"a"), b = element(u"b"), c = element(u"c"), d = element(u"d");
    for (const auto& child : {a, b, c})
        parent->addChild(child);

    parent->replaceObjectInChildrenAtIndex(1, d);
    EXPECT_EQ(childList(*parent), (std::vector<HTMLNode*>{a.get(), d.get(), c.get()}));
    EXPECT_EQ(b->parentNode(), nullptr);
    EXPECT_EQ(d->parentNode(), parent.get());

    // A child put in another child's place leaves its own place.
    parent->replaceObjectInChildrenAtIndex(2, a);
    EXPECT_EQ(childList(*parent), (std::vector<HTMLNode*>{d.get(), a.get()}));
    EXPECT_EQ(c->parentNode(), nullptr);

    parent->removeChildrenAtIndexes({0, 1});
    EXPECT_EQ(parent->numberOfChildren(), 0u);
    EXPECT_EQ(a->parentNode(), nullptr);
    EXPECT_EQ(d->parentNode(), nullptr);

    EXPECT_THROW(parent->removeObjectFromChildrenAtIndex(0), std::out_of_range);
    EXPECT_THROW(parent->insertObject(a, 1), std::out_of_range);
    EXPECT_THROW(parent->addChild(nullptr), std::invalid_argument);
}

TEST(HTMLTree, InsertChildrenUsesTheIndexesInOrder)
{
    auto parent = element(u"div");
    auto a = element(u"a"), b = element(u"b"), c = element(u"c");
    parent->addChild(a);
    parent->mutableChildren().insertObjects({b, c}, {0, 2});
    EXPECT_EQ(childList(*parent), (std::vector<HTMLNode*>{b.get(), a.get(), c.get()}));
}

// The child list grows and shifts its entries itself: order and parents
// must match a plain vector doing the same.
TEST(HTMLTree, ChildListsKeepOrderThroughGrowthAndRemoval)
{
    auto parent = element(u"div");
    std::vector<HTMLNode*> expected;
    std::vector<std::shared_ptr<HTMLNode>> nodes;
    for (std::size_t i = 0; i < 100; ++i) {
        nodes.push_back(element(u"i"));
        const std::size_t index = i % 3 == 0 ? 0 : i % 3 == 1 ? expected.size() / 2 : expected.size();
        parent->insertObject(nodes.back(), index);
        expected.insert(expected.begin() + static_cast<std::ptrdiff_t>(index), nodes.back().get());
    }
    EXPECT_EQ(childList(*parent), expected);
    for (std::size_t index : {std::size_t {0}, std::size_t {50}, std::size_t {97}}) {
        HTMLNode* removed = expected[index];
        parent->removeObjectFromChildrenAtIndex(index);
        expected.erase(expected.begin() + static_cast<std::ptrdiff_t>(index));
        EXPECT_EQ(removed->parentNode(), nullptr);
    }
    EXPECT_EQ(childList(*parent), expected);
    parent->mutableChildren().removeAllObjects();
    EXPECT_EQ(parent->numberOfChildren(), 0u);
    EXPECT_EQ(nodes[0]->parentNode(), nullptr);
}

TEST(HTMLTree, ADetachedChildOutlivesItsParent)
{
    auto child = element(u"b");
    {
        auto parent = element(u"p");
        parent->addChild(child);
    }
    EXPECT_EQ(child->parentNode(), nullptr);
}

// Taking a tree apart frees every node no one else holds, and leaves each
// held node whole and detached, wherever it sits: in a chain of only
// children, at its bottom, or among siblings.
TEST(HTMLTree, DestroyingATreeFreesAllButHeldSubtrees)
{
    for (const std::size_t heldDepth : {1u, 2u, 4u, 6u}) {
        SCOPED_TRACE(heldDepth);
        std::vector<std::weak_ptr<HTMLNode>> nodes;
        std::shared_ptr<HTMLNode> held;
        {
            auto root = element(u"div");
            std::shared_ptr<HTMLNode> current = root;
            for (std::size_t depth = 1; depth <= 6; ++depth) {
                auto next = element(depth % 2 ? u"p" : u"b");
                current->addChild(next);
                if (depth == 3)
                    current->addChild(text(u"sibling"));
                nodes.push_back(next);
                if (depth == heldDepth)
                    held = next;
                current = next;
            }
            current->addChild(text(u"bottom"));
            nodes.push_back(current->childAtIndex(0));
            auto wide = element(u"ul");
            for (int i = 0; i < 5; ++i)
                appendChain(wide, 3);
            root->addChild(wide);
            nodes.push_back(wide);
        }
        EXPECT_EQ(held->parentNode(), nullptr);
        for (std::size_t i = 0; i < nodes.size(); ++i)
            EXPECT_EQ(nodes[i].expired(), i + 1 < heldDepth || i >= 7) << i;
        std::u16string expected = u"bottom";
        for (std::size_t depth = 6; depth >= heldDepth; --depth) {
            const std::u16string name = depth % 2 ? u"p" : u"b";
            expected = u"<" + name + u">" + expected + (depth == 2 ? u"sibling" : u"") + u"</" + name + u">";
        }
        EXPECT_EQ(held->serializedFragment(), expected);
    }
}

TEST(HTMLTree, RemoveFromParentKeepsTheNodeAlive)
{
    auto parent = element(u"p");
    parent->addChild(text(u"x"));
    std::weak_ptr<HTMLNode> child = parent->childAtIndex(0);
    child.lock()->removeFromParentNode();
    EXPECT_TRUE(child.expired());
    EXPECT_EQ(parent->numberOfChildren(), 0u);
}

TEST(HTMLTree, InsertStringExtendsThePrecedingTextNode)
{
    auto parent = element(u"p");
    parent->insertString(u"a", 0);
    parent->insertString(u"b", 1);
    ASSERT_EQ(parent->numberOfChildren(), 1u);
    EXPECT_EQ(parent->textContent(), u"ab");

    // At index 0 a new text node is made even before a text node.
    parent->insertString(u"c", 0);
    EXPECT_EQ(parent->textComponents(), (std::vector<std::u16string>{u"c", u"ab"}));

    parent->addChild(element(u"br"));
    parent->insertString(u"d", 3);
    EXPECT_EQ(parent->numberOfChildren(), 4u);
}

TEST(HTMLTree, TextContentJoinsTextDescendantsOnly)
{
    auto p = element(u"p");
    auto b = element(u"b");
    b->addChild(text(u"b"));
    p->addChild(text(u"a"));
    p->addChild(b);
    p->addChild(std::make_shared<HTMLComment>(u"c"));
    p->addChild(text(u"d"));
    EXPECT_EQ(p->textContent(), u"abd");
    EXPECT_EQ(p->textContentUTF8(), "abd");
    EXPECT_EQ(p->textComponents(), (std::vector<std::u16string>{u"a", u"d"}));
    EXPECT_EQ(element(u"div")->textContent(), u"");

    p->setTextContent(u"new");
    EXPECT_EQ(b->parentNode(), nullptr);
    ASSERT_EQ(p->numberOfChildren(), 1u);
    EXPECT_EQ(p->textContent(), u"new");
    p->setTextContent(u"");
    EXPECT_EQ(p->numberOfChildren(), 0u);

    auto comment = std::make_shared<HTMLComment>(u"note");
    comment->setTextContent(u"changed");
    EXPECT_EQ(comment->data(), u"changed");
    EXPECT_EQ(comment->textContent(), u"changed");
}

TEST(HTMLTree, WalksArePreOrderForwardAndReversed)
{
    auto node = element(u"div");
    auto c1 = element(u"c1"), c2 = element(u"c2"), g = element(u"g");
    node->addChild(c1);
    node->addChild(c2);
    c1->addChild(g);
    EXPECT_EQ(walk(node->treeEnumerator()), (std::vector<HTMLNode*>{node.get(), c1.get(), g.get(), c2.get()}));
    EXPECT_EQ(walk(node->reversedTreeEnumerator()), (std::vector<HTMLNode*>{node.get(), c2.get(), c1.get(), g.get()}));
    // A walk never leaves the subtree it started in.
    EXPECT_EQ(walk(c1->treeEnumerator()), (std::vector<HTMLNode*>{c1.get(), g.get()}));
}

TEST(HTMLTree, ClassListsSplitAtWhitespace)
{
    HTMLElement e(u"div", {{u"class", u"one\t two\n"}});
    EXPECT_TRUE(e.hasClass(u"one"));
    EXPECT_TRUE(e.hasClass(u"two"));
    EXPECT_FALSE(e.hasClass(u"One"));
    EXPECT_FALSE(e.hasClass(u"on"));

    auto plain = element(u"div");
    plain->toggleClass(u"x");
    EXPECT_EQ(*plain->objectForKeyedSubscript(u"class"), u" x");
    plain->toggleClass(u"x");
    EXPECT_EQ(*plain->objectForKeyedSubscript(u"class"), u"");
    plain->setObject(u"a b", u"class");
    plain->toggleClass(u"a");
    EXPECT_EQ(*plain->objectForKeyedSubscript(u"class"), u"b");
}

TEST(HTMLTree, AttributesMatchNamesExactly)
{
    HTMLElement e(u"a", {{u"href", u"/x"}, {u"title", u"t"}});
    EXPECT_EQ(*e.objectForKeyedSubscript(u"href"), u"/x");
    EXPECT_EQ(e.objectForKeyedSubscript(u"HREF"), nullptr);
    e.setObject(u"/y", u"href");
    e.setObject(u"n", u"name");
    EXPECT_EQ(e.attributes().entries(),
              (std::pmr::vector<HTMLOrderedDictionary::Entry>{{u"href", u"/y"}, {u"title", u"t"}, {u"name", u"n"}}));
    e.removeAttributeWithName(u"title");
    e.removeAttributeWithName(u"missing");
    EXPECT_EQ(e.attributes().count(), 2u);
}

TEST(HTMLTree, DocumentFindsItsDoctypeRootAndBody)
{
    auto document = std::make_shared<HTMLDocument>();
    EXPECT_EQ(document->parsedStringEncoding(), StringEncoding::UTF8);
    EXPECT_EQ(static_cast<int>(document->parsedStringEncoding()), 4);
    EXPECT_EQ(document->rootElement(), nullptr);
    EXPECT_EQ(document->bodyElement(), nullptr);

    auto html = element(u"html");
    document->addChild(std::make_shared<HTMLComment>(u"c"));
    document->setRootElement(html);
    auto doctype = std::make_shared<HTMLDocumentType>();
    document->setDocumentType(doctype);
    // A new DOCTYPE goes before the root element.
    EXPECT_EQ(document->childAtIndex(1), doctype);
    EXPECT_EQ(document->documentType(), doctype);

    auto other = std::make_shared<HTMLDocumentType>(u"x", u"", u"");
    document->setDocumentType(other);
    EXPECT_EQ(document->childAtIndex(1), other);
    EXPECT_EQ(doctype->parentNode(), nullptr);
    document->setDocumentType(nullptr);
    EXPECT_EQ(document->documentType(), nullptr);

    html->addChild(element(u"head"));
    html->addChild(element(u"frameset"));
    EXPECT_EQ(document->bodyElement(), nullptr);
    auto body = element(u"body");
    html->addChild(body);
    EXPECT_EQ(document->bodyElement(), body);
    EXPECT_EQ(body->document(), document.get());
    EXPECT_EQ(document->document(), nullptr);

    auto replacement = element(u"html");
    document->setRootElement(replacement);
    EXPECT_EQ(document->rootElement(), replacement);
    EXPECT_EQ(document->numberOfChildren(), 2u);
}

TEST(HTMLTree, ElementsKnowTheirNamesNumber)
{
    // Common names are shared by every element; any other is the element's own.
    auto div = std::make_shared<HTMLElement>(u"div");
    auto other = std::make_shared<HTMLElement>(u"x-gauge");
    auto numbered = std::make_shared<HTMLElement>(u"td", KnownTagNameNumber(u"td"), HTMLOrderedDictionary {});
    EXPECT_EQ(div->tagNameNumber(), KnownTagNameNumber(u"div"));
    EXPECT_LT(div->tagNameNumber(), KnownTagNameCount);
    EXPECT_EQ(other->tagNameNumber(), KnownTagNameCount);
    EXPECT_EQ(other->tagName(), u"x-gauge");
    EXPECT_EQ(numbered->tagName(), u"td");
    EXPECT_EQ(&div->tagName(), &std::static_pointer_cast<HTMLElement>(div->copy())->tagName());
    div.reset();
    EXPECT_EQ(std::make_shared<HTMLElement>(u"div")->tagName(), u"div");
}

TEST(HTMLTree, CopiesTakeOwnFieldsButNoChildren)
{
    auto svg = std::make_shared<HTMLElement>(u"circle", HTMLOrderedDictionary{{u"r", u"1"}});
    svg->setHtmlNamespace(HTMLNamespace::SVG);
    svg->addChild(text(u"x"));
    auto copy = std::static_pointer_cast<HTMLElement>(svg->copy());
    EXPECT_EQ(copy->tagName(), u"circle");
    EXPECT_EQ(copy->attributes(), svg->attributes());
    EXPECT_EQ(copy->htmlNamespace(), HTMLNamespace::HTML);
    EXPECT_EQ(copy->numberOfChildren(), 0u);

    HTMLDocumentType doctype(u"html", u"p", u"s");
    auto doctypeCopy = std::static_pointer_cast<HTMLDocumentType>(doctype.copy());
    EXPECT_EQ(doctypeCopy->publicIdentifier(), u"p");
    EXPECT_EQ(doctypeCopy->systemIdentifier(), u"s");

    HTMLDocument document;
    document.setQuirksMode(HTMLQuirksMode::Quirks);
    document.setParsedStringEncoding(StringEncoding::Windows1252);
    auto documentCopy = std::static_pointer_cast<HTMLDocument>(document.copy());
    EXPECT_EQ(documentCopy->quirksMode(), HTMLQuirksMode::NoQuirks);
    EXPECT_EQ(documentCopy->parsedStringEncoding(), StringEncoding::UTF8);

    EXPECT_EQ(std::static_pointer_cast<HTMLComment>(HTMLComment(u"c").copy())->data(), u"c");
    EXPECT_EQ(std::static_pointer_cast<HTMLTextNode>(HTMLTextNode(u"t").copy())->data(), u"t");
}

} // namespace
