#include "com_object.h"

#include "leak_tally.h"

namespace {
std::atomic<LONG> g_liveObjects{0}; // process-wide, as leak accounting must see every apartment
}

ComObjectBase::ComObjectBase()
{
    g_liveObjects.fetch_add(1);
    AddToTally(Tally::ComReferences, 1);
}
ComObjectBase::~ComObjectBase() { g_liveObjects.fetch_sub(1); }

ULONG ComObjectBase::AddRefImpl()
{
    AddToTally(Tally::ComReferences, 1);
    return refs_.fetch_add(1) + 1;
}

ULONG ComObjectBase::ReleaseImpl()
{
    AddToTally(Tally::ComReferences, -1);
    ULONG left = refs_.fetch_sub(1) - 1;
    if (left == 0)
        delete this;
    return left;
}

LONG ComLiveObjectCount() { return g_liveObjects.load(); }
