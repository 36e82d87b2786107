// Writing the database back as DXF text.
#include "dbimpl.h"
#include "dxf_reader.h"
#include "file_replace.h"

#include <algorithm>
#include <cstdio>

namespace {

template <class Sink>
void WriteDxf(const AcDbDatabase::Imp& d, Sink& out)
{
    std::vector<const AcDbObject*> changed;
    changed.reserve(d.dirty.size());
    for (const AcDbObject* object : d.dirty)
        if (AcDbInternals::spanEnd(*object) > AcDbInternals::spanBegin(*object))
            changed.push_back(object);
    std::sort(changed.begin(), changed.end(), [](const AcDbObject* a, const AcDbObject* b) {
        return AcDbInternals::spanBegin(*a) < AcDbInternals::spanBegin(*b);
    });

    const std::string_view source = d.source;
    std::size_t cursor = 0;
    char code[16];
    for (const AcDbObject* object : changed) {
        std::size_t begin = AcDbInternals::spanBegin(*object);
        out.append(source.substr(cursor, begin - cursor));
        cursor = AcDbInternals::spanEnd(*object);
        if (object->isErased())
            continue;
        const DxfGroupList* groups = AcDbInternals::groups(*object);
        if (!groups) {
            out.append(source.substr(begin, cursor - begin));
            continue;
        }
        for (const DxfGroup& g : groups->groups) {
            if (!g.changed()) { // as read, to the byte
                out.append(g.lines);
                continue;
            }
            int n = std::snprintf(code, sizeof code, "%3d", g.code);
            out.append(std::string_view(code, static_cast<std::size_t>(n)));
            out.append(d.lineEnding);
            out.append(g.set);
            out.append(d.lineEnding);
        }
    }
    out.append(source.substr(cursor));
}

struct StringSink {
    std::string& text;
    void append(std::string_view piece) { text.append(piece); }
};

// Gathers the small pieces of changed records into writes of a useful
// size; the long runs of unchanged records go out straight from the source.
class FdSink {
public:
    explicit FdSink(int fd)
        : m_fd(fd)
    {
        m_buffer.reserve(kBuffer);
    }
    void append(std::string_view piece)
    {
        if (!m_ok)
            return;
        if (m_buffer.size() + piece.size() > kBuffer)
            flush();
        if (piece.size() >= kBuffer)
            m_ok = WriteAll(m_fd, piece);
        else
            m_buffer.append(piece);
    }
    bool finish()
    {
        flush();
        return m_ok;
    }

private:
    void flush()
    {
        if (m_ok && !m_buffer.empty())
            m_ok = WriteAll(m_fd, m_buffer);
        m_buffer.clear();
    }
    static constexpr std::size_t kBuffer = std::size_t(1) << 20;
    int m_fd;
    std::string m_buffer;
    bool m_ok = true;
};

} // namespace

std::string DxfWrite(const AcDbDatabase::Imp& d)
{
    std::string text;
    text.reserve(d.source.size() + d.dirty.size() * 64);
    StringSink sink{text};
    WriteDxf(d, sink);
    return text;
}

bool DxfWriteTo(const AcDbDatabase::Imp& d, int fd)
{
    FdSink sink(fd);
    WriteDxf(d, sink);
    return sink.finish();
}
