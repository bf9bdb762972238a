#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

class HTMLNode;

// A node's child list: a vector of shared nodes kept in 16 bytes (a pointer
// and 32-bit count and capacity) instead of std::vector's 24, since a
// document holds one list per node, text nodes included. A list whose node
// a parser is building takes its storage from that parser's arena.
class HTMLNodeList {
public:
    using Node = std::shared_ptr<HTMLNode>;

    HTMLNodeList() = default;
    HTMLNodeList(HTMLNodeList&& other) noexcept;
    HTMLNodeList& operator=(HTMLNodeList&& other) noexcept;
    HTMLNodeList(const HTMLNodeList&) = delete;
    HTMLNodeList& operator=(const HTMLNodeList&) = delete;
    // Most nodes have no children and never had, and an emptied list whose
    // storage came from an arena leaves it to the arena: nothing to do then.
    ~HTMLNodeList()
    {
        if (items_ && (size_ != 0 || !(capacity_ & fromArena)))
            destroy();
    }

    std::size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }
    Node& operator[](std::size_t index) { return items_[index]; }
    const Node& operator[](std::size_t index) const { return items_[index]; }
    // std::out_of_range past the end.
    const Node& at(std::size_t index) const;
    Node* begin() { return items_; }
    Node* end() { return items_ + size_; }
    const Node* begin() const { return items_; }
    const Node* end() const { return items_ + size_; }

    Node& back() { return items_[size_ - 1]; }
    const Node& back() const { return items_[size_ - 1]; }

    // index <= size(). The owner is the list's node when that node came from
    // a parser's arena (see HTMLNodeArena::allocateList), else nullptr.
    void insert(std::size_t index, Node&& node, const HTMLNode* arenaOwner = nullptr)
    {
        if (index == size_ && size_ < capacity())
            std::construct_at(items_ + size_, std::move(node));
        else
            insertGrowingOrShifting(index, std::move(node), arenaOwner);
        ++size_;
    }
    // Most lists that fill up here already have storage (a parser takes the
    // first slot itself): straight to regrow then.
    void push_back(Node&& node, const HTMLNode* arenaOwner = nullptr)
    {
        if (size_ == capacity())
            regrow(arenaOwner);
        std::construct_at(items_ + size_, std::move(node));
        ++size_;
    }
    // Whether the list has never had storage.
    bool hasNoStorage() const { return !items_; }
    // For a list that has no storage yet: takes one slot from the owner's
    // arena, if it gives one (see HTMLNodeArena::allocateList). Defined in
    // HTMLNodeArena.h.
    inline bool takeFirstSlotFromArena(const HTMLNode& owner);
    // index < size().
    void erase(std::size_t index);
    void pop_back() { std::destroy_at(items_ + --size_); }
    // Destroys the entries; the storage stays for reuse.
    void clear();
    std::vector<Node> toVector() const { return std::vector<Node>(begin(), end()); }

private:
    // The top bit of capacity_ marks storage from an arena.
    static constexpr std::uint32_t fromArena = std::uint32_t {1} << 31;

    std::size_t capacity() const { return capacity_ & ~fromArena; }
    void insertGrowingOrShifting(std::size_t index, Node&& node, const HTMLNode* arenaOwner);
    void grow(const HTMLNode* arenaOwner);
    [[gnu::noinline]] void regrow(const HTMLNode* arenaOwner);
    // For a full list of From items from the owner's arena: moves them to a
    // piece of To, if the arena gives one.
    template <std::uint32_t From, std::uint32_t To>
    bool moveToArenaPiece(const HTMLNode& owner);
    // Moves the first count items to new storage, leaving the old destroyed
    // (moved and destroyed in one pass, so the emptied pointers need no check).
    void moveItemsTo(Node* items, std::uint32_t count) noexcept
    {
        for (std::uint32_t i = 0; i < count; ++i) {
            std::construct_at(items + i, std::move(items_[i]));
            std::destroy_at(items_ + i);
        }
    }
    void releaseStorage() noexcept;
    void destroy() noexcept;

    Node* items_ = nullptr;
    std::uint32_t size_ = 0;
    std::uint32_t capacity_ = 0;
};
