#include "html/HTMLTreeEnumerator.h"

#include "html/HTMLNode.h"

#include <stdexcept>

HTMLTreeEnumerator::HTMLTreeEnumerator(std::shared_ptr<HTMLNode> node, bool reversed)
    : nextNode_(std::move(node)), reversed_(reversed)
{
    if (!nextNode_)
        throw std::invalid_argument("Invalid parameter not satisfying: node");
}

std::shared_ptr<HTMLNode> HTMLTreeEnumerator::nextObject()
{
    std::shared_ptr<HTMLNode> result = std::move(nextNode_);
    nextNode_ = nullptr;
    if (!result)
        return nullptr;

    if (const std::size_t count = result->numberOfChildren()) {
        const std::size_t index = reversed_ ? count - 1 : 0;
        indexPath_.emplace_back(index, count);
        nextNode_ = result->childAtIndex(index);
        return result;
    }

    // A leaf: climb until some ancestor has a next child in walk order.
    const HTMLNode* parent = result->parentNode();
    while (!indexPath_.empty()) {
        auto& [index, count] = indexPath_.back();
        if (!reversed_ && index + 1 < count) {
            nextNode_ = parent->childAtIndex(++index);
            return result;
        }
        if (reversed_ && index > 0) {
            nextNode_ = parent->childAtIndex(--index);
            return result;
        }
        indexPath_.pop_back();
        parent = parent->parentNode();
    }
    return result;
}
