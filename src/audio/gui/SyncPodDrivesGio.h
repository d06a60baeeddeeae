// The removable drives of the desktop, from GIO's volume monitor: the mounted volumes whose
// drive is removable or can be ejected, each shown as its mount point and volume label,
// followed by its folders down to 5 levels.
#pragma once
#include <memory>

#include "audio/core/SyncPod.h"

// The volume monitor's drives (an empty list when the program was built without GIO).
// Called on the interface thread.
std::unique_ptr<SyncPodDrives> SyncPodDrives_Gio();
