// One owner for a handle that one call gives back: the handle's type and its
// close call make the holder's type, one line per kind of handle. The holder
// closes what it holds on every way out; close() is there for the callers
// that must know whether closing worked.
#pragma once
#include <algorithm>
#include <iterator>
#include <type_traits>
#include <utility>

template <class Handle, auto Close>
class UniqueResource {
public:
    UniqueResource() = default;
    ~UniqueResource()
    {
        if (m_held)
            Close(m_handle);
    }
    UniqueResource(const UniqueResource&) = delete;
    UniqueResource& operator=(const UniqueResource&) = delete;

    // Takes over `handle` (a call that handed it out succeeded), closing
    // what was held before.
    template <class Source>
    void adopt(const Source& handle)
    {
        if (m_held)
            Close(m_handle);
        // The host's selection-set names are arrays and are copied as such.
        if constexpr (std::is_array_v<Handle>)
            std::copy(std::begin(handle), std::end(handle), std::begin(m_handle));
        else
            m_handle = handle;
        m_held = true;
    }

    // Closes the handle now and answers what the close call answered. Only
    // for a holder that holds a handle.
    auto close()
    {
        m_held = false;
        return Close(m_handle);
    }

    const Handle& get() const { return m_handle; }
    explicit operator bool() const { return m_held; }

private:
    Handle m_handle{};
    bool m_held = false;
};
