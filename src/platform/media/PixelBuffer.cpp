#include "platform/media/PixelBuffer.h"

#include <mutex>

namespace media {

namespace {

constexpr int maximumSide = 16384;
constexpr std::size_t rowAlignment = 64;

bool validSize(int width, int height)
{
    return width >= 1 && height >= 1 && width <= maximumSide && height <= maximumSide;
}

std::size_t aligned(std::size_t bytes) { return (bytes + rowAlignment - 1) / rowAlignment * rowAlignment; }

}  // namespace

bool isBiPlanar(PixelFormat format) { return format != PixelFormat::BGRA32; }

std::shared_ptr<PixelBuffer> PixelBuffer::create(int width, int height, PixelFormat format)
{
    if (!validSize(width, height))
        return nullptr;
    return std::shared_ptr<PixelBuffer>(new PixelBuffer(width, height, format));
}

PixelBuffer::PixelBuffer(int width, int height, PixelFormat format)
    : width_(width), height_(height), format_(format)
{
    std::size_t total = 0;
    for (int p = 0; p < planeCount(); ++p)
        total += bytesPerRowOfPlane(p) * static_cast<std::size_t>(heightOfPlane(p));
    bytes_.assign(total, 0);
}

int PixelBuffer::widthOfPlane(int plane) const
{
    if (plane < 0 || plane >= planeCount())
        return 0;
    return plane == 0 ? width_ : (width_ + 1) / 2;
}

int PixelBuffer::heightOfPlane(int plane) const
{
    if (plane < 0 || plane >= planeCount())
        return 0;
    return plane == 0 ? height_ : (height_ + 1) / 2;
}

std::size_t PixelBuffer::bytesPerRowOfPlane(int plane) const
{
    if (plane < 0 || plane >= planeCount())
        return 0;
    if (format_ == PixelFormat::BGRA32)
        return aligned(static_cast<std::size_t>(width_) * 4);
    // Luma: one byte per pixel; chroma: a Cb Cr pair per two pixels.
    return aligned(plane == 0 ? static_cast<std::size_t>(width_) : static_cast<std::size_t>(widthOfPlane(1)) * 2);
}

std::size_t PixelBuffer::planeOffset(int plane) const
{
    return plane == 0 ? 0 : bytesPerRowOfPlane(0) * static_cast<std::size_t>(height_);
}

void PixelBuffer::lockBaseAddress() { lockCount_.fetch_add(1); }

void PixelBuffer::unlockBaseAddress()
{
    int count = lockCount_.load();
    while (count > 0 && !lockCount_.compare_exchange_weak(count, count - 1)) {
    }
}

std::uint8_t* PixelBuffer::baseAddressOfPlane(int plane)
{
    if (!isLocked() || plane < 0 || plane >= planeCount())
        return nullptr;
    return bytes_.data() + planeOffset(plane);
}

const std::uint8_t* PixelBuffer::baseAddressOfPlane(int plane) const
{
    return const_cast<PixelBuffer*>(this)->baseAddressOfPlane(plane);
}

struct PixelBufferPool::Shared {
    int width;
    int height;
    PixelFormat format;
    std::size_t maximum;
    mutable std::mutex mutex;
    std::vector<std::unique_ptr<PixelBuffer>> idle;
    std::size_t out = 0;
    bool alive = true;
};

PixelBufferPool::PixelBufferPool(int width, int height, PixelFormat format, std::size_t maximumBufferCount)
    : shared_(std::make_shared<Shared>())
{
    shared_->width = width;
    shared_->height = height;
    shared_->format = format;
    shared_->maximum = maximumBufferCount;
}

PixelBufferPool::~PixelBufferPool()
{
    const std::lock_guard lock(shared_->mutex);
    shared_->alive = false;
    shared_->idle.clear();
}

std::shared_ptr<PixelBuffer> PixelBufferPool::createPixelBuffer()
{
    std::unique_ptr<PixelBuffer> buffer;
    {
        const std::lock_guard lock(shared_->mutex);
        if (shared_->maximum != 0 && shared_->out >= shared_->maximum)
            return nullptr;
        if (!shared_->idle.empty()) {
            buffer = std::move(shared_->idle.back());
            shared_->idle.pop_back();
        }
    }
    if (!buffer) {
        if (!validSize(shared_->width, shared_->height))
            return nullptr;
        buffer.reset(new PixelBuffer(shared_->width, shared_->height, shared_->format));
    }
    buffer->lockCount_ = 0;
    buffer->attachments_ = {};
    {
        const std::lock_guard lock(shared_->mutex);
        ++shared_->out;
    }
    // The deleter gives the buffer back while the pool lives.
    return std::shared_ptr<PixelBuffer>(buffer.release(), [shared = shared_](PixelBuffer* b) {
        std::unique_ptr<PixelBuffer> owned(b);
        const std::lock_guard lock(shared->mutex);
        --shared->out;
        if (shared->alive)
            shared->idle.push_back(std::move(owned));
    });
}

void PixelBufferPool::flush()
{
    const std::lock_guard lock(shared_->mutex);
    shared_->idle.clear();
}

int PixelBufferPool::width() const { return shared_->width; }
int PixelBufferPool::height() const { return shared_->height; }
PixelFormat PixelBufferPool::pixelFormat() const { return shared_->format; }

std::size_t PixelBufferPool::buffersOut() const
{
    const std::lock_guard lock(shared_->mutex);
    return shared_->out;
}

}  // namespace media
