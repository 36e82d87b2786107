#include "afxwin.h"

#include "acad_host.h"

#include <atomic>

namespace {
std::atomic<int> g_attachedModules{0};
}

BOOL CAcExtensionModule::AttachInstance(HINSTANCE moduleInstance, HINSTANCE resourceInstance)
{
    if (m_attached)
        return FALSE;
    m_module = moduleInstance;
    m_resources = resourceInstance;
    m_attached = TRUE;
    ++g_attachedModules;
    return TRUE;
}

void CAcExtensionModule::DetachInstance()
{
    if (!m_attached)
        return;
    m_attached = FALSE;
    --g_attachedModules;
}

int AttachedExtensionModuleCount() { return g_attachedModules.load(); }

HINSTANCE AfxGetResourceHandle()
{
    AcadHost* host = AcadHost::current();
    return host ? host->currentResourceHandle() : nullptr;
}

const char* AfxGetAppName() { return "gwhost"; }

int AfxMessageBox(LPCSTR text, UINT type, UINT)
{
    return MessageBoxA(adsw_acadMainWnd(), text, AfxGetAppName(), type);
}

void AfxThrowOleException(SCODE sc)
{
    auto* exception = new COleException;
    exception->m_sc = sc;
    throw exception;
}

void AfxThrowOleDispatchException(WORD code, LPCSTR description)
{
    auto* exception = new COleDispatchException;
    exception->m_wCode = code;
    exception->m_strDescription = description ? description : "";
    throw exception;
}
