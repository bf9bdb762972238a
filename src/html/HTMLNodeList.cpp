#include "html/HTMLNodeList.h"

#include "html/HTMLNode.h"

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
        HTMLNodeList old(std::move(*this));
        items_ = std::exchange(other.items_, nullptr);
        size_ = std::exchange(other.size_, 0);
        capacity_ = std::exchange(other.capacity_, 0);
    }
    return *this;
}

HTMLNodeList::~HTMLNodeList()
{
    clear();
    if (items_)
        std::allocator<Node>().deallocate(items_, capacity_);
}

const HTMLNodeList::Node& HTMLNodeList::at(std::size_t index) const
{
    if (index >= size_)
        throw std::out_of_range("HTMLNodeList::at: index beyond the end of the list");
    return items_[index];
}

void HTMLNodeList::insertGrowingOrShifting(std::size_t index, Node&& node)
{
    if (size_ == capacity_)
        grow();
    if (index == size_) {
        std::construct_at(items_ + size_, std::move(node));
    } else {
        std::construct_at(items_ + size_, std::move(items_[size_ - 1]));
        std::move_backward(items_ + index, items_ + size_ - 1, items_ + size_);
        items_[index] = std::move(node);
    }
    ++size_;
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

void HTMLNodeList::grow()
{
    if (capacity_ == std::numeric_limits<std::uint32_t>::max())
        throw std::length_error("HTMLNodeList: too many children");
    const std::uint32_t capacity =
        capacity_ == 0 ? 1 : static_cast<std::uint32_t>(std::min<std::uint64_t>(std::uint64_t {capacity_} * 2, std::numeric_limits<std::uint32_t>::max()));
    std::allocator<Node> allocator;
    Node* items = allocator.allocate(capacity);
    std::uninitialized_move(items_, items_ + size_, items);
    std::destroy(items_, items_ + size_);
    if (items_)
        allocator.deallocate(items_, capacity_);
    items_ = items;
    capacity_ = capacity;
}
