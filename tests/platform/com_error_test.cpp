// _com_error, error information and the system message table.
#include "support/com_fixture.h"

#include <comdef.h>
#include <windows.h>

#include <string>

namespace {

using ComErrorTest = ComTest;

IErrorInfo* MakeErrorInfo(const char16_t* source, const char16_t* description)
{
    ICreateErrorInfo* create = nullptr;
    EXPECT_EQ(CreateErrorInfo(&create), S_OK);
    create->SetSource(const_cast<LPOLESTR>(source));
    create->SetDescription(const_cast<LPOLESTR>(description));
    IErrorInfo* info = nullptr;
    EXPECT_EQ(create->QueryInterface(IID_IErrorInfo, reinterpret_cast<void**>(&info)), S_OK);
    create->Release();
    return info;
}

TEST_F(ComErrorTest, MeaningDropsTheFinalLineBreak)
{
    EXPECT_STREQ(_com_error(E_POINTER).ErrorMessage(), "Invalid pointer");
    EXPECT_STREQ(_com_error(DISP_E_TYPEMISMATCH).ErrorMessage(), "Type mismatch.");
    EXPECT_STREQ(_com_error(E_INVALIDARG).ErrorMessage(), "The parameter is incorrect.");
    EXPECT_STREQ(_com_error(RPC_E_DISCONNECTED).ErrorMessage(),
                 "The object invoked has disconnected from its clients.");
    EXPECT_STREQ(_com_error(HRESULT_FROM_WIN32(ERROR_NO_UNICODE_TRANSLATION)).ErrorMessage(),
                 "No mapping for the Unicode character exists in the target multi-byte code page.");
}

TEST_F(ComErrorTest, MeaningWithoutSystemTextFallsBack)
{
    EXPECT_STREQ(_com_error(static_cast<HRESULT>(0x80040200)).ErrorMessage(), "Unknown error 0x80040200");
    EXPECT_STREQ(_com_error(static_cast<HRESULT>(0x80040205)).ErrorMessage(), "IDispatch error #5");
    EXPECT_STREQ(_com_error(static_cast<HRESULT>(0x800A03EC)).ErrorMessage(), "Unknown error 0x800A03EC");
    // Kept with the error: the same buffer on each call, and copies carry it.
    _com_error e(static_cast<HRESULT>(0x80040205));
    const char* first = e.ErrorMessage();
    EXPECT_EQ(first, e.ErrorMessage());
    _com_error copy = e;
    EXPECT_STREQ(copy.ErrorMessage(), "IDispatch error #5");
}

TEST_F(ComErrorTest, SystemTextsEndInCarriageReturnLineFeed)
{
    char buffer[256];
    DWORD n = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                             static_cast<DWORD>(E_FAIL), MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), buffer,
                             sizeof buffer, nullptr);
    EXPECT_EQ(std::string(buffer, n), "Unspecified error\r\n");
    EXPECT_EQ(FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM, nullptr, 0x800A03EC, 0, buffer, sizeof buffer, nullptr), 0u);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_MR_MID_NOT_FOUND));
    char small[4];
    EXPECT_EQ(FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM, nullptr, static_cast<DWORD>(E_FAIL), 0, small,
                             sizeof small, nullptr),
              0u);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
}

TEST_F(ComErrorTest, CarriesErrorInformationAndReleasesIt)
{
    IErrorInfo* info = MakeErrorInfo(u"Microsoft Excel", u"Cannot rename a sheet");
    {
        _com_error e(static_cast<HRESULT>(0x800A03EC), info); // takes the reference
        _com_error copy(e);
        EXPECT_STREQ(static_cast<const char*>(copy.Source()), "Microsoft Excel");
        EXPECT_STREQ(static_cast<const char*>(copy.Description()), "Cannot rename a sheet");
    }
    _com_error bare(E_FAIL);
    EXPECT_EQ(static_cast<const char*>(bare.Source()), nullptr);
    EXPECT_EQ(bare.ErrorInfo(), nullptr);
}

TEST_F(ComErrorTest, ThreadErrorInfoIsHandedOverOnce)
{
    IErrorInfo* info = MakeErrorInfo(u"src", u"desc");
    EXPECT_EQ(SetErrorInfo(0, info), S_OK);
    info->Release();
    IErrorInfo* got = nullptr;
    EXPECT_EQ(GetErrorInfo(0, &got), S_OK);
    ASSERT_NE(got, nullptr);
    got->Release();
    EXPECT_EQ(GetErrorInfo(0, &got), S_FALSE);
    EXPECT_EQ(got, nullptr);
}

TEST_F(ComErrorTest, EmptySmartPointerRaisesInvalidPointer)
{
    IDispatchPtr empty;
    try {
        empty->AddRef();
        ADD_FAILURE() << "no exception";
    } catch (const _com_error& e) {
        EXPECT_EQ(e.Error(), E_POINTER);
    }
    EXPECT_THROW(empty.Release(), _com_error);
}

} // namespace
