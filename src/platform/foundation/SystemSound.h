#pragma once

#include <vector>

namespace fnd {

// The platform's system sounds by number (1052 warning, 1005 alarm, 1103 tap,
// 1111 shift point, 1112 gauge limit), played as freedesktop sound events
// through libcanberra when it is installed, silent otherwise.
struct SystemSound {
    static void play(int id);
    static std::vector<int> played();  // every id asked for (tests)
    static void clearPlayed();
    static void setSilent(bool silent);  // tests: record only
};

}  // namespace fnd
