#include "html/HTMLNodeArena.h"

#include <algorithm>

namespace {

constexpr std::size_t largestBlockSize = 16 * 1024;

} // namespace

HTMLNodeArena::HTMLNodeArena() : blocks_(std::make_unique<Blocks>().release()) {}

HTMLNodeArena::~HTMLNodeArena()
{
    blocks_->close();
}

void HTMLNodeArena::Blocks::addBlock(std::size_t size)
{
    const std::size_t blockSize = std::max(nextBlockSize_, size);
    blocks_.push_back(std::make_unique_for_overwrite<std::byte[]>(blockSize));
    next_ = blocks_.back().get();
    left_ = blockSize;
    nextBlockSize_ = std::min(nextBlockSize_ * 2, largestBlockSize);
}

void HTMLNodeArena::Blocks::deallocate() noexcept
{
    if (balance_.fetch_sub(1, std::memory_order_acq_rel) == 1)
        end();
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
