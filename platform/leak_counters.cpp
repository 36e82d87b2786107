#include "leak_counters.h"

#include "leak_tally.h"

#include "afxwin.h"
#include "com_object.h"
#include "loader.h"
#include "synch.h"
#include "timers.h"

#include <atomic>

namespace {

std::atomic<long> g_tallies[static_cast<int>(Tally::Count)];

} // namespace

// Relaxed: a tally orders nothing else. Its one reader, CurrentLeakCounters,
// runs on the thread that made the counted calls or after joining the
// threads that did, and the join already makes their counts visible.
void AddToTally(Tally tally, long delta)
{
    g_tallies[static_cast<int>(tally)].fetch_add(delta, std::memory_order_relaxed);
}

long TallyOf(Tally tally) { return g_tallies[static_cast<int>(tally)].load(std::memory_order_relaxed); }

LeakCounters CurrentLeakCounters()
{
    return {
        .comObjects = ComLiveObjectCount(),
        .comReferences = TallyOf(Tally::ComReferences),
        .drawingObjects = TallyOf(Tally::DrawingObjects),
        .selectionSets = TallyOf(Tally::SelectionSets),
        .registryKeys = TallyOf(Tally::RegistryKeys),
        .loadedModules = LoaderOpenModuleCount(),
        .resourceSources = TallyOf(Tally::ResourceSources),
        .kernelHandles = OpenKernelHandleCount(),
        .timers = ActiveTimerCount(),
        .extensionModules = AttachedExtensionModuleCount(),
        .windows = TallyOf(Tally::Windows),
        .menus = TallyOf(Tally::Menus),
    };
}

std::string DescribeLeaks(const LeakCounters& before, const LeakCounters& after)
{
    std::string text;
    auto compare = [&](const char* name, long LeakCounters::*counter) {
        if (before.*counter != after.*counter)
            text += std::string(name) + ": " + std::to_string(before.*counter) + " -> " +
                    std::to_string(after.*counter) + "\n";
    };
    compare("COM objects", &LeakCounters::comObjects);
    compare("COM references", &LeakCounters::comReferences);
    compare("open drawing objects", &LeakCounters::drawingObjects);
    compare("selection sets", &LeakCounters::selectionSets);
    compare("registry keys", &LeakCounters::registryKeys);
    compare("loaded modules", &LeakCounters::loadedModules);
    compare("pushed resource sources", &LeakCounters::resourceSources);
    compare("kernel handles", &LeakCounters::kernelHandles);
    compare("thread timers", &LeakCounters::timers);
    compare("extension modules", &LeakCounters::extensionModules);
    compare("windows", &LeakCounters::windows);
    compare("menus", &LeakCounters::menus);
    return text;
}
