// Stand-in for afxstr.h: the framework's narrow string, as the module's
// dialogs exchange texts with their controls. Only the members the module
// and the framework stand-in use.
#pragma once
#include <windows.h>

#include <string>

class CString {
public:
    CString() = default;
    CString(LPCSTR text) : m_text(text ? text : "") {}
    CString(LPCSTR text, int length) : m_text(text ? std::string(text, static_cast<std::size_t>(length)) : "") {}

    CString& operator=(LPCSTR text)
    {
        m_text = text ? text : "";
        return *this;
    }
    CString& operator+=(LPCSTR text)
    {
        m_text += text ? text : "";
        return *this;
    }
    int GetLength() const { return static_cast<int>(m_text.size()); }
    BOOL IsEmpty() const { return m_text.empty(); }
    void Empty() { m_text.clear(); }
    char GetAt(int index) const { return m_text.at(static_cast<std::size_t>(index)); }
    LPCSTR GetString() const { return m_text.c_str(); }
    operator LPCSTR() const { return m_text.c_str(); }

    friend bool operator==(const CString& a, const CString& b) { return a.m_text == b.m_text; }
    friend bool operator==(const CString& a, LPCSTR b) { return a.m_text == (b ? b : ""); }

private:
    std::string m_text;
};
