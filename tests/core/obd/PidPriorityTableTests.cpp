#include <gtest/gtest.h>

#include <set>

#include "core/obd/PidPriorityTable.h"

namespace {

// The priorities as the polling design lists them, written out independently
// of the table's layout.
int expectedPriority(int pid)
{
    static const std::set<int> fast = {0x04, 0x0B, 0x0C, 0x0D, 0x0E, 0x10, 0x11, 0x24, 0x25, 0x26, 0x27, 0x28,
                                       0x29, 0x2A, 0x2B, 0x34, 0x35, 0x36, 0x37, 0x38, 0x39, 0x3A, 0x3B};
    static const std::set<int> slow = {0x05, 0x0F, 0x2F, 0x33};
    if (fast.contains(pid))
        return 1;
    if (slow.contains(pid))
        return 3;
    return 2;
}

TEST(PidPriorityTable, HoldsFiftySixEntriesFromPid4)
{
    EXPECT_EQ(PidPriorityTable.size(), 56u);
    for (int pid = 0x04; pid <= 0x3B; ++pid)
        EXPECT_EQ(PidPriorityTable[static_cast<std::size_t>(pid - 4)], expectedPriority(pid)) << "PID " << pid;
}

TEST(PidPriorityTable, LookupCoversEveryPidAndIsNormalOutsideTheTable)
{
    for (int pid = -2; pid <= 0x100; ++pid)
        EXPECT_EQ(pidPriority(pid), expectedPriority(pid)) << "PID " << pid;
}

}  // namespace
