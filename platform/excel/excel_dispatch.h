// Common ground of the spreadsheet stand-in's automation objects: reference
// counting, interface queries, and the checks every Invoke makes before the
// member runs (program quit, call counting, injected faults, argument shape).
#pragma once
#include "com_object.h"
#include "excel_app.h"
#include "oleauto.h"

#include <memory>
#include <string>

namespace excelsim {

// The positional arguments of one call in declared order (DISPPARAMS holds
// them last first), and the value of a property put.
// Inline: members read them several times on every call.
class Args {
public:
    explicit Args(const DISPPARAMS* params) : params_(params) {}
    UINT Count() const { return params_ ? params_->cArgs - params_->cNamedArgs : 0; }
    // Null when the argument is absent or passed as missing.
    const VARIANT* At(UINT index) const
    {
        if (index >= Count())
            return nullptr;
        const VARIANT* arg = &params_->rgvarg[params_->cArgs - 1 - index];
        if (arg->vt == (VT_BYREF | VT_VARIANT))
            arg = arg->pvarVal;
        if (arg->vt == VT_ERROR && arg->scode == DISP_E_PARAMNOTFOUND)
            return nullptr;
        return arg;
    }
    const VARIANT* PutValue() const
    {
        // The value of a put is the one named argument, DISPID_PROPERTYPUT.
        for (UINT i = 0; i < params_->cNamedArgs; ++i)
            if (params_->rgdispidNamedArgs[i] == DISPID_PROPERTYPUT)
                return &params_->rgvarg[i];
        return nullptr;
    }

private:
    const DISPPARAMS* params_;
};

enum class MemberKind { Get, Put, Method };

// What a member answers to, and how many positional arguments it takes.
struct MemberShape {
    bool get = false;
    bool put = false;
    bool method = false;
    UINT maxArgs = 0;
};

class DispatchObject : public IDispatch, protected ComObjectBase {
public:
    HRESULT QueryInterface(REFIID riid, void** object) override;
    ULONG AddRef() override { return AddRefImpl(); }
    ULONG Release() override { return ReleaseImpl(); }
    HRESULT GetTypeInfoCount(UINT* count) override;
    HRESULT GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    HRESULT Invoke(DISPID member, REFIID riid, LCID lcid, WORD flags, DISPPARAMS* params, VARIANT* result,
                   EXCEPINFO* excepInfo, UINT* argErr) override;

protected:
    DispatchObject(std::shared_ptr<ExcelApp> app, const IID& typedInterface)
        : app_(std::move(app)), typedInterface_(typedInterface)
    {
    }

    // False for members the object does not have (DISP_E_MEMBERNOTFOUND).
    virtual bool Describe(DISPID member, MemberShape& shape) const = 0;
    virtual HRESULT Call(DISPID member, MemberKind kind, const Args& args, VARIANT* result,
                         EXCEPINFO* excepInfo) = 0;

    std::shared_ptr<ExcelApp> app_;

private:
    IID typedInterface_;
};

// The program's answer to a refused operation: an exception with its
// "application-defined or object-defined error" code, source and text.
HRESULT ProgramError(EXCEPINFO* excepInfo, const std::u16string& description);
inline constexpr HRESULT kProgramErrorCode = static_cast<HRESULT>(0x800A03EC);
inline constexpr const char16_t* kProgramSource = u"Microsoft Office Excel";

// Result helpers: each sets *result when the caller wants one.
void ReturnObject(VARIANT* result, IDispatch* object); // takes over the reference
void ReturnLong(VARIANT* result, LONG value);
void ReturnBool(VARIANT* result, bool value);
void ReturnText(VARIANT* result, const std::u16string& text);
// Coerces an argument (outside any lock: an object argument calls out).
HRESULT ArgAsLong(const VARIANT* arg, LONG& out);
HRESULT ArgAsBool(const VARIANT* arg, bool& out);
HRESULT ArgAsText(const VARIANT* arg, std::u16string& out);

// The index argument of a collection's Item: a text names the item (compared
// as the program compares sheet and workbook names), anything else is its
// 1-based position. Read it outside the lock, find the item inside.
class ItemIndex {
public:
    // S_OK, DISP_E_PARAMNOTOPTIONAL or DISP_E_TYPEMISMATCH.
    HRESULT Read(const VARIANT* index);
    // Whether the item at 0-based `position`, named `name`, is the one asked for.
    bool Matches(std::size_t position, const std::u16string& name) const;

private:
    bool byName_ = false;
    std::u16string name_;
    LONG number_ = 0;
};

// The members the Workbooks and Worksheets collections share: Count and
// Item(index) to read, Add a method of `addArgs` optional arguments.
bool DescribeCollection(DISPID member, MemberShape& shape, UINT addArgs);

} // namespace excelsim
