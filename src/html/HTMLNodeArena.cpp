#include "html/HTMLNodeArena.h"

#include "html/HTMLNode.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>
#include <utility>

HTMLNodeArena::HTMLNodeArena() : blocks_(std::make_unique<Blocks>().release()) {}

HTMLNodeArena::~HTMLNodeArena()
{
    blocks_->close();
}

HTMLNodeArena::Blocks::~Blocks()
{
    // First to last: the heap then joins each block to the free space before
    // it, and only the last one to the free end of the heap.
    for (std::byte* block = firstBlock_; block;) {
        std::byte* const next = following(block);
        std::free(block);
        block = next;
    }
}

void HTMLNodeArena::Blocks::addBlock(std::size_t size)
{
    const std::size_t blockSize = std::max(nextBlockSize_, blockHeaderSize + size);
    // Nodes are small; a request the largest block cannot hold is a fault.
    if (blockSize > largestBlock)
        throw std::bad_alloc();
    // posix_memalign, not an aligned operator new: the standard library rounds
    // an aligned request up to a multiple of its alignment, which would make
    // every small first block a whole 16 KB and keep a gap after each.
    void* memory = nullptr;
    if (posix_memalign(&memory, blockAlignment, blockSize) != 0)
        throw std::bad_alloc();
    auto* block = static_cast<std::byte*>(memory);
    Blocks* self = this;
    std::memcpy(block, &self, sizeof self);
    setFollowing(block, nullptr);
    if (lastBlock_)
        setFollowing(lastBlock_, block);
    else
        firstBlock_ = block;
    lastBlock_ = block;
    next_ = block + blockHeaderSize;
    end_ = block + blockSize;
    nextBlockSize_ = std::min(nextBlockSize_ * 2, largestBlock);
}

void* HTMLNodeArena::Blocks::allocateElsewhere(std::size_t bytes, std::size_t alignment)
{
    if (!fromHeap(bytes, alignment))
        return take(inWholeGrains(bytes));
    return alignment <= __STDCPP_DEFAULT_NEW_ALIGNMENT__ ? ::operator new(bytes)
                                                         : ::operator new(bytes, std::align_val_t {alignment});
}

void HTMLNodeArena::Blocks::deallocate(std::int64_t count) noexcept
{
    if (balance_.fetch_sub(count, std::memory_order_acq_rel) == count)
        end();
}

HTMLNodeArena::ReleaseBatch::ReleaseBatch(const HTMLNode& node) noexcept
{
    if (!node.madeInArena_ || releasing_)
        return;
    releasing_ = &Blocks::owner(&node);
    released_ = 0;
    counting_ = true;
}

HTMLNodeArena::ReleaseBatch::~ReleaseBatch()
{
    if (!counting_)
        return;
    Blocks* blocks = std::exchange(releasing_, nullptr);
    if (const std::int64_t count = std::exchange(released_, 0))
        blocks->deallocate(count);
}

void HTMLNodeArena::Blocks::close() noexcept
{
    const std::int64_t change = allocations_ - openBalance;
    if (balance_.fetch_add(change, std::memory_order_acq_rel) + change == 0)
        end();
}

void HTMLNodeArena::Blocks::end() noexcept
{
    // The blocks were handed out by the arena's constructor and are owned by
    // whoever brings the balance to zero.
    std::unique_ptr<Blocks> last(this);
}
