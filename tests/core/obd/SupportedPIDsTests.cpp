#include <set>

#include <gtest/gtest.h>

#include "core/obd/SupportedPIDs.h"

namespace {

TEST(SupportedPIDs, NothingIsSupportedBeforeAScan)
{
    const SupportedPIDs pids;
    for (int pid = 0; pid <= 0x100; ++pid)
        EXPECT_FALSE(pids.isSupported(pid)) << pid;
}

TEST(SupportedPIDs, BitmapsAnswerPerPid)
{
    // A typical petrol car: 01 03-07 0C-11 13 15 1C 1F 20, then 21 2F 33 3C 40 from 0120.
    SupportedPIDs pids;
    pids.setBitmap(0x00, 0xBE1FA813);
    pids.setBitmap(0x20, 0x80022011);
    const std::set<int> supported = {0x00, 0x01, 0x03, 0x04, 0x05, 0x06, 0x07, 0x0C, 0x0D, 0x0E, 0x0F, 0x10, 0x11,
                                     0x13, 0x15, 0x1C, 0x1F, 0x20, 0x21, 0x2F, 0x33, 0x3C, 0x40};
    for (int pid = 0; pid <= 0x100; ++pid)
        EXPECT_EQ(pids.isSupported(pid), supported.count(pid) == 1) << std::hex << pid;
}

TEST(SupportedPIDs, BadBasesAreIgnoredAndClearingForgets)
{
    SupportedPIDs pids;
    pids.setBitmap(0x10, 0xFFFFFFFF);
    pids.setBitmap(0x100, 0xFFFFFFFF);
    pids.setBitmap(-0x20, 0xFFFFFFFF);
    EXPECT_FALSE(pids.isSupported(0x11));
    EXPECT_EQ(pids, SupportedPIDs{});
    pids.setBitmap(0xE0, 0x00000001);
    EXPECT_TRUE(pids.isSupported(0x100));
    EXPECT_FALSE(pids.isSupported(0x101));
    pids.clear();
    EXPECT_FALSE(pids.isSupported(0x100));
}

}  // namespace
