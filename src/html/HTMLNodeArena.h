#pragma once

#include "html/HTMLNode.h"

#include <array>
#include <atomic>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <memory_resource>
#include <utility>

// Where a parser takes the nodes it builds from: each node and its reference
// counts come from a few large blocks instead of one heap block each, and the
// blocks go back in one go when the last of those nodes is released. The nodes
// are ordinary std::shared_ptr: the blocks stay as long as any node made here
// lives, so a node kept after its parser and its document are gone stays valid.
//
// The strings of those nodes (texts, attributes) can come from the arena too,
// through strings(): short ones from the blocks, given back with them, long
// ones from the heap. Growing such a string after the parse takes memory
// there too, so the nodes of one parse are changed on one thread at a time.
//
// Making nodes is for one thread at a time (the parser's); releasing them is
// safe from any thread. The memory of a node released early is reused only
// once the whole arena goes.
class HTMLNodeArena {
public:
    HTMLNodeArena();
    // No node is made after this; the blocks go with the last node still alive.
    ~HTMLNodeArena();
    HTMLNodeArena(const HTMLNodeArena&) = delete;
    HTMLNodeArena& operator=(const HTMLNodeArena&) = delete;

    template <typename Node, typename... Arguments>
    std::shared_ptr<Node> make(Arguments&&... arguments) const
    {
        making_ = blocks_;
        std::shared_ptr<Node> node =
            std::allocate_shared<Node>(Allocator<Node>(), std::forward<Arguments>(arguments)...);
        markAsMade(*node);
        return node;
    }

    // While the parser builds, the child lists of its nodes take their storage
    // from the arena too, and storage a list gives back as it grows is
    // reused; that is only done on the parser's thread, before any node is
    // handed out.
    void setBuilding(bool building) { blocks_->setBuilding(building); }
    // Memory for the strings and attribute lists of the nodes made here, and
    // of the tokens they are made from. Whatever holds memory from it must be
    // owned by one of these nodes, or end before the arena does.
    std::pmr::memory_resource* strings() const { return blocks_; }
    // Storage for a list of the node's children (bytes a power of two, at
    // least 16), or nullptr when the list is to use the heap: the node is not
    // from an arena, its arena is not building, or the list is long. Inline,
    // as every list that grows comes here.
    static void* allocateList(const HTMLNode& node, std::size_t bytes)
    {
        return node.madeInArena_ ? Blocks::owner(&node).allocateList(bytes) : nullptr;
    }
    // Storage that allocateList gave.
    static void deallocateList(void* memory, std::size_t bytes) noexcept
    {
        Blocks::owner(memory).deallocateList(memory, bytes);
    }

    // While one lives on a thread, the nodes of the given node's arena that
    // the thread releases are counted there and given back to the arena in
    // one step when it ends, instead of one atomic step each: for taking a
    // whole tree apart. The arena cannot end meanwhile, since the given node
    // is still held. Only the outermost batch on a thread counts.
    class ReleaseBatch {
    public:
        explicit ReleaseBatch(const HTMLNode& node) noexcept;
        ~ReleaseBatch();
        ReleaseBatch(const ReleaseBatch&) = delete;
        ReleaseBatch& operator=(const ReleaseBatch&) = delete;

    private:
        bool counting_ = false;
    };

private:
    // Every block starts at a multiple of this alignment, which no block
    // reaches in size, with a pointer to its Blocks, so a node finds where to
    // give its memory back from its own address and its control block keeps
    // no pointer.
    static constexpr std::size_t blockAlignment = 16 * 1024;
    static constexpr std::size_t blockHeaderSize = 16;
    // The largest block stops 16 bytes short of the next multiple of the
    // alignment, room for the heap's own header of the block after it, so the
    // heap can put the blocks back to back: full-size blocks would leave a gap
    // of nearly a block after each.
    static constexpr std::size_t largestBlock = blockAlignment - 16;
    // Every piece taken is a multiple of this size, so each starts aligned to
    // it with no padding to work out (nodes and lists hold pointers).
    static constexpr std::size_t grain = 8;
    static constexpr std::size_t inWholeGrains(std::size_t bytes) { return (bytes + grain - 1) / grain * grain; }

