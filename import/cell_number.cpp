#include "import/cell_number.h"

#include <windows.h>

#include "codepage.h"
#include "oleauto.h"

#include <cstdlib>
#include <string>

void NumberFromCellValue(const VARIANT& value, double& number)
{
    switch (value.vt) {
    case VT_R8:
        number = value.dblVal;
        break;
    case VT_R4:
        number = static_cast<double>(value.fltVal);
        break;
    case VT_I2:
        number = value.iVal;
        break;
    case VT_I4:
        number = value.lVal;
        break;
    case VT_BSTR: {
        // The text goes to the host's code page first; atof reads it under
        // the numeric locale set at start.
        BSTR text = value.bstrVal;
        int length = text ? static_cast<int>(SysStringLen(text)) : 0;
        std::string narrow;
        if (length > 0) {
            int bytes = WideCharToMultiByte(CP_ACP, 0, text, length, nullptr, 0, nullptr, nullptr);
            narrow.resize(static_cast<std::size_t>(bytes > 0 ? bytes : 0));
            if (bytes > 0)
                WideCharToMultiByte(CP_ACP, 0, text, length, narrow.data(), bytes, nullptr, nullptr);
        }
        number = std::atof(narrow.c_str());
        break;
    }
    default:
        break;
    }
}
