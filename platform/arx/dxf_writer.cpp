// Writing the database back as DXF text.
#include "dbimpl.h"
#include "dxf_reader.h"

#include <algorithm>
#include <cstdio>

std::string DxfWrite(const AcDbDatabase::Imp& d)
{
    std::vector<const AcDbObject*> changed;
    changed.reserve(d.dirty.size());
    for (const AcDbObject* object : d.dirty)
        if (AcDbInternals::spanEnd(*object) > AcDbInternals::spanBegin(*object))
            changed.push_back(object);
    std::sort(changed.begin(), changed.end(), [](const AcDbObject* a, const AcDbObject* b) {
        return AcDbInternals::spanBegin(*a) < AcDbInternals::spanBegin(*b);
    });

    std::string out;
    out.reserve(d.source.size() + changed.size() * 64);
    std::size_t cursor = 0;
    char code[16];
    for (const AcDbObject* object : changed) {
        std::size_t begin = AcDbInternals::spanBegin(*object);
        out.append(d.source, cursor, begin - cursor);
        cursor = AcDbInternals::spanEnd(*object);
        if (object->isErased())
            continue;
        const DxfGroupList* groups = AcDbInternals::groups(*object);
        if (!groups) {
            out.append(d.source, begin, cursor - begin);
            continue;
        }
        for (const DxfGroup& g : groups->groups) {
            if (!g.changed()) { // as read, to the byte
                out += g.lines;
                continue;
            }
            int n = std::snprintf(code, sizeof code, "%3d", g.code);
            out.append(code, static_cast<std::size_t>(n));
            out += d.lineEnding;
            out += g.set;
            out += d.lineEnding;
        }
    }
    out.append(d.source, cursor, std::string::npos);
    return out;
}