    // Bump allocation in blocks that grow up to a fixed size, so a large
    // document wastes at most part of one block. The blocks count what was
    // taken and what was given back rather than each reference to them: one
    // atomic step per node released, none per node made.
    //
    // As a memory resource the blocks hand out the memory of strings and
    // attribute lists: small pieces from the blocks, never given back before
    // the blocks go (nodes hold them to the end, so little is lost), and
    // larger ones from the heap, given back as usual.
    class Blocks : public std::pmr::memory_resource {
    public:
        Blocks() = default;
        ~Blocks() override;
        Blocks(const Blocks&) = delete;
        Blocks& operator=(const Blocks&) = delete;

        // The size a multiple of the grain.
        void* allocate(std::size_t size)
        {
            ++allocations_;
            return take(size);
        }
        void setBuilding(bool building) { building_ = building; }
        void* allocateList(std::size_t bytes)
        {
            const std::size_t index = listClass(bytes);
            if (!building_ || index >= freeLists_.size())
                return nullptr;
            if (void* memory = freeLists_[index]) {
                std::memcpy(&freeLists_[index], memory, sizeof(void*));
                return memory;
            }
            return take(bytes);
        }
        void deallocateList(void* memory, std::size_t bytes) noexcept
        {
            // Once building is over, the storage waits for the whole arena to go.
            if (!building_)
                return;
            const std::size_t index = listClass(bytes);
            std::memcpy(memory, &freeLists_[index], sizeof(void*));
            freeLists_[index] = memory;
        }
        // Allocations are given back; the last one after close() ends the blocks.
        void deallocate(std::int64_t count = 1) noexcept;
        // No allocation follows; the blocks end now if nothing is held.
        void close() noexcept;

    protected:
        // Most strings fit in the current block: that path makes no call.
        void* do_allocate(std::size_t bytes, std::size_t alignment) override
        {
            const std::size_t size = inWholeGrains(bytes);
            if (fromHeap(bytes, alignment) || size > left()) [[unlikely]]
                return allocateElsewhere(bytes, alignment);
            void* memory = next_;
            next_ += size;
            return memory;
        }
        void do_deallocate(void* memory, std::size_t bytes, std::size_t alignment) override
        {
            if (!fromHeap(bytes, alignment))
                return;
            if (alignment <= __STDCPP_DEFAULT_NEW_ALIGNMENT__)
                ::operator delete(memory);
            else
                ::operator delete(memory, std::align_val_t {alignment});
        }
        bool do_is_equal(const std::pmr::memory_resource& other) const noexcept override { return this == &other; }

    public:
        // The Blocks that handed out the memory.
        static Blocks& owner(const void* memory)
        {
            const auto start = reinterpret_cast<std::uintptr_t>(memory) & ~(blockAlignment - 1);
            Blocks* blocks = nullptr;
            std::memcpy(&blocks, reinterpret_cast<const void*>(start), sizeof blocks);
            return *blocks;
        }

    private:
        // The free list for a list's size (a power of two, at least 16).
        static std::size_t listClass(std::size_t bytes) { return static_cast<std::size_t>(std::countr_zero(bytes)) - 4; }

        // While the arena is open the balance stays far above any count of
        // allocations, so releases alone never bring it to zero.
        static constexpr std::int64_t openBalance = std::int64_t {1} << 62;
        // Strings and lists above this many bytes use the heap: a block's
        // tail too short for one is lost.
        static constexpr std::size_t largestStringPiece = 1024;
        static bool fromHeap(std::size_t bytes, std::size_t alignment) { return bytes > largestStringPiece || alignment > grain; }

