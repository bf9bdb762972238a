#include "html/HTMLNode.h"

#include "html/HTMLChildrenRelationshipProxy.h"
#include "html/HTMLDocument.h"
#include "html/HTMLElement.h"
#include "html/HTMLNodeArena.h"
#include "html/HTMLTextNode.h"
#include "html/HTMLTreeEnumerator.h"
#include "html/HTMLUTF8.h"

#include <cstddef>
#include <stdexcept>

namespace {

void requireNode(const HTMLNode* node, const char* name)
{
    if (!node)
        throw std::invalid_argument(std::string("Invalid parameter not satisfying: ") + name);
}

} // namespace

void HTMLNode::takeApartChildren() noexcept
{
    // Take the subtree apart without recursion (a deep tree would overflow
    // the call stack) and without a stack of its own: go down through last
    // children that only this tree holds, release leaves from the end of
    // their list, and climb back through the parent pointers. A node is
    // released only once its list is empty, so its own destructor returns at
    // once. A child that someone else still holds only loses its parent.
    // The node the walk is at is always the last child of its parent.
    const HTMLNodeArena::ReleaseBatch batch(*this);
    HTMLNode* node = this;
    for (;;) {
        // Release children from the end of the list until one is to be taken
        // apart first. Releasing one leaves the rest of the list as it was
        // (it has no children left, or someone else keeps it), so the walk
        // keeps its place in the list.
        HTMLNodeList& children = node->children_;
        const std::shared_ptr<HTMLNode>* const first = children.begin();
        const std::shared_ptr<HTMLNode>* last = children.end();
        HTMLNode* child = nullptr;
        while (last != first) {
            --last;
            // The walk reads nodes the parse wrote long before, one pointer
            // after another, and would mostly wait for memory. While this
            // child goes, ask for what the next steps read. Of the sibling
            // before it: its last child slot (where the walk goes down next)
            // and, for an element, the first attributes, whose strings its
            // destructor looks at. Of the node before that one: its
            // reference counts, which allocate_shared puts just before it,
            // its child list, and its last bytes, where an element keeps its
            // attributes.
            if (last - first >= 1) {
                const HTMLNode* sibling = last[-1].get();
                const HTMLNodeList& siblingsChildren = sibling->children_;
                if (!siblingsChildren.empty())
                    __builtin_prefetch(&siblingsChildren.back());
                if (sibling->kind_ == Kind::Element) {
                    const auto& attributes = static_cast<const HTMLElement*>(sibling)->attributes().entries();
                    if (!attributes.empty()) {
                        constexpr std::size_t lineSize = 64;
                        __builtin_prefetch(attributes.data());
                        __builtin_prefetch(reinterpret_cast<const std::byte*>(attributes.data()) + lineSize);
                    }
                }
                if (last - first >= 2) {
                    // The size of the counts' block in this standard library.
                    constexpr std::size_t countsBefore = 16;
                    const HTMLNode* ahead = last[-2].get();
                    __builtin_prefetch(reinterpret_cast<const std::byte*>(ahead) - countsBefore);
                    __builtin_prefetch(&ahead->children_);
                    __builtin_prefetch(reinterpret_cast<const std::byte*>(ahead) + sizeof(HTMLElement) - sizeof(void*));
                }
            }
            if (!(*last)->children_.empty() && last->use_count() == 1) {
                child = last->get();
                break;
            }
            (*last)->parent_ = nullptr;
            children.pop_back();
        }
        if (!child) {
            if (node == this)
                return;
            node = node->parent_;
            continue;
        }
        if (node != this && children.size() == 1) {
            // An only child takes its parent's place, and the parent goes
            // now: a long chain is taken apart in one pass down it.
            HTMLNode* grandparent = node->parent_;
            std::shared_ptr<HTMLNode> taken = std::move(children.back());
            children.pop_back();
            node->parent_ = nullptr;
            child->parent_ = grandparent;
            grandparent->children_.back() = std::move(taken);
        }
        node = child;
    }
}

void HTMLNode::setParentNode(HTMLNode* parent)
{
    setParentNode(parent, true);
}

void HTMLNode::setParentNode(HTMLNode* parent, bool updateChildren)
{
    // Leaving the old list may drop the last owner of this node.
    std::shared_ptr<HTMLNode> self = shared_from_this();
    if (parent_)
        parent_->removeChildRaw(this);
    parent_ = parent;
    if (parent && updateChildren)
        parent->children_.push_back(std::move(self), parent);
}

HTMLElement* HTMLNode::parentElement() const
{
    return parent_ && parent_->kind_ == Kind::Element ? static_cast<HTMLElement*>(parent_) : nullptr;
}

void HTMLNode::setParentElement(HTMLElement* parent)
{
    setParentNode(parent);
}

HTMLDocument* HTMLNode::document() const
{
    for (HTMLNode* node = parent_; node; node = node->parent_) {
        if (node->kind_ == Kind::Document)
            return static_cast<HTMLDocument*>(node);
    }
    return nullptr;
}

void HTMLNode::removeFromParentNode()
{
    if (parent_)
        parent_->mutableChildren().removeObject(shared_from_this());
}

HTMLChildrenRelationshipProxy HTMLNode::mutableChildren()
{
    return HTMLChildrenRelationshipProxy(shared_from_this());
}

const std::shared_ptr<HTMLNode>& HTMLNode::childAtIndex(std::size_t index) const
{
    return children_.at(index);
}

