// Getting hold of the spreadsheet program's application object.
#pragma once
#include <excel.tlh>

enum class AcquireMode {
    RunningOnly,  // the running instance, or nothing
    RunningOrNew, // the running instance, else a newly started one
};

// S_OK with `application` set, or the failing HRESULT with it empty.
HRESULT AcquireExcel(AcquireMode mode, Excel::_ApplicationPtr& application);
