#include "leak_counters.h"

#include "leak_tally.h"

#include "afxwin.h"
#include "com_object.h"
#include "loader.h"
#include "synch.h"
#include "timers.h"

#include <atomic>
#include <mutex>
#include <vector>

namespace {

constexpr int kTallies = static_cast<int>(Tally::Count);

// Each thread counts in tallies of its own: every drawing object open and
// every COM reference passes here, and even a relaxed fetch_add is a locked
// instruction on x86. A thread's own counters are written by that thread
// only (a plain load and store, no lock) and read by CurrentLeakCounters,
// which runs on the thread that made the calls or after joining the threads
// that did; the join makes their last stores visible.
struct ThreadTallies {
    std::atomic<long> counts[kTallies] = {};
};

struct TallyRegistry {
    std::mutex lock;
    std::vector<ThreadTallies*> live;
    // What ended threads counted, and what a thread counts after its own
    // tallies have ended (another thread-local object's destructor, such as
    // a COM apartment's, may release references after them).
    std::atomic<long> retired[kTallies] = {};
};

TallyRegistry& Registry()
{
    static TallyRegistry* registry = new TallyRegistry; // never freed: threads may end after static destruction
    return *registry;
}

enum class TallyState : unsigned char { New, Counting, Ended };

// Initial-exec: the library is loaded with the program (never first by
// dlopen), so its thread data sits at a fixed offset and needs no lookup call.
// Both are trivially destructible, so they stay readable to the thread's
// last destructors.
__attribute__((tls_model("initial-exec"))) thread_local ThreadTallies t_tallies;
__attribute__((tls_model("initial-exec"))) thread_local TallyState t_state = TallyState::New;

// At the thread's end, moves its counts to the registry's retired sums.
struct TallyRetirement {
    ~TallyRetirement()
    {
        TallyRegistry& registry = Registry();
        std::lock_guard<std::mutex> hold(registry.lock);
        for (int i = 0; i < kTallies; ++i)
            registry.retired[i].fetch_add(t_tallies.counts[i].load(std::memory_order_relaxed),
                                          std::memory_order_relaxed);
        std::erase(registry.live, &t_tallies);
        t_state = TallyState::Ended;
    }
};
thread_local TallyRetirement t_retirement;

void Enrol()
{
    (void)&t_retirement; // its first use arranges its destructor for the thread's end
    std::lock_guard<std::mutex> hold(Registry().lock);
    Registry().live.push_back(&t_tallies);
    t_state = TallyState::Counting;
}

} // namespace

void AddToTally(Tally tally, long delta)
{
    const int i = static_cast<int>(tally);
    if (t_state == TallyState::New)
        Enrol();
    if (t_state == TallyState::Ended) {
        Registry().retired[i].fetch_add(delta, std::memory_order_relaxed);
        return;
    }
    std::atomic<long>& count = t_tallies.counts[i];
    count.store(count.load(std::memory_order_relaxed) + delta, std::memory_order_relaxed);
}

long TallyOf(Tally tally)
{
    const int i = static_cast<int>(tally);
    TallyRegistry& registry = Registry();
    std::lock_guard<std::mutex> hold(registry.lock);
    long sum = registry.retired[i].load(std::memory_order_relaxed);
    for (const ThreadTallies* tallies : registry.live)
        sum += tallies->counts[i].load(std::memory_order_relaxed);
    return sum;
}

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
