// Stand-in for ole2.h: OleRun, which puts a local server's object into its
// running state (the object's IRunnableObject when it has one).
#pragma once
#include "objbase.h"

struct IRunnableObject : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE Run(void* bindContext) = 0;

protected:
    ~IRunnableObject() = default;
};
GW_INTERFACE_ID(IRunnableObject, 0x00000126, 0x0000, 0x0000, 0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46);

HRESULT OleRun(IUnknown* object);