std::size_t HTMLNode::indexOfChild(const HTMLNode* child) const
{
    if (!child || child->parent_ != this)
        return HTMLNotFound;
    // Most lookups are for recently appended children, so search from the end.
    for (std::size_t i = children_.size(); i-- > 0;) {
        if (children_[i].get() == child)
            return i;
    }
    return HTMLNotFound;
}

void HTMLNode::addChild(std::shared_ptr<HTMLNode> child)
{
    requireNode(child.get(), "child");
    insertObject(std::move(child), children_.size());
}

void HTMLNode::removeChild(std::shared_ptr<HTMLNode> child)
{
    requireNode(child.get(), "child");
    mutableChildren().removeObject(std::move(child));
}

void HTMLNode::insertObject(std::shared_ptr<HTMLNode> child, std::size_t index)
{
    requireNode(child.get(), "child");
    if (child->parent_ == this)
        return;
    if (index > children_.size())
        throw std::out_of_range("insertObject: index beyond the end of the children");
    HTMLNode* node = child.get();
    HTMLNode* formerParent = node->parent_;
    children_.insert(index, std::move(child), this);
    if (formerParent)
        formerParent->removeChildRaw(node);
    node->parent_ = this;
}

void HTMLNode::insertChildren(const std::vector<std::shared_ptr<HTMLNode>>& nodes, const std::set<std::size_t>& indexes)
{
    if (nodes.size() != indexes.size())
        throw std::invalid_argument("Invalid parameter not satisfying: nodes.size() == indexes.size()");
    auto index = indexes.begin();
    for (const auto& node : nodes)
        insertObject(node, *index++);
}

void HTMLNode::removeObjectFromChildrenAtIndex(std::size_t index)
{
    std::shared_ptr<HTMLNode> child = children_.at(index);
    children_.erase(index);
    child->parent_ = nullptr;
}

void HTMLNode::removeChildrenAtIndexes(const std::set<std::size_t>& indexes)
{
    if (indexes.empty())
        return;
    if (*indexes.rbegin() >= children_.size())
        throw std::out_of_range("removeChildrenAtIndexes: index beyond the end of the children");
    std::vector<std::shared_ptr<HTMLNode>> removed;
    for (auto index = indexes.rbegin(); index != indexes.rend(); ++index) {
        removed.push_back(std::move(children_[*index]));
        children_.erase(*index);
    }
    for (const auto& child : removed)
        child->parent_ = nullptr;
}

void HTMLNode::replaceObjectInChildrenAtIndex(std::size_t index, std::shared_ptr<HTMLNode> node)
{
    requireNode(node.get(), "node");
    std::shared_ptr<HTMLNode> old = children_.at(index);
    if (old == node)
        return;
    if (node->parent_ == this) {
        // The new node leaves its own place in this list first.
        const std::size_t position = indexOfChild(node.get());
        children_.erase(position);
        if (position < index)
            --index;
    } else if (node->parent_) {
        node->parent_->removeChildRaw(node.get());
    }
    children_[index] = node;
    node->parent_ = this;
    old->parent_ = nullptr;
}

void HTMLNode::insertString(std::u16string_view string, std::size_t childNodeIndex)
{
    if (childNodeIndex > 0 && childNodeIndex <= children_.size()) {
        HTMLNode* before = children_[childNodeIndex - 1].get();
        if (before->kind_ == Kind::Text) {
            static_cast<HTMLTextNode*>(before)->appendString(string);
            return;
        }
    }
    insertObject(std::make_shared<HTMLTextNode>(string), childNodeIndex);
}

std::vector<std::shared_ptr<HTMLElement>> HTMLNode::childElementNodes() const
{
    std::vector<std::shared_ptr<HTMLElement>> elements;
    for (const auto& child : children_) {
        if (child->kind_ == Kind::Element)
            elements.push_back(std::static_pointer_cast<HTMLElement>(child));
    }
    return elements;
}

HTMLTreeEnumerator HTMLNode::treeEnumerator() const
{
    return HTMLTreeEnumerator(std::const_pointer_cast<HTMLNode>(shared_from_this()), false);
}

HTMLTreeEnumerator HTMLNode::reversedTreeEnumerator() const
{
    return HTMLTreeEnumerator(std::const_pointer_cast<HTMLNode>(shared_from_this()), true);
}

std::u16string HTMLNode::textContent() const
{
    std::u16string text;
    HTMLTreeEnumerator walk = treeEnumerator();
    while (auto node = walk.nextObject()) {
        if (node->kind_ == Kind::Text)
            text += static_cast<const HTMLTextNode&>(*node).data();
    }
    return text;
}

std::string HTMLNode::textContentUTF8() const
{
    return UTF8FromUTF16(textContent());
}

void HTMLNode::setTextContent(std::u16string_view text)
{
    mutableChildren().removeAllObjects();
    if (!text.empty())
        addChild(std::make_shared<HTMLTextNode>(text));
}

std::vector<std::u16string> HTMLNode::textComponents() const
{
    std::vector<std::u16string> components;
    for (const auto& child : children_) {
        if (child->kind_ == Kind::Text)
            components.emplace_back(static_cast<const HTMLTextNode&>(*child).data());
    }
    return components;
}

void HTMLNode::removeChildRaw(const HTMLNode* child)
{
    for (std::size_t i = children_.size(); i-- > 0;) {
        if (children_[i].get() == child) {
            children_.erase(i);
            return;
        }
    }
}

void HTMLNode::removeAllChildren()
{
    HTMLNodeList removed = std::move(children_);
    for (const auto& child : removed)
        child->parent_ = nullptr;
}
