#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace fnd {

enum class LogLevel { Debug, Info, Warning, Error };

// Thread-safe; goes to stderr and to every live LogCapture.
void log(LogLevel level, const std::string& message);

// Collects the log lines written while it lives (tests).
class LogCapture {
public:
    LogCapture();
    ~LogCapture();
    LogCapture(const LogCapture&) = delete;
    LogCapture& operator=(const LogCapture&) = delete;
    std::vector<std::pair<LogLevel, std::string>> lines() const;
    bool contains(std::string_view text) const;
    void clear();
};

}  // namespace fnd
