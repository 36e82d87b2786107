// Stand-in for comip.h: the _com_ptr_t smart pointer. It owns one reference,
// converts between interfaces with QueryInterface, and throws _com_error
// (E_POINTER) when called through while empty, so a call on a missing object
// fails before anything reaches the server.
#pragma once
#include "comutil.h"
#include "winnls.h"
#include "errhandlingapi.h"
#include "ole2.h"

#include <string>
#include <type_traits>
#include <utility>

template <class Interface>
class _com_ptr_t {
public:
    using ThisInterface = Interface;

    _com_ptr_t() noexcept = default;
    _com_ptr_t(std::nullptr_t) noexcept {}
    _com_ptr_t(Interface* p) noexcept : p_(p)
    {
        if (p_)
            p_->AddRef();
    }
    _com_ptr_t(Interface* p, bool addRef) noexcept : p_(p)
    {
        if (p_ && addRef)
            p_->AddRef();
    }
    _com_ptr_t(const _com_ptr_t& other) noexcept : _com_ptr_t(other.p_) {}
    _com_ptr_t(_com_ptr_t&& other) noexcept : p_(std::exchange(other.p_, nullptr)) {}
    // From another interface: asks the object for this one (empty when it has none).
    template <class Other, class = std::enable_if_t<!std::is_same_v<Other, Interface>>>
    _com_ptr_t(const _com_ptr_t<Other>& other) noexcept
    {
        QueryFrom(other.GetInterfacePtr());
    }
    template <class Other, class = std::enable_if_t<!std::is_same_v<Other, Interface> &&
                                                    std::is_base_of_v<IUnknown, Other>>>
    _com_ptr_t(Other* other) noexcept
    {
        QueryFrom(other);
    }
    // From a variant holding an object: asks it for this interface.
    _com_ptr_t(const _variant_t& value) { QueryFromVariant(value); }
    ~_com_ptr_t() { Reset(); }

    _com_ptr_t& operator=(const _com_ptr_t& other) noexcept
    {
        if (this != &other)
            _com_ptr_t(other).Swap(*this);
        return *this;
    }
    _com_ptr_t& operator=(_com_ptr_t&& other) noexcept
    {
        _com_ptr_t(std::move(other)).Swap(*this);
        return *this;
    }
    _com_ptr_t& operator=(Interface* p) noexcept
    {
        _com_ptr_t(p).Swap(*this);
        return *this;
    }
    _com_ptr_t& operator=(std::nullptr_t) noexcept
    {
        Reset();
        return *this;
    }
    _com_ptr_t& operator=(const _variant_t& value)
    {
        _com_ptr_t(value).Swap(*this);
        return *this;
    }
    template <class Other, class = std::enable_if_t<!std::is_same_v<Other, Interface>>>
    _com_ptr_t& operator=(const _com_ptr_t<Other>& other) noexcept
    {
        _com_ptr_t(other).Swap(*this);
        return *this;
    }

    void Attach(Interface* p) noexcept
    {
        Reset();
        p_ = p;
    }
    void Attach(Interface* p, bool addRef) noexcept
    {
        Reset();
        p_ = p;
        if (p_ && addRef)
            p_->AddRef();
    }
    Interface* Detach() noexcept { return std::exchange(p_, nullptr); }
    // As the real one: releasing an empty pointer is E_POINTER.
    void Release()
    {
        if (!p_)
            _com_issue_error(E_POINTER);
        Reset();
    }
    void AddRef()
    {
        if (!p_)
            _com_issue_error(E_POINTER);
        p_->AddRef();
    }

    Interface* GetInterfacePtr() const noexcept { return p_; }
    operator Interface*() const noexcept { return p_; }
    Interface& operator*() const
    {
        if (!p_)
            _com_issue_error(E_POINTER);
        return *p_;
    }
    Interface* operator->() const
    {
        if (!p_)
            _com_issue_error(E_POINTER);
        return p_;
    }
    // Releases what is held and hands out the slot for an out parameter.
    Interface** operator&() noexcept
    {
        Reset();
        return &p_;
    }
    explicit operator bool() const noexcept { return p_ != nullptr; }
    bool operator!() const noexcept { return p_ == nullptr; }
    bool operator==(std::nullptr_t) const noexcept { return p_ == nullptr; }
    bool operator==(Interface* p) const noexcept { return p_ == p; }

