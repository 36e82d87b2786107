// The IUnknown and IDispatch plumbing of the event sinks tests advise on the
// spreadsheet stand-in: a sink answers IUnknown, IDispatch and (unless told
// otherwise) the program's AppEvents, counts as a live COM object, and sees
// each event in OnInvoke.
#pragma once
#include "com_object.h"

#include <excel.tlh>
#include <oaidl.h>

class TestEventSink : public IDispatch, private ComObjectBase {
public:
    explicit TestEventSink(bool answersAppEvents = true) : answersAppEvents_(answersAppEvents) {}

    HRESULT QueryInterface(REFIID riid, void** object) override
    {
        *object = nullptr;
        if (riid == IID_IUnknown || riid == IID_IDispatch ||
            (answersAppEvents_ && riid == __uuidof(Excel::AppEvents)))
            return ComAnswer<IDispatch>(this, object);
        return E_NOINTERFACE;
    }
    ULONG AddRef() override { return AddRefImpl(); }
    ULONG Release() override { return ReleaseImpl(); }
    HRESULT GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
    HRESULT GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    HRESULT Invoke(DISPID member, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*, EXCEPINFO*, UINT*) override
    {
        return OnInvoke(member, params);
    }

protected:
    ~TestEventSink() override = default;
    virtual HRESULT OnInvoke(DISPID member, DISPPARAMS* params) = 0;

private:
    bool answersAppEvents_;
};
