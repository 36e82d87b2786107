// What gwhost frees when it ends. A drawing of a million references and its
// workbooks are tens of millions of small blocks: freeing them one by one at
// exit costs seconds and gives the system nothing it would not take back
// anyway. So a session's data is kept (reachable from here) instead, except
// in the sanitizer builds, whose leak check is the reason to tear everything
// down. The tests make and free their own contexts, so their leak counters
// see every object either way.
#pragma once
#include <memory>
#include <vector>

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#define GW_TEARDOWN_AT_EXIT 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer)
#define GW_TEARDOWN_AT_EXIT 1
#endif
#endif

// Frees `owned` now in a sanitizer build; else keeps it until the process ends.
template <class T>
void EndAtExit(std::unique_ptr<T>& owned)
{
#ifdef GW_TEARDOWN_AT_EXIT
    owned.reset();
#else
    // Kept reachable, so that no leak checker counts it as lost.
    static std::vector<std::shared_ptr<void>> kept;
    kept.emplace_back(owned.release(), [](void*) {});
#endif
}
