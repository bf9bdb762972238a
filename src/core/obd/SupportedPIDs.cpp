#include "core/obd/SupportedPIDs.h"

void SupportedPIDs::setBitmap(int basePid, std::uint32_t bitmap)
{
    if (basePid < 0 || basePid % 0x20 != 0 || basePid / 0x20 >= bitmapCount)
        return;
    bitmaps_[static_cast<std::size_t>(basePid / 0x20)] = bitmap;
    read_.set(static_cast<std::size_t>(basePid / 0x20));
}

void SupportedPIDs::clear()
{
    bitmaps_.fill(0);
    read_.reset();
}

bool SupportedPIDs::isSupported(int pid) const
{
    if (pid == 0)
        return read_.test(0);
    if (pid < 1 || pid > 0x20 * bitmapCount)
        return false;
    const int slot = (pid - 1) / 0x20;
    const int bit = 31 - (pid - 1) % 0x20;
    return read_.test(static_cast<std::size_t>(slot)) && (bitmaps_[static_cast<std::size_t>(slot)] >> bit & 1u) != 0;
}
