#pragma once

#include "html/HTMLNodeList.h"
#include "html/HTMLNotFound.h"

#include <cstddef>
#include <memory>
#include <set>
#include <string>
#include <string_view>
#include <vector>

class HTMLChildrenRelationshipProxy;
class HTMLDocument;
class HTMLElement;
class HTMLSelector;
class HTMLTreeEnumerator;

// Base of every node of a document tree. A node's child list owns its
// children; each child points back at its parent without owning it. Nodes
// live in std::shared_ptr (create them with std::make_shared).
//
// Invariant: a node is in at most one child list, and its parentNode() is the
// owner of that list. Every operation below keeps it.
class HTMLNode : public std::enable_shared_from_this<HTMLNode> {
public:
    enum class Kind { Document, DocumentType, Element, Text, Comment };

    // Most nodes have no children: their destructor does nothing more.
    virtual ~HTMLNode()
    {
        if (!children_.empty())
            takeApartChildren();
    }
    HTMLNode(const HTMLNode&) = delete;
    HTMLNode& operator=(const HTMLNode&) = delete;

    Kind kind() const { return kind_; }

    HTMLNode* parentNode() const { return parent_; }
    // Appends this node to the parent's child list (moving it to the end when
    // it is already there); nullptr detaches it.
    void setParentNode(HTMLNode* parent);
    // Leaves the old parent's list, stores the new parent and, when asked,
    // appends this node to the new parent's list.
    void setParentNode(HTMLNode* parent, bool updateChildren);
    // The parent when it is an element, else nullptr.
    HTMLElement* parentElement() const;
    void setParentElement(HTMLElement* parent);
    // The nearest ancestor that is a document (this node excluded).
    HTMLDocument* document() const;
    void removeFromParentNode();

    // A copy of the child list.
    std::vector<std::shared_ptr<HTMLNode>> children() const { return children_.toVector(); }
    HTMLChildrenRelationshipProxy mutableChildren();
    std::size_t numberOfChildren() const { return children_.size(); }
    // std::out_of_range past the end.
    const std::shared_ptr<HTMLNode>& childAtIndex(std::size_t index) const;
    // The child's position, or HTMLNotFound.
    std::size_t indexOfChild(const HTMLNode* child) const;

    // Appends the child, taking it out of its former parent's list; a node
    // that is already a child stays where it is.
    void addChild(std::shared_ptr<HTMLNode> child);
    void removeChild(std::shared_ptr<HTMLNode> child);
    // Inserts the child at the index (std::out_of_range above the count); a
    // node that is already a child stays where it is.
    void insertObject(std::shared_ptr<HTMLNode> child, std::size_t index);
    // Inserts the nodes one by one at the indexes, in ascending order.
    void insertChildren(const std::vector<std::shared_ptr<HTMLNode>>& nodes, const std::set<std::size_t>& indexes);
    void removeObjectFromChildrenAtIndex(std::size_t index);
    void removeChildrenAtIndexes(const std::set<std::size_t>& indexes);
    void replaceObjectInChildrenAtIndex(std::size_t index, std::shared_ptr<HTMLNode> node);

    // Appends the string to the text node just before the index, or inserts a
    // new text node holding it at the index (always a new one at index 0).
    void insertString(std::u16string_view string, std::size_t childNodeIndex);

    std::vector<std::shared_ptr<HTMLElement>> childElementNodes() const;

    // Pre-order walks of this subtree, this node first.
    HTMLTreeEnumerator treeEnumerator() const;
    HTMLTreeEnumerator reversedTreeEnumerator() const;

    // The data of every text node of the subtree, in document order, joined
    // with no separator.
    virtual std::u16string textContent() const;
    std::string textContentUTF8() const;
    // Replaces the children by one text node holding the text (none when empty).
    virtual void setTextContent(std::u16string_view text);
    // The data of the direct text-node children.
    std::vector<std::u16string> textComponents() const;

    // A new node of the same class with the same own fields and no children.
    virtual std::shared_ptr<HTMLNode> copy() const = 0;

    // The matching elements of this subtree (this node included) in document
    // order. Searching with a selector that failed to compile throws
    // std::invalid_argument.
    std::vector<std::shared_ptr<HTMLElement>> nodesMatchingSelector(std::u16string_view selector) const;
    std::vector<std::shared_ptr<HTMLElement>> nodesMatchingSelector(std::string_view selectorUTF8) const;
    std::shared_ptr<HTMLElement> firstNodeMatchingSelector(std::u16string_view selector) const;
    std::shared_ptr<HTMLElement> firstNodeMatchingSelector(std::string_view selectorUTF8) const;
    std::vector<std::shared_ptr<HTMLElement>> nodesMatchingParsedSelector(const HTMLSelector& selector) const;
    std::shared_ptr<HTMLElement> firstNodeMatchingParsedSelector(const HTMLSelector& selector) const;

    // This node written back as HTML.
    virtual std::u16string serializedFragment() const = 0;
    // The serialized children, joined with no separator.
    std::u16string innerHTML() const;
    // One line for debugging.
    virtual std::string description() const = 0;
    // The descriptions of the subtree as an indented outline.
    std::string recursiveDescription() const;

protected:
    explicit HTMLNode(Kind kind) : kind_(kind) {}

private:
    friend class HTMLChildrenRelationshipProxy;
    friend class HTMLNodeArena;
    friend class HTMLParser;

    // For a parser appending a node it has just made (no parent yet, same
    // arena): the checks of insertObject cannot fail then. Defined in
    // HTMLNodeArena.h, as a list's first slot comes from the arena inline.
    inline void appendNewChild(std::shared_ptr<HTMLNode>&& child);

    void takeApartChildren() noexcept;
    void removeChildRaw(const HTMLNode* child);
    void removeAllChildren();

    HTMLNode* parent_ = nullptr;
    HTMLNodeList children_;
    // Last, so that a subclass's small first field can fill the padding after them.
    Kind kind_;
    // Made by a parser's arena (see HTMLNodeArena).
    bool madeInArena_ = false;
};
