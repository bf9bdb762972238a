#pragma once

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/model/MultiLog.h"
#include "logging/ScanLog.h"
#include "logging/SocketLog.h"
#include "platform/foundation/Timer.h"

// One recording of the logging screen's charts into the sink the logger
// settings chose: one CSV file for all charts ("datalog"), one CSV file per
// chart, or lines to the TCP logger. The sample-rate setting thins it: with a
// delay, each chart keeps its first value after every tick of the rate timer;
// without, every value is kept. In the single file each row holds every chart's
// latest value, so a chart that gets none (NO DATA) leaves its cell empty
// instead of holding the row back. Rows go to the files every second and are
// then forgotten, so memory stays flat however long the recording runs.
class Recording : private SocketLogDelegate {
public:
    enum class Sink { SingleFile, FilePerChart, Socket };

    // What the TCP logger tells: `closed` when its connection fails or ends,
    // `retry` when the user asks, on the failure's alert, to try again. What the
    // files tell: `writeFailed` when rows could not be written (a full disk), at
    // each such write.
    struct Events {
        std::function<void()> closed;
        std::function<void()> retry;
        std::function<void()> writeFailed;
    };
    // Chart names and units; Settings are read now.
    Recording(std::vector<std::string> names, std::vector<std::string> units, Events events);
    ~Recording() override;
    Recording(const Recording&) = delete;
    Recording& operator=(const Recording&) = delete;

    Sink sink() const { return sink_; }
    // The per-sample step: chart `graph` took `value`.
    void record(int graph, float value);
    // The rate timer's tick: the next value of each chart is kept.
    void checkTimer();
    // Writes the rows recorded so far; writeFailed is told when some could not be.
    void flush();
    struct SavedFile {
        std::filesystem::path path;
        std::string attachmentName;  // its name in the mail
    };
    struct Files {
        std::vector<SavedFile> saved;
        std::vector<std::string> unsaved;  // names of files missing or incomplete
    };
    // Ends the recording: the last rows are written, the TCP logger disconnected.
    Files finish();
    // Rows recorded but not yet written, over all files.
    std::size_t rowsInMemory() const;
    // The files that could not even be started (a read-only or full Documents
    // folder): such a recording keeps nothing, and should not be kept running.
    const std::vector<std::string>& unstartedFiles() const { return unstarted_; }
    SocketLog* socketLog() { return socketLog_.get(); }

    static constexpr double flushInterval = 1.0;

private:
    void disconnectSocket() override;
    void closeRow();

    Sink sink_;
    std::vector<std::string> names_;
    float delay_ = 0;
    bool timeStamps_ = false;
    bool formatted_ = true;
    std::vector<bool> open_;  // per chart: the gate lets its next value through
    std::vector<std::unique_ptr<ScanLog>> logArray_;
    std::unique_ptr<MultiLog> multiLog_;
    std::vector<std::optional<float>> row_;  // single file: the row being filled
    std::unique_ptr<SocketLog> socketLog_;
    std::function<void()> socketClosed_;
    std::function<void()> writeFailed_;
    std::shared_ptr<fnd::Timer> recordTimer_;
    std::shared_ptr<fnd::Timer> flushTimer_;
    std::vector<std::string> unstarted_;
    bool finished_ = false;
};
