#pragma once

#include "platform/foundation/NotificationCenter.h"

// Tells the user, one alert each, what went wrong with the saved data (Manager::takeStorageProblems):
// what happened while the application started as soon as this is made, the rest as it happens.
class StorageAlerts {
public:
    StorageAlerts();

private:
    void showPending();

    fnd::NotificationCenter::Token token_;
};
