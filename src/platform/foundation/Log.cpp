#include "platform/foundation/Log.h"

#include <algorithm>
#include <cstdio>
#include <mutex>

namespace fnd {

namespace {

struct Sink {
    std::mutex mutex;
    std::vector<LogCapture*> captures;
    std::vector<std::pair<LogCapture*, std::pair<LogLevel, std::string>>> lines;
};

Sink& sink()
{
    static Sink instance;
    return instance;
}

const char* levelName(LogLevel level)
{
    switch (level) {
    case LogLevel::Debug: return "debug";
    case LogLevel::Info: return "info";
    case LogLevel::Warning: return "warning";
    case LogLevel::Error: return "error";
    }
    return "?";
}

}  // namespace

void log(LogLevel level, const std::string& message)
{
    auto& s = sink();
    const std::lock_guard lock(s.mutex);
    std::fprintf(stderr, "norvale %s: %s\n", levelName(level), message.c_str());
    for (auto* capture : s.captures)
        s.lines.push_back({capture, {level, message}});
}

LogCapture::LogCapture()
{
    auto& s = sink();
    const std::lock_guard lock(s.mutex);
    s.captures.push_back(this);
}

LogCapture::~LogCapture()
{
    clear();
    auto& s = sink();
    const std::lock_guard lock(s.mutex);
    std::erase(s.captures, this);
}

std::vector<std::pair<LogLevel, std::string>> LogCapture::lines() const
{
    auto& s = sink();
    const std::lock_guard lock(s.mutex);
    std::vector<std::pair<LogLevel, std::string>> result;
    for (const auto& [capture, line] : s.lines)
        if (capture == this)
            result.push_back(line);
    return result;
}

bool LogCapture::contains(std::string_view text) const
{
    const auto all = lines();
    return std::any_of(all.begin(), all.end(),
                       [&](const auto& line) { return line.second.find(text) != std::string::npos; });
}

void LogCapture::clear()
{
    auto& s = sink();
    const std::lock_guard lock(s.mutex);
    std::erase_if(s.lines, [this](const auto& entry) { return entry.first == this; });
}

}  // namespace fnd
