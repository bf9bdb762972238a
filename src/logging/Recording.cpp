#include "logging/Recording.h"

#include <algorithm>
#include <cmath>
#include <map>

#include "core/model/CsvText.h"
#include "core/model/Manager.h"
#include "platform/foundation/Date.h"
#include "platform/foundation/DateFormatter.h"
#include "platform/foundation/Strings.h"

Recording::Recording(std::vector<std::string> names, std::vector<std::string> units, Events events)
    : names_(std::move(names)), socketClosed_(std::move(events.closed)), writeFailed_(std::move(events.writeFailed))
{
    const Settings& settings = Manager::sharedManager().setting();
    timeStamps_ = settings.loggerTimeStamp;
    formatted_ = settings.formattedLoggerData;
    const std::size_t count = names_.size();
    open_.assign(count, true);
    if (settings.loggerInterface == 1) {
        sink_ = Sink::Socket;
        socketLog_ = std::make_unique<SocketLog>();
        socketLog_->setDelegate(this);
        socketLog_->setRetryHandler(std::move(events.retry));
        socketLog_->connect();
        return;
    }
    delay_ = std::isfinite(settings.loggerDelay) ? std::max(0.0f, settings.loggerDelay) : 0.0f;
    if (settings.logFormat == 1) {
        sink_ = Sink::FilePerChart;
        std::map<std::string, int> seen;
        for (std::size_t g = 0; g < count; ++g) {
            // A sensor charted twice gets a second file, "<name> 2.csv", rather than sharing one.
            const int copy = ++seen[safeFileName(names_[g])];
            const std::string fileName = copy == 1 ? names_[g] : fnd::format("%s %d", names_[g], copy);
            logArray_.push_back(
                std::make_unique<ScanLog>(names_[g], g < units.size() ? units[g] : std::string(), fileName));
        }
    } else {
        sink_ = Sink::SingleFile;
        multiLog_ = std::make_unique<MultiLog>(names_, units, "datalog", timeStamps_);
        row_.assign(count, std::nullopt);
    }
    if (delay_ > 0)
        recordTimer_ = fnd::Timer::scheduled(delay_, true, [this](fnd::Timer&) { checkTimer(); });
    flushTimer_ = fnd::Timer::scheduled(flushInterval, true, [this](fnd::Timer&) { flush(); });
    // Each file starts now, so a folder that takes nothing is known before anything is recorded.
    for (const auto& log : logArray_)
        if (!log->appendNewRows(timeStamps_))
            unstarted_.push_back(log->filePath().filename().string());
    if (multiLog_ && !multiLog_->appendNewRows(0))
        unstarted_.push_back(multiLog_->filePath().filename().string());
}

Recording::~Recording()
{
    if (recordTimer_)
        recordTimer_->invalidate();
    if (flushTimer_)
        flushTimer_->invalidate();
    if (socketLog_)
        socketLog_->setDelegate(nullptr);
}

void Recording::checkTimer()
{
    if (sink_ == Sink::SingleFile)
        closeRow();
    std::fill(open_.begin(), open_.end(), true);
}

void Recording::closeRow()
{
    if (std::none_of(row_.begin(), row_.end(), [](const auto& v) { return v.has_value(); }))
        return;
    auto& columns = multiLog_->sensorValArray();
    for (std::size_t g = 0; g < row_.size(); ++g)
        columns[g].push_back(row_[g] ? ScanLog::valueText(*row_[g]) : std::string());
    if (timeStamps_)
        multiLog_->addTimeStamp();
    std::fill(row_.begin(), row_.end(), std::nullopt);
}

void Recording::record(int graph, float value)
{
    if (finished_ || graph < 0 || static_cast<std::size_t>(graph) >= names_.size())
        return;
    const auto g = static_cast<std::size_t>(graph);
    switch (sink_) {
    case Sink::Socket: {
        std::string line;
        if (timeStamps_)
            line = fnd::DateFormatter("HH:mm:ss").stringFromDate(fnd::Date::now()) + ": ";
        if (formatted_)
            line += fnd::format("%s %d", names_[g], static_cast<int>(value));
        else
            line += fnd::format("%d", static_cast<int>(value));
        socketLog_->sendData(line);
        return;
    }
    case Sink::FilePerChart:
        if (!open_[g])
            return;
        logArray_[g]->addValue(value);
        if (timeStamps_)
            logArray_[g]->addTimeStamp();
        break;
    case Sink::SingleFile:
        if (!open_[g])
            return;
        // Without a rate, a chart's second value starts the next row.
        if (delay_ <= 0 && row_[g])
            closeRow();
        row_[g] = value;
        break;
    }
    if (delay_ > 0)
        open_[g] = false;
}

void Recording::flush()
{
    bool written = true;
    for (const auto& log : logArray_)
        written = log->appendNewRows(timeStamps_) && written;
    if (multiLog_)
        written = multiLog_->appendNewRows(multiLog_->pendingRows()) && written;
    if (!written && writeFailed_)
        writeFailed_();
}

std::size_t Recording::rowsInMemory() const
{
    std::size_t rows = multiLog_ ? multiLog_->pendingRows() : 0;
    for (const auto& log : logArray_)
        rows += log->pendingRows();
    return rows;
}

Recording::Files Recording::finish()
{
    Files files;
    if (finished_)
        return files;
    finished_ = true;
    if (recordTimer_)
        recordTimer_->invalidate();
    if (flushTimer_)
        flushTimer_->invalidate();
    const auto sort = [&files](bool saved, const std::filesystem::path& path, std::string attachmentName) {
        if (saved)
            files.saved.push_back({path, std::move(attachmentName)});
        else
            files.unsaved.push_back(path.filename().string());
    };
    if (multiLog_) {
        closeRow();
        const std::string date = fnd::DateFormatter("MMM d, yyyy-HH:mm a").stringFromDate(fnd::Date::now());
        sort(multiLog_->saveToFile(), multiLog_->filePath(), safeFileName(date) + ".csv");
    }
    for (const auto& log : logArray_)
        sort(log->saveToFile(), log->filePath(), safeFileName(log->sensorName()) + ".csv");
    if (socketLog_) {
        socketLog_->setDelegate(nullptr);
        socketLog_->disconnect();
    }
    return files;
}

void Recording::disconnectSocket()
{
    if (socketClosed_)
        socketClosed_();
}
