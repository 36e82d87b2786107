// Stand-in for the parts of the host's user-interface framework (MFC 7 with
// the host's extension-module support) that the module uses: the extension
// module that makes the resource module the source of dialogs and strings,
// the current resource handle, the framework's message box and its OLE
// exception classes (thrown by pointer and freed with Delete, as in MFC);
// windows and modal dialogs built from the resource module's templates,
// message maps, dialog data exchange, buttons, edit boxes, static texts and
// popup menus.
//
// There is no screen. A dialog's DoModal builds the window and its controls
// from the template, runs OnInitDialog, and hands the dialog to the dialog
// driver of the control face (dialog_driver.h), which stands for the user:
// gwhost asks at the terminal, tests act from a script. Without a driver a
// dialog is cancelled as soon as it opens. One thread runs all windows (the
// host's main thread), as the module's dialogs need.
// Simplifications: no painting, fonts or layout; a control is its state
// (text, check, items) and its template box; dialog units become pixels
// with the base units of the 8-point shell font (6 x 13).
#pragma once
#include <windows.h>

#include "afxmsg_.h"
#include "afxstr.h"
#include "atltypes.h"

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

// Thrown by CDataExchange::Fail after the failing check has told the user.
class CUserException : public CException {};
[[noreturn]] void AfxThrowUserException();

class CCmdTarget {
public:
    virtual ~CCmdTarget() = default;

protected:
    static const AFX_MSGMAP* GetThisMessageMap();
    virtual const AFX_MSGMAP* GetMessageMap() const;
    // Calls the first handler of the message maps (this class up to
    // CCmdTarget) for the message, code and id; FALSE when none matches.
    BOOL DispatchToMessageMap(UINT message, UINT code, UINT id, NMHDR* notify, LRESULT* result);
};

class CDataExchange;
class CDC;

// A font object: the logical font it was made from (wingdi.h). Deleted with
// its wrapper when the wrapper made it; the wrapper GetFont hands out is the
// window's and deletes nothing.
class CFont {
public:
    CFont() = default;
    ~CFont();
    CFont(const CFont&) = delete;
    CFont& operator=(const CFont&) = delete;

    HFONT m_hObject = nullptr;
    operator HFONT() const { return m_hObject; }
    // FALSE when the wrapper already holds a font or `font` is null.
    BOOL CreateFontIndirect(const LOGFONTA* font);
    // sizeof(LOGFONTA) when copied, 0 without a font.
    int GetLogFont(LOGFONTA* font) const;
    BOOL DeleteObject();

private:
    bool m_created = false;
};

class CWnd : public CCmdTarget {
public:
    CWnd() = default;
    // A window still attached is destroyed with its wrapper, as in MFC.
    ~CWnd() override;
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    HWND m_hWnd = nullptr;
    operator HWND() const { return m_hWnd; }

    // The permanent wrapper of the window, or a temporary one the window owns.
    static CWnd* FromHandle(HWND window);
    BOOL Attach(HWND window);

    CWnd* GetDlgItem(int id) const;
    BOOL EnableWindow(BOOL enable = TRUE); // TRUE when it was disabled before
    BOOL ShowWindow(int command);          // TRUE when it was visible before
    void SetWindowText(LPCSTR text);
    int GetWindowText(LPSTR buffer, int bufferMax) const;
    void GetWindowText(CString& text) const;
    // The check state of button `id` of this dialog (BST_CHECKED, ...).
    UINT IsDlgButtonChecked(int id) const;
    CWnd* SetFocus();                      // the window that had the focus
    // Takes `remove` off the style and puts `add` on; TRUE when it changed.
    BOOL ModifyStyle(DWORD remove, DWORD add, UINT flags = 0);
    void GetClientRect(LPRECT rect) const;
    void GetWindowRect(LPRECT rect) const;
    DWORD GetStyle() const;
    // There is no screen: a window's rectangle is already in its parent's
    // client area, so the conversion changes nothing.
    void ScreenToClient(LPRECT) const {}
    CWnd* GetParent() const;
    // Moves and sizes the window in its parent's client area (SWP_NOMOVE,
    // SWP_NOSIZE keep either); there is no Z order here to change.
    BOOL SetWindowPos(const CWnd* insertAfter, int x, int y, int cx, int cy, UINT flags);
    // The window's font; a control of a dialog template starts with the
    // dialog's shell font. The wrapper is the window's, valid while the font is.
    CFont* GetFont() const;
    void SetFont(CFont* font, BOOL redraw = TRUE);
    // Nothing is painted; the request is counted (DialogForm::repaints).
    void Invalidate(BOOL erase = TRUE);
    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
    BOOL UpdateData(BOOL saveAndValidate = TRUE);
    virtual BOOL PreTranslateMessage(MSG* message);
    virtual BOOL DestroyWindow();

protected:
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    virtual BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);
    virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);
    virtual BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result);
    virtual void DoDataExchange(CDataExchange*) {}
    // A notification the parent reflects back to the control that sent it
    // (ON_NOTIFY_REFLECT); TRUE when the control handled it.
    virtual BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);
    // F1 (WM_HELP): TRUE when the window handled the help request. MFC maps
    // it with ON_WM_HELPINFO; here it is a virtual a dialog overrides.
    virtual BOOL OnHelpInfo(HELPINFO* info);
    // A static text's colour request, reflected from the parent
    // (ON_WM_CTLCOLOR_REFLECT in MFC): the brush for the background, null
    // to leave the request to the parent.
    virtual HBRUSH CtlColor(CDC* dc, UINT controlType);
    // WM_SETCURSOR: TRUE when the window set the cursor; otherwise the
    // window's class cursor, the arrow, shows. MFC maps it with
    // ON_WM_SETCURSOR; here it is a virtual a control overrides.
    virtual BOOL OnSetCursor(CWnd* window, UINT hitTest, UINT message);
    // WM_MOUSEMOVE, the point in client coordinates (ON_WM_MOUSEMOVE in MFC).
    virtual void OnMouseMove(UINT flags, CPoint point);

    DECLARE_MESSAGE_MAP()
};

