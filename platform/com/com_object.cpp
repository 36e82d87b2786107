#include "com_object.h"

namespace {
std::atomic<LONG> g_liveObjects{0}; // process-wide, as leak accounting must see every apartment
}

ComObjectBase::ComObjectBase() { g_liveObjects.fetch_add(1); }
ComObjectBase::~ComObjectBase() { g_liveObjects.fetch_sub(1); }

ULONG ComObjectBase::AddRefImpl() { return refs_.fetch_add(1) + 1; }

ULONG ComObjectBase::ReleaseImpl()
{
    ULONG left = refs_.fetch_sub(1) - 1;
    if (left == 0)
        delete this;
    return left;
}

LONG ComLiveObjectCount() { return g_liveObjects.load(); }
