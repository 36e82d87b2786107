// Stand-in for the parts of the host's user-interface framework (MFC 7 with
// the host's extension-module support) that the module uses: the extension
// module that makes the resource module the source of dialogs and strings,
// the current resource handle, the framework's message box and its OLE
// exception classes (thrown by pointer and freed with Delete, as in MFC).
#pragma once
#include <windows.h>

#include <string>

using SCODE = LONG;

// The host's extension-module record (AC_IMPLEMENT_EXTENSION_MODULE).
class CAcExtensionModule {
public:
    BOOL AttachInstance(HINSTANCE moduleInstance, HINSTANCE resourceInstance);
    void DetachInstance();
    BOOL Attached() const { return m_attached; }
    HINSTANCE DLLInstance() const { return m_module; }
    HINSTANCE ModuleResourceInstance() const { return m_resources; }

private:
    BOOL m_attached = FALSE;
    HINSTANCE m_module = nullptr;
    HINSTANCE m_resources = nullptr;
};
// Extension modules attached and not yet detached, for leak checks.
int AttachedExtensionModuleCount();

// The resource source the framework loads strings and dialogs from: the top
// of the host's resource stack.
HINSTANCE AfxGetResourceHandle();
// The host application's title, the caption of AfxMessageBox.
const char* AfxGetAppName();
int AfxMessageBox(LPCSTR text, UINT type = MB_OK, UINT helpId = 0);

class CException {
public:
    virtual ~CException() = default;
    void Delete() { delete this; }
};

class COleException : public CException {
public:
    SCODE m_sc = 0;
};

class COleDispatchException : public CException {
public:
    WORD m_wCode = 0;
    std::string m_strDescription;
    SCODE m_scError = 0;
};

[[noreturn]] void AfxThrowOleException(SCODE sc);
[[noreturn]] void AfxThrowOleDispatchException(WORD code, LPCSTR description);
