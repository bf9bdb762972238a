#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

// Where a parser takes the nodes it builds from: each node and its reference
// counts come from a few large blocks instead of one heap block each, and the
// blocks go back in one go when the last of those nodes is released. The nodes
// are ordinary std::shared_ptr: every node holds the blocks alive, so a node
// kept after its parser and its document are gone stays valid.
//
// Making nodes is for one thread at a time (the parser's); releasing them is
// safe from any thread. Memory of a node released early is reused only once
// the whole arena goes.
class HTMLNodeArena {
public:
    HTMLNodeArena();

    template <typename Node, typename... Arguments>
    std::shared_ptr<Node> make(Arguments&&... arguments) const
    {
        return std::allocate_shared<Node>(Allocator<Node>(blocks_), std::forward<Arguments>(arguments)...);
    }

private:
    // Bump allocation in blocks that grow up to a fixed size, so a large
    // document wastes at most part of one block.
    class Blocks {
    public:
        // Alignments are powers of two.
        void* allocate(std::size_t size, std::size_t alignment)
        {
            const std::size_t padding = -reinterpret_cast<std::uintptr_t>(next_) & (alignment - 1);
            if (padding + size > left_)
                return allocateInNewBlock(size, alignment);
            void* memory = next_ + padding;
            next_ += padding + size;
            left_ -= padding + size;
            return memory;
        }

    private:
        void* allocateInNewBlock(std::size_t size, std::size_t alignment);

        std::vector<std::unique_ptr<std::byte[]>> blocks_;
        std::byte* next_ = nullptr;
        std::size_t left_ = 0;
        std::size_t nextBlockSize_ = 2048;
    };

    template <typename T>
    struct Allocator {
        using value_type = T;

        explicit Allocator(std::shared_ptr<Blocks> blocks) : blocks(std::move(blocks)) {}
        template <typename U>
        Allocator(const Allocator<U>& other) : blocks(other.blocks)
        {
        }

        T* allocate(std::size_t count) { return static_cast<T*>(blocks->allocate(sizeof(T) * count, alignof(T))); }
        // The memory returns with the whole arena.
        void deallocate(T*, std::size_t) noexcept {}

        template <typename U>
        bool operator==(const Allocator<U>& other) const
        {
            return blocks == other.blocks;
        }

        std::shared_ptr<Blocks> blocks;
    };

    std::shared_ptr<Blocks> blocks_;
};
