#include "core/obd/PidPriorityTable.h"

int pidPriority(int pid)
{
    if (pid < firstPrioritisedPid || pid > lastPrioritisedPid)
        return 2;
    return PidPriorityTable[static_cast<std::size_t>(pid - firstPrioritisedPid)];
}