        std::size_t left() const { return static_cast<std::size_t>(end_ - next_); }
        void* take(std::size_t size)
        {
            if (size > left())
                addBlock(size);
            void* memory = next_;
            next_ += size;
            return memory;
        }
        // A block with room for the size after its header.
        void addBlock(std::size_t size);
        // A string for a new block or for the heap.
        [[gnu::noinline]] void* allocateElsewhere(std::size_t bytes, std::size_t alignment);
        void end() noexcept;

        // After its Blocks pointer a block's header holds the block made after
        // it, so the blocks need no list of their own.
        static std::byte* following(const std::byte* block)
        {
            std::byte* next = nullptr;
            std::memcpy(&next, block + sizeof(Blocks*), sizeof next);
            return next;
        }
        static void setFollowing(std::byte* block, std::byte* next) { std::memcpy(block + sizeof(Blocks*), &next, sizeof next); }
        static_assert(blockHeaderSize >= sizeof(Blocks*) + sizeof(std::byte*));

        std::byte* firstBlock_ = nullptr;
        std::byte* lastBlock_ = nullptr;
        // The current block's room: only the start moves as pieces are taken.
        std::byte* next_ = nullptr;
        std::byte* end_ = nullptr;
        std::size_t nextBlockSize_ = 2048;
        // Only the making thread touches these.
        std::int64_t allocations_ = 0;
        bool building_ = false;
        // Child-list storage given back while building, by size: 16 bytes << index.
        std::array<void*, 7> freeLists_ {};
        // Allocations not yet given back, plus openBalance until close().
        std::atomic<std::int64_t> balance_ {openBalance};
    };

    // Takes memory from the arena whose make() runs on this thread and gives
    // it back to the block it came from: it holds nothing itself, so every
    // node's control block stays as small as with std::make_shared.
    template <typename T>
    struct Allocator {
        using value_type = T;

        Allocator() = default;
        template <typename U>
        Allocator(const Allocator<U>&)
        {
        }

        T* allocate(std::size_t count)
        {
            static_assert(alignof(T) <= grain);
            return static_cast<T*>(making_->allocate(inWholeGrains(sizeof(T) * count)));
        }
        void deallocate(T* memory, std::size_t) noexcept
        {
            Blocks& blocks = Blocks::owner(memory);
            if (&blocks == releasing_)
                ++released_;
            else
                blocks.deallocate();
        }

        // Here rather than in std::allocator_traits, so that nodes whose
        // constructor is private to the arena can be made.
        template <typename U, typename... Arguments>
        void construct(U* memory, Arguments&&... arguments)
        {
            ::new (static_cast<void*>(memory)) U(std::forward<Arguments>(arguments)...);
        }
        // The node is of exactly this class, so its destructor is called
        // directly rather than through the virtual table (and can be inlined).
        template <typename U>
        void destroy(U* node) noexcept
        {
            node->U::~U();
        }

        template <typename U>
        bool operator==(const Allocator<U>&) const
        {
            return true;
        }
    };

    static void markAsMade(HTMLNode& node) { node.madeInArena_ = true; }

    inline static thread_local Blocks* making_ = nullptr;
    // The arena of this thread's ReleaseBatch and what it has counted.
    inline static thread_local Blocks* releasing_ = nullptr;
    inline static thread_local std::int64_t released_ = 0;
    // Ends itself: see Blocks::deallocate and Blocks::close.
    Blocks* blocks_;
};

inline bool HTMLNodeList::takeFirstSlotFromArena(const HTMLNode& owner)
{
    void* slot = HTMLNodeArena::allocateList(owner, sizeof(Node));
    if (!slot)
        return false;
    items_ = static_cast<Node*>(slot);
    capacity_ = 1 | fromArena;
    return true;
}

inline void HTMLNode::appendNewChild(std::shared_ptr<HTMLNode>&& child)
{
    HTMLNode* node = child.get();
    // Most parents get their first child here: its slot is taken without a call.
    if (children_.hasNoStorage())
        children_.takeFirstSlotFromArena(*this);
    children_.push_back(std::move(child), this);
    node->parent_ = this;
}
