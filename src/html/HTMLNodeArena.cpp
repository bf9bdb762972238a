#include "html/HTMLNodeArena.h"

#include <algorithm>

namespace {

constexpr std::size_t largestBlockSize = 16 * 1024;

} // namespace

HTMLNodeArena::HTMLNodeArena() : blocks_(std::make_shared<Blocks>()) {}

void* HTMLNodeArena::Blocks::allocateInNewBlock(std::size_t size, std::size_t alignment)
{
    // A new block is aligned for any node; the padding covers larger alignments.
    const std::size_t blockSize = std::max(nextBlockSize_, size + alignment);
    blocks_.push_back(std::make_unique_for_overwrite<std::byte[]>(blockSize));
    next_ = blocks_.back().get();
    left_ = blockSize;
    nextBlockSize_ = std::min(nextBlockSize_ * 2, largestBlockSize);
    return allocate(size, alignment);
}
