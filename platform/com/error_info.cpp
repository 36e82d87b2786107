// Error information objects and the per-thread error-information slot.
#include "com_object.h"
#include "oleauto.h"

namespace {

class ErrorInfoObject final : public IErrorInfo, public ICreateErrorInfo, private ComObjectBase {
public:
    ~ErrorInfoObject() override
    {
        SysFreeString(source_);
        SysFreeString(description_);
        SysFreeString(helpFile_);
    }

    HRESULT QueryInterface(REFIID riid, void** object) override
    {
        if (!object)
            return E_POINTER;
        *object = nullptr;
        if (riid == IID_IUnknown || riid == IID_IErrorInfo)
            return ComAnswer<IErrorInfo>(this, object);
        if (riid == IID_ICreateErrorInfo)
            return ComAnswer<ICreateErrorInfo>(this, object);
        return E_NOINTERFACE;
    }
    ULONG AddRef() override { return AddRefImpl(); }
    ULONG Release() override { return ReleaseImpl(); }

    HRESULT GetGUID(GUID* guid) override
    {
        if (!guid)
            return E_INVALIDARG;
        *guid = guid_;
        return S_OK;
    }
    HRESULT GetSource(BSTR* source) override { return CopyOut(source_, source); }
    HRESULT GetDescription(BSTR* description) override { return CopyOut(description_, description); }
    HRESULT GetHelpFile(BSTR* helpFile) override { return CopyOut(helpFile_, helpFile); }
    HRESULT GetHelpContext(DWORD* helpContext) override
    {
        if (!helpContext)
            return E_INVALIDARG;
        *helpContext = helpContext_;
        return S_OK;
    }

    HRESULT SetGUID(REFGUID guid) override
    {
        guid_ = guid;
        return S_OK;
    }
    HRESULT SetSource(LPOLESTR source) override { return Replace(source_, source); }
    HRESULT SetDescription(LPOLESTR description) override { return Replace(description_, description); }
    HRESULT SetHelpFile(LPOLESTR helpFile) override { return Replace(helpFile_, helpFile); }
    HRESULT SetHelpContext(DWORD helpContext) override
    {
        helpContext_ = helpContext;
        return S_OK;
    }

private:
    static HRESULT CopyOut(BSTR held, BSTR* out)
    {
        if (!out)
            return E_INVALIDARG;
        *out = held ? SysAllocStringLen(held, SysStringLen(held)) : nullptr;
        return held && !*out ? E_OUTOFMEMORY : S_OK;
    }
    static HRESULT Replace(BSTR& held, LPOLESTR text)
    {
        BSTR copy = SysAllocString(text);
        if (text && !copy)
            return E_OUTOFMEMORY;
        SysFreeString(held);
        held = copy;
        return S_OK;
    }

    GUID guid_ = GUID_NULL;
    BSTR source_ = nullptr;
    BSTR description_ = nullptr;
    BSTR helpFile_ = nullptr;
    DWORD helpContext_ = 0;
};

// The thread's error-information slot; what is left in it is released when
// the thread ends, as COM does at CoUninitialize.
struct ErrorInfoSlot {
    IErrorInfo* info = nullptr;
    ~ErrorInfoSlot()
    {
        if (info)
            info->Release();
    }
};
thread_local ErrorInfoSlot t_errorInfo;

} // namespace

HRESULT CreateErrorInfo(ICreateErrorInfo** errorInfo)
{
    if (!errorInfo)
        return E_INVALIDARG;
    auto* object = new ErrorInfoObject;
    *errorInfo = object; // the creator's reference
    return S_OK;
}

HRESULT SetErrorInfo(ULONG, IErrorInfo* errorInfo)
{
    if (errorInfo)
        errorInfo->AddRef();
    if (t_errorInfo.info)
        t_errorInfo.info->Release();
    t_errorInfo.info = errorInfo;
    return S_OK;
}

HRESULT GetErrorInfo(ULONG, IErrorInfo** errorInfo)
{
    if (!errorInfo)
        return E_INVALIDARG;
    // Hands the reference over and empties the slot, as on Windows.
    *errorInfo = t_errorInfo.info;
    t_errorInfo.info = nullptr;
    return *errorInfo ? S_OK : S_FALSE;
}
