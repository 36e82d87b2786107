// Reference counting and live-object accounting shared by every COM object
// the stand-ins hand out. Each object counts once from construction to its
// final Release, so a test that ends with ComLiveObjectCount() == 0 has
// released every interface it was given.
#pragma once
#include "unknwn.h"

#include <atomic>

class ComObjectBase {
public:
    ComObjectBase(const ComObjectBase&) = delete;
    ComObjectBase& operator=(const ComObjectBase&) = delete;

protected:
    ComObjectBase(); // the creator holds the first reference
    virtual ~ComObjectBase();
    ULONG AddRefImpl();
    ULONG ReleaseImpl(); // deletes the object at zero

private:
    std::atomic<ULONG> refs_{1};
};

// Number of stand-in COM objects not yet finally released, process-wide.
LONG ComLiveObjectCount();

// QueryInterface helper: hands out `self` for the given ids, E_NOINTERFACE otherwise.
template <class Interface>
HRESULT ComAnswer(Interface* self, void** object)
{
    self->AddRef();
    *object = self;
    return S_OK;
}
