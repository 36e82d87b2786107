// Holders that close what export opens in the drawing on every way out,
// also while a COM failure from the writing step unwinds through them.
#pragma once
#include <dbmain.h>

#include <utility>

#include <optional>
#include <string>

// The drawing the command works on.
AcDbDatabase* WorkingDatabase();

// The name of the layout active in the host, model space included; none when
// the host names none.
std::optional<std::string> ActiveLayoutName();

// An object open for one operation; closed when the holder goes.
template <class T>
class OpenObject {
public:
    OpenObject() = default;
    explicit OpenObject(T* object)
        : m_object(object)
    {
    }
    ~OpenObject() { reset(); }
    OpenObject(const OpenObject&) = delete;
    OpenObject& operator=(const OpenObject&) = delete;

    T* get() const { return m_object; }
    T* operator->() const { return m_object; }
    explicit operator bool() const { return m_object != nullptr; }
    // The slot for an out parameter; closes what was held.
    T*& slot()
    {
        reset();
        return m_object;
    }
    void reset()
    {
        if (T* object = std::exchange(m_object, nullptr))
            object->close();
    }

private:
    T* m_object = nullptr;
};

// A text the host hands out as a copy for the caller to free.
class HostText {
public:
    HostText() = default;
    ~HostText();
    HostText(const HostText&) = delete;
    HostText& operator=(const HostText&) = delete;
    char*& slot();
    const char* get() const { return m_text ? m_text : ""; }
    bool empty() const { return m_text == nullptr; }

private:
    char* m_text = nullptr;
};
