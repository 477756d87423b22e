#pragma once

#include "OfflineVolumes.h"

#include <functional>
#include <memory>

// The program's one way to look at which drives are connected. Each look reads the
// mount table afresh (a few small reads), so a drive plugged in again is seen at the
// next listing, search or opening without reloading the catalog. Keep a look for the
// length of one piece of work, not longer.
namespace ConnectedDrives {

std::shared_ptr<const OfflineVolumes> now();

// For tests: every later look takes its system from here instead of the real one;
// an empty function goes back to the real one.
void setSystemForTesting(std::function<VolumeSystem()> source);

} // namespace ConnectedDrives
