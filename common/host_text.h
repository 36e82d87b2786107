// A text the host hands out as a copy for the caller to free (a tag, a
// layer name, a layout name): freed on every way out.
#pragma once

class HostText {
public:
    HostText() = default;
    // Takes over `text`, which may be null.
    explicit HostText(char* text)
        : m_text(text)
    {
    }
    ~HostText();
    HostText(const HostText&) = delete;
    HostText& operator=(const HostText&) = delete;

    // The slot for an out parameter; frees what was held.
    char*& slot();
    // The text, or "" when the host handed out none.
    const char* get() const { return m_text ? m_text : ""; }
    bool empty() const { return m_text == nullptr; }
    explicit operator bool() const { return m_text != nullptr; }

private:
    char* m_text = nullptr;
};
