// Fixture for tests that drive the spreadsheet stand-in: a COM runtime with
// the program installed in the state the test asks for, and a raw Invoke
// helper for conformance tests that talk to the program without the module.
#pragma once
#include "excel_context.h"
#include "excel.tlh"
#include "support/com_fixture.h"

#include <comdef.h>

#include <memory>
#include <vector>

class ExcelTest : public ComTest {
protected:
    void InstallExcel(excelsim::ExcelInstall state)
    {
        excel_ = std::make_unique<excelsim::ExcelContext>(state);
        excel_->Install(runtime_);
    }
    void TearDown() override
    {
        excel_.reset();
        ComTest::TearDown();
    }

public:
    struct Reply {
        HRESULT hr = S_OK;
        _variant_t value;
        _bstr_t source;
        _bstr_t description;
    };

    // One Invoke with the arguments in declared order; a put passes its value last.
    static Reply Call(IDispatch* object, DISPID member, WORD flags, std::vector<_variant_t> args = {})
    {
        std::vector<VARIANT> reversed(args.rbegin(), args.rend());
        DISPID named = DISPID_PROPERTYPUT;
        DISPPARAMS params{reversed.data(), nullptr, static_cast<UINT>(reversed.size()), 0};
        if (flags & DISPATCH_PROPERTYPUT) {
            params.rgdispidNamedArgs = &named;
            params.cNamedArgs = 1;
        }
        Reply reply;
        EXCEPINFO info{};
        reply.hr = object->Invoke(member, GUID_NULL, LOCALE_USER_DEFAULT, flags, &params, &reply.value, &info, nullptr);
        if (reply.hr == DISP_E_EXCEPTION) {
            reply.hr = info.scode;
            reply.source = _bstr_t(info.bstrSource, false);
            reply.description = _bstr_t(info.bstrDescription, false);
            SysFreeString(info.bstrHelpFile);
        }
        return reply;
    }
    static IDispatchPtr Get(IDispatch* object, DISPID member, std::vector<_variant_t> args = {})
    {
        Reply reply = Call(object, member, DISPATCH_PROPERTYGET, std::move(args));
        EXPECT_EQ(reply.hr, S_OK) << "member " << member;
        return reply.value.vt == VT_DISPATCH ? IDispatchPtr(reply.value.pdispVal) : IDispatchPtr();
    }
    static HRESULT Put(IDispatch* object, DISPID member, _variant_t value)
    {
        return Call(object, member, DISPATCH_PROPERTYPUT, {value}).hr;
    }

protected:
    // The running program's application object.
    IDispatchPtr Application()
    {
        IUnknown* unknown = nullptr;
        EXPECT_EQ(GetActiveObject(Excel::CLSID_Application, nullptr, &unknown), S_OK);
        IDispatchPtr app(unknown);
        if (unknown)
            unknown->Release();
        return app;
    }
    static IDispatchPtr CellOf(IDispatch* sheet, long row, long column)
    {
        IDispatchPtr cells = Get(sheet, Excel::dispidCells);
        return Get(cells, Excel::dispidItem, {_variant_t(row), _variant_t(column)});
    }

    std::unique_ptr<excelsim::ExcelContext> excel_;
};