    // A local or remote server's object is created as IUnknown, put into
    // its running state, and then asked for this interface.
    HRESULT CreateInstance(REFCLSID clsid, IUnknown* outer = nullptr, DWORD clsContext = CLSCTX_ALL) noexcept
    {
        Reset();
        if (!(clsContext & (CLSCTX_LOCAL_SERVER | CLSCTX_REMOTE_SERVER)))
            return CoCreateInstance(clsid, outer, clsContext, __uuidof(Interface), reinterpret_cast<void**>(&p_));
        IUnknown* unknown = nullptr;
        HRESULT hr = CoCreateInstance(clsid, outer, clsContext, IID_IUnknown, reinterpret_cast<void**>(&unknown));
        if (FAILED(hr))
            return hr;
        hr = OleRun(unknown);
        if (SUCCEEDED(hr))
            hr = unknown->QueryInterface(__uuidof(Interface), reinterpret_cast<void**>(&p_));
        unknown->Release();
        if (FAILED(hr))
            p_ = nullptr;
        return hr;
    }
    // A class-id string ("{...}") or a ProgID.
    HRESULT CreateInstance(LPCOLESTR clsidString, IUnknown* outer = nullptr, DWORD clsContext = CLSCTX_ALL) noexcept
    {
        CLSID clsid;
        HRESULT hr = ClassIdOf(clsidString, clsid);
        return FAILED(hr) ? hr : CreateInstance(clsid, outer, clsContext);
    }
    HRESULT CreateInstance(LPCSTR clsidString, IUnknown* outer = nullptr, DWORD clsContext = CLSCTX_ALL) noexcept
    {
        std::u16string wide;
        HRESULT hr = Widen(clsidString, wide);
        return FAILED(hr) ? hr : CreateInstance(wide.c_str(), outer, clsContext);
    }
    HRESULT GetActiveObject(REFCLSID clsid) noexcept
    {
        Reset();
        IUnknown* unknown = nullptr;
        HRESULT hr = ::GetActiveObject(clsid, nullptr, &unknown);
        if (FAILED(hr))
            return hr;
        hr = unknown->QueryInterface(__uuidof(Interface), reinterpret_cast<void**>(&p_));
        unknown->Release();
        if (FAILED(hr))
            p_ = nullptr;
        return hr;
    }
    HRESULT GetActiveObject(LPCOLESTR clsidString) noexcept
    {
        CLSID clsid;
        HRESULT hr = ClassIdOf(clsidString, clsid);
        return FAILED(hr) ? hr : GetActiveObject(clsid);
    }
    HRESULT GetActiveObject(LPCSTR clsidString) noexcept
    {
        std::u16string wide;
        HRESULT hr = Widen(clsidString, wide);
        return FAILED(hr) ? hr : GetActiveObject(wide.c_str());
    }
    template <class Other>
    HRESULT QueryInterface(REFIID riid, Other** out) const noexcept
    {
        if (!p_)
            return E_POINTER;
        return p_->QueryInterface(riid, reinterpret_cast<void**>(out));
    }

private:
    static HRESULT ClassIdOf(LPCOLESTR text, CLSID& clsid) noexcept
    {
        if (!text)
            return E_INVALIDARG;
        return text[0] == u'{' ? CLSIDFromString(text, &clsid) : CLSIDFromProgID(text, &clsid);
    }
    // The ANSI code page's text as UTF-16.
    static HRESULT Widen(LPCSTR text, std::u16string& wide) noexcept
    {
        if (!text)
            return E_INVALIDARG;
        int size = MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
        if (size == 0)
            return HRESULT_FROM_WIN32(GetLastError());
        wide.assign(static_cast<std::size_t>(size), u'\0');
        if (MultiByteToWideChar(CP_ACP, 0, text, -1, wide.data(), size) == 0)
            return HRESULT_FROM_WIN32(GetLastError());
        wide.resize(static_cast<std::size_t>(size - 1));
        return S_OK;
    }
    void Reset() noexcept
    {
        if (auto* p = std::exchange(p_, nullptr))
            p->Release();
    }
    void Swap(_com_ptr_t& other) noexcept { std::swap(p_, other.p_); }
    template <class Other>
    void QueryFrom(Other* other) noexcept
    {
        if (other)
            other->QueryInterface(__uuidof(Interface), reinterpret_cast<void**>(&p_));
    }
    void QueryFromVariant(const _variant_t& value)
    {
        if (value.vt == VT_DISPATCH || value.vt == VT_UNKNOWN) {
            QueryFrom(value.punkVal);
            return;
        }
        // Anything else must coerce to an object first, as the real holder does.
        _variant_t object;
        object.ChangeType(VT_UNKNOWN, &value);
        QueryFrom(object.punkVal);
    }

    Interface* p_ = nullptr;
};

#define _COM_SMARTPTR_TYPEDEF(Interface, iid) using Interface##Ptr = _com_ptr_t<Interface>
