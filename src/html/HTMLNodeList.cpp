#include "html/HTMLNodeList.h"

#include "html/HTMLNode.h"
#include "html/HTMLNodeArena.h"

#include <algorithm>
#include <limits>
#include <stdexcept>
#include <utility>

HTMLNodeList::HTMLNodeList(HTMLNodeList&& other) noexcept
    : items_(std::exchange(other.items_, nullptr)), size_(std::exchange(other.size_, 0)),
      capacity_(std::exchange(other.capacity_, 0))
{
}

HTMLNodeList& HTMLNodeList::operator=(HTMLNodeList&& other) noexcept
{
    if (this != &other) {
        const HTMLNodeList old(std::move(*this));
        items_ = std::exchange(other.items_, nullptr);
        size_ = std::exchange(other.size_, 0);
        capacity_ = std::exchange(other.capacity_, 0);
    }
    return *this;
}

void HTMLNodeList::destroy() noexcept
{
    clear();
    releaseStorage();
}

const HTMLNodeList::Node& HTMLNodeList::at(std::size_t index) const
{
    if (index >= size_)
        throw std::out_of_range("HTMLNodeList::at: index beyond the end of the list");
    return items_[index];
}

void HTMLNodeList::insertGrowingOrShifting(std::size_t index, Node&& node, const HTMLNode* arenaOwner)
{
    if (size_ == capacity())
        grow(arenaOwner);
    if (index == size_) {
        std::construct_at(items_ + size_, std::move(node));
    } else {
        std::construct_at(items_ + size_, std::move(items_[size_ - 1]));
        std::move_backward(items_ + index, items_ + size_ - 1, items_ + size_);
        items_[index] = std::move(node);
    }
}

void HTMLNodeList::erase(std::size_t index)
{
    std::move(items_ + index + 1, items_ + size_, items_ + index);
    --size_;
    std::destroy_at(items_ + size_);
}

void HTMLNodeList::clear()
{
    std::destroy(items_, items_ + size_);
    size_ = 0;
}

void HTMLNodeList::grow(const HTMLNode* arenaOwner)
{
    // Most lists that grow are new ones of a parse: one slot from the arena
    // and nothing to move, kept apart from the general case.
    if (!items_ && arenaOwner && takeFirstSlotFromArena(*arenaOwner))
        return;
    regrow(arenaOwner);
}

template <std::uint32_t From, std::uint32_t To>
bool HTMLNodeList::moveToArenaPiece(const HTMLNode& owner)
{
    auto* items = static_cast<Node*>(HTMLNodeArena::allocateList(owner, To * sizeof(Node)));
    if (!items)
        return false;
    // The list is full: From items to move.
    moveItemsTo(items, From);
    HTMLNodeArena::deallocateList(items_, From * sizeof(Node));
    items_ = items;
    capacity_ = To | fromArena;
    return true;
}

void HTMLNodeList::regrow(const HTMLNode* arenaOwner)
{
    // Most lists that grow in a parse go from the one arena slot of their
    // first child to four, and then to eight: sizes known, kept apart from
    // the general case.
    if (arenaOwner) {
        if (capacity_ == (1 | fromArena) && moveToArenaPiece<1, 4>(*arenaOwner))
            return;
        if (capacity_ == (4 | fromArena) && moveToArenaPiece<4, 8>(*arenaOwner))
            return;
    }
    // A second child goes to a list of four: elements with more than one
    // child mostly hold text, element, text (and so on), and a list of two
    // would soon grow again.
    const std::size_t capacity = capacity_ == 0 ? 1 : this->capacity() == 1 ? 4 : this->capacity() * 2;
    if (capacity >= fromArena)
        throw std::length_error("HTMLNodeList: too many children");
    Node* items = arenaOwner ? static_cast<Node*>(HTMLNodeArena::allocateList(*arenaOwner, capacity * sizeof(Node)))
                             : nullptr;
    const std::uint32_t origin = items ? fromArena : 0;
    if (!items)
        items = std::allocator<Node>().allocate(capacity);
    if (items_) {
        moveItemsTo(items, size_);
        releaseStorage();
    }
    items_ = items;
    capacity_ = static_cast<std::uint32_t>(capacity) | origin;
}

void HTMLNodeList::releaseStorage() noexcept
{
    if (!items_)
        return;
    if (capacity_ & fromArena)
        HTMLNodeArena::deallocateList(items_, capacity() * sizeof(Node));
    else
        std::allocator<Node>().deallocate(items_, capacity());
}
