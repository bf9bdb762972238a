#pragma once

#include <filesystem>

namespace fnd {

struct Paths {
    static std::filesystem::path home();       // $NORVALE_HOME, else ~/.local/share/Norvale (created)
    static std::filesystem::path documents();  // home()/Documents (created on demand)
    static std::filesystem::path resources();  // $NORVALE_RESOURCES, else beside the program or the source tree
};

}  // namespace fnd
