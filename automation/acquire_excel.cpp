#include "automation/acquire_excel.h"

namespace {
constexpr const char* kExcelProgId = "Excel.Application";
// A local or remote server is welcome, not only an in-process one.
constexpr DWORD kAnyContext = CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER | CLSCTX_LOCAL_SERVER | CLSCTX_REMOTE_SERVER;
} // namespace

HRESULT AcquireExcel(AcquireMode mode, Excel::_ApplicationPtr& application)
{
    application = nullptr; // a failure leaves it empty, whatever it held
    HRESULT hr = application.GetActiveObject(kExcelProgId);
    if (FAILED(hr) && mode == AcquireMode::RunningOrNew)
        hr = application.CreateInstance(kExcelProgId, nullptr, kAnyContext);
    return hr;
}
