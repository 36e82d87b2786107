// Leak accounting across the stand-ins: what is open, alive or pushed,
// process-wide. Test fixtures take a snapshot when a test starts and compare
// when it ends, so that a leak fails the test that caused it.
#pragma once
#include <string>

struct LeakCounters {
    long comObjects = 0;       // COM objects not finally released
    long comReferences = 0;    // references held on them
    long drawingObjects = 0;   // drawing objects open, in any database
    long selectionSets = 0;    // selection sets not freed, in any host
    long registryKeys = 0;     // registry keys not closed, in any registry
    long loadedModules = 0;    // modules loaded and not freed
    long resourceSources = 0;  // resource handles pushed and not popped
    long kernelHandles = 0;    // events and other kernel handles not closed
    long timers = 0;           // thread timers not killed
    long extensionModules = 0; // framework extension modules attached
    long windows = 0;          // dialog and control windows not destroyed
    long menus = 0;            // menus loaded and not destroyed

    bool operator==(const LeakCounters&) const = default;
};

LeakCounters CurrentLeakCounters();

// One line per counter that differs, "drawingObjects: 0 -> 1"; empty when none.
std::string DescribeLeaks(const LeakCounters& before, const LeakCounters& after);
