#pragma once

#include <memory>

#include "core/link/ELMScanner.h"

// The link for an adapter type that has no transport on this system: connecting fails with a message
// (and "connectionDroppedNotification"), as a failed connection does, instead of waiting forever.
class UnavailableScan : public ELMScanner {
public:
    explicit UnavailableScan(int deviceMode) : deviceMode_(deviceMode) {}

    int deviceMode() const { return deviceMode_; }

private:
    void openTransport() override;
    void closeTransport() override {}
    bool writeToTransport(std::string_view) override { return false; }

    int deviceMode_;
    std::shared_ptr<int> alive_ = std::make_shared<int>(0);  // the posted failure checks we still exist
};
