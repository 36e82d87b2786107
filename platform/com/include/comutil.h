// Stand-in for comutil.h: the _bstr_t and _variant_t holders and the
// process-wide missing argument vtMissing.
//
// Simplifications: _bstr_t owns its own copy instead of sharing one reference-
// counted buffer between copies; _variant_t(int) makes VT_I4 (the real one
// makes VT_INT, which automation servers treat alike).
#pragma once
#include "oleauto.h"

#include <string>

[[noreturn]] void _com_issue_error(HRESULT hr);

class _variant_t;

class _bstr_t {
public:
    _bstr_t() noexcept = default;
    _bstr_t(const _bstr_t& other);
    _bstr_t(_bstr_t&& other) noexcept;
    _bstr_t(const char* text);         // from the ANSI code page; throws on a failed conversion
    _bstr_t(const WCHAR* text);
    _bstr_t(BSTR text, bool copy);     // copy == false takes ownership
    explicit _bstr_t(const _variant_t& value); // VT_BSTR taken, other types coerced
    ~_bstr_t();

    _bstr_t& operator=(const _bstr_t& other);
    _bstr_t& operator=(_bstr_t&& other) noexcept;
    _bstr_t& operator=(const char* text);
    _bstr_t& operator=(const WCHAR* text);
    _bstr_t& operator+=(const _bstr_t& other);

    operator const WCHAR*() const noexcept { return bstr_; }
    operator const char*() const;      // ANSI copy, null for a null string
    bool operator!() const noexcept { return bstr_ == nullptr; }
    bool operator==(const _bstr_t& other) const noexcept;

    unsigned int length() const noexcept { return SysStringLen(bstr_); }
    BSTR GetBSTR() noexcept { return bstr_; }
    BSTR copy(bool copyString = true) const;
    void Assign(BSTR text);
    void Attach(BSTR text);
    BSTR Detach() noexcept;

private:
    BSTR bstr_ = nullptr;
    mutable std::string ansi_;          // backs operator const char*
    mutable bool ansiValid_ = false;
};

class _variant_t : public VARIANT {
public:
    _variant_t() noexcept;
    _variant_t(const VARIANT& source);
    _variant_t(const _variant_t& source);
    _variant_t(_variant_t&& source) noexcept;
    _variant_t(VARIANT& source, bool copy); // copy == false takes ownership
    _variant_t(short value, VARTYPE type = VT_I2);   // VT_I2 or VT_BOOL
    _variant_t(long value, VARTYPE type = VT_I4);    // VT_I4 or VT_ERROR
    _variant_t(int value);
    _variant_t(float value);
    _variant_t(double value, VARTYPE type = VT_R8);
    _variant_t(const _bstr_t& value);
    _variant_t(const char* value);
    _variant_t(const WCHAR* value);
    _variant_t(IDispatch* value, bool addRef = true);
    _variant_t(IUnknown* value, bool addRef = true);
    _variant_t(bool value);
    ~_variant_t();

    _variant_t& operator=(const _variant_t& source);
    _variant_t& operator=(_variant_t&& source) noexcept;
    _variant_t& operator=(const VARIANT& source);

    // Extractors: the held value when the type matches, otherwise a
    // coercion through VariantChangeType; a failed coercion throws _com_error.
    operator short() const;
    operator long() const;
    operator double() const;
    operator _bstr_t() const;

    void Clear();
    void ChangeType(VARTYPE type, const _variant_t* source = nullptr);
    VARIANT Detach();
    VARIANT& GetVARIANT() noexcept { return *this; }
};

// The optional argument left out: VT_ERROR holding DISP_E_PARAMNOTFOUND.
// One per process, cleared at exit.
extern const _variant_t vtMissing;