class CDialog : public CWnd {
public:
    explicit CDialog(UINT templateId, CWnd* parent = nullptr);
    // Builds the dialog from template m_nIDHelp of the current resource
    // source, runs it until EndDialog and destroys it: IDOK, IDCANCEL or
    // what EndDialog was given; -1 when the template is missing.
    virtual INT_PTR DoModal();
    // A modeless dialog inside `parent` (a tab page): built from template
    // `templateId` and initialised; it goes with its parent.
    BOOL Create(UINT templateId, CWnd* parent);
    void EndDialog(int result);
    UINT m_nIDHelp = 0;

protected:
    virtual BOOL OnInitDialog();
    virtual void OnOK();
    virtual void OnCancel();
    // Where the template comes from; null: the current resource source.
    HINSTANCE m_hDialogResource = nullptr;
    CWnd* m_pParentWnd = nullptr;

    DECLARE_MESSAGE_MAP()
};

class CPen {
public:
    CPen(int style, int width, COLORREF colour) : m_style(style), m_width(width), m_colour(colour) {}
    int m_style;
    int m_width;
    COLORREF m_colour;
};

// A device context. There is no screen: what is drawn into it is recorded
// for the dialog driver (DialogSession::paint); text is measured in the
// shell font's average character cell (6 x 13 pixels).
class CDC {
public:
    HDC m_hDC = nullptr;
    static CDC* FromHandle(HDC dc);
    BOOL DrawFrameControl(LPRECT rect, UINT type, UINT state);
    COLORREF SetTextColor(COLORREF colour); // the colour before
    int SetBkMode(int mode);                // the mode before
    CSize GetTextExtent(LPCSTR text, int count) const;
    int DrawText(LPCSTR text, int count, LPRECT rect, UINT format);
    CPen* SelectObject(CPen* pen); // the pen selected before
    CFont* SelectObject(CFont* font); // the font selected before
    CPoint MoveTo(int x, int y);   // the position before
    BOOL LineTo(int x, int y);
    void DrawFocusRect(LPCRECT rect);
};

// The device context of a window's client area, for measuring; nothing
// drawn into it is recorded.
class CClientDC : public CDC {
public:
    explicit CClientDC(CWnd* window);
    ~CClientDC();
    CClientDC(const CClientDC&) = delete;
    CClientDC& operator=(const CClientDC&) = delete;
};

class CButton : public CWnd {
public:
    // Draws an owner-draw button; the parent reflects WM_DRAWITEM here.
    virtual void DrawItem(LPDRAWITEMSTRUCT) {}

protected:
    BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;
};

class CEdit : public CWnd {
public:
    // The most characters the box takes (typing stops there).
    void SetLimitText(UINT maxCharacters);
};

class CStatic : public CWnd {};

class CMenu {
public:
    CMenu() = default;
    ~CMenu();
    CMenu(const CMenu&) = delete;
    CMenu& operator=(const CMenu&) = delete;

    HMENU m_hMenu = nullptr;
    static CMenu* FromHandle(HMENU menu);
    // Menu `id` of the current resource source.
    BOOL LoadMenu(UINT id);
    BOOL DestroyMenu();
    CMenu* GetSubMenu(int position) const;
    // The previous state (MF_CHECKED or MF_UNCHECKED), 0xFFFFFFFF when absent.
    UINT CheckMenuItem(UINT id, UINT check);
    // The user picks from the popup (through the dialog driver): with
    // TPM_RETURNCMD the command is returned (0: none), otherwise it is
    // posted to the owner as WM_COMMAND and TRUE returned.
    BOOL TrackPopupMenu(UINT flags, int x, int y, CWnd* owner, LPCRECT rect = nullptr);
};

#include "afxdd_.h"
