#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

namespace media {

enum class PixelFormat {
    BGRA32,            // one plane, 4 bytes per pixel: blue, green, red, alpha
    NV12VideoRange,    // '420v': luma plane, then interleaved Cb Cr at half size; 16-235
    NV12FullRange,     // '420f': the same with 0-255 luma
};

// Colour tags a buffer carries to whoever encodes or converts it.
enum class ColorPrimaries { ITU_R_709_2, EBU_3213, SMPTE_C };
enum class YCbCrMatrix { ITU_R_601_4, ITU_R_709_2, SMPTE_240M_1995 };
enum class TransferFunction { ITU_R_709_2, SMPTE_240M_1995 };

struct ColorAttachments {
    std::optional<ColorPrimaries> primaries;
    std::optional<YCbCrMatrix> matrix;
    std::optional<TransferFunction> transfer;
};

bool isBiPlanar(PixelFormat format);

// Pixels in CPU memory, shared between producer and consumers through
// std::shared_ptr. The planes are readable and writable only between
// lockBaseAddress() and the matching unlockBaseAddress(): outside a lock
// baseAddress() gives nullptr. Rows are padded to 64 bytes.
class PixelBuffer {
public:
    // Sides from 1 to 16384; nullptr for anything else.
    static std::shared_ptr<PixelBuffer> create(int width, int height, PixelFormat format);

    PixelBuffer(const PixelBuffer&) = delete;
    PixelBuffer& operator=(const PixelBuffer&) = delete;

    int width() const { return width_; }
    int height() const { return height_; }
    PixelFormat pixelFormat() const { return format_; }
    int planeCount() const { return isBiPlanar(format_) ? 2 : 1; }
    int widthOfPlane(int plane) const;
    int heightOfPlane(int plane) const;
    std::size_t bytesPerRowOfPlane(int plane) const;
    std::size_t bytesPerRow() const { return bytesPerRowOfPlane(0); }

    // Locks nest; thread-safe.
    void lockBaseAddress();
    void unlockBaseAddress();
    bool isLocked() const { return lockCount_.load() > 0; }
    std::uint8_t* baseAddressOfPlane(int plane);
    const std::uint8_t* baseAddressOfPlane(int plane) const;
    std::uint8_t* baseAddress() { return baseAddressOfPlane(0); }

    const ColorAttachments& attachments() const { return attachments_; }
    void setAttachments(const ColorAttachments& attachments) { attachments_ = attachments; }

private:
    friend class PixelBufferPool;
    PixelBuffer(int width, int height, PixelFormat format);
    std::size_t planeOffset(int plane) const;

    int width_;
    int height_;
    PixelFormat format_;
    std::vector<std::uint8_t> bytes_;
    std::atomic<int> lockCount_{0};
    ColorAttachments attachments_;
};

// Hands out buffers of one size and format and takes them back when their
// last holder lets go, so a steady stream allocates nothing after its start.
// Buffers may outlive the pool (they are then freed).
class PixelBufferPool {
public:
    // maximumBufferCount 0: no limit on the buffers out at once.
    PixelBufferPool(int width, int height, PixelFormat format, std::size_t maximumBufferCount = 0);
    ~PixelBufferPool();
    PixelBufferPool(const PixelBufferPool&) = delete;
    PixelBufferPool& operator=(const PixelBufferPool&) = delete;

    // nullptr when the limit of buffers out is reached (or the size is bad).
    std::shared_ptr<PixelBuffer> createPixelBuffer();
    // Frees the idle buffers.
    void flush();
    int width() const;
    int height() const;
    PixelFormat pixelFormat() const;
    std::size_t buffersOut() const;

private:
    struct Shared;
    std::shared_ptr<Shared> shared_;
};

}  // namespace media
