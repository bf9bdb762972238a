#pragma once

#include "core/model/DataStore.h"
#include "core/model/Manager.h"
#include "platform/foundation/SystemSound.h"
#include "platform/ui/AlertController.h"
#include "platform/ui/Device.h"
#include "support/TestSupport.h"

// For the test programs of screens (they link the app model, which the
// support library does not): the state a first launch has.
namespace testsupport {

// Nothing saved (a new empty Documents folder and first-run records), an empty
// data store, a phone upright at scale 1, no alert up and no sound played.
inline void freshAppState()
{
    freshDocuments();
    Manager::resetForTesting();
    DataStore::sharedDataStore().resetForTesting();
    ui::Device::current().reset();
    ui::AlertController::dismissAll();
    fnd::SystemSound::clearPlayed();
}

}  // namespace testsupport
