// The one place that writes DXF group codes for tests and benchmarks. The
// drawing builders (dxf_drawing.h: handles counted for the caller;
// dxf_builder.h: handles, release and code page chosen by the test) decide
// what a drawing holds and which handles it gets; this writer decides how each
// record is spelt, so a change to the file format is made once.
#pragma once
#include <cstdio>
#include <string>
#include <string_view>

class DxfWriter {
public:
    // R12 files have no subclass markers and no owner links; later releases do.
    explicit DxfWriter(bool r12 = false)
        : m_r12(r12)
    {
    }

    DxfWriter& group(int code, std::string_view value)
    {
        m_text += std::to_string(code);
        m_text += '\n';
        m_text += value;
        m_text += '\n';
        return *this;
    }
    DxfWriter& number(int code, double value) { return group(code, Number(value)); }
    // A point under codes base, base + 10, base + 20 (10/20/30, 11/21/31).
    DxfWriter& point(double x, double y, double z, int base = 10)
    {
        return number(base, x).number(base + 10, y).number(base + 20, z);
    }
    DxfWriter& subclass(std::string_view name)
    {
        if (!m_r12)
            group(100, name);
        return *this;
    }
    DxfWriter& handle(std::string_view text)
    {
        if (!text.empty())
            group(5, text);
        return *this;
    }

    DxfWriter& beginSection(std::string_view name) { return group(0, "SECTION").group(2, name); }
    DxfWriter& endSection() { return group(0, "ENDSEC"); }

    // The start every entity shares: type, handle, the common subclass, the
    // paper-space flag and the layer.
    DxfWriter& entity(std::string_view type, std::string_view handleText, std::string_view layer,
                      bool paperSpace = false)
    {
        group(0, type).handle(handleText).subclass("AcDbEntity");
        if (paperSpace)
            group(67, "1");
        return group(8, layer);
    }

    struct Text {
        std::string_view handle;
        std::string_view layer = "0";
        bool paperSpace = false;
        double x = 0, y = 0, z = 0;
        double height = 1;
        std::string_view value;
        std::string_view tag;
        int flags = 0;
    };
    DxfWriter& attdef(const Text& text, std::string_view prompt)
    {
        entity("ATTDEF", text.handle, text.layer, text.paperSpace).subclass("AcDbText");
        point(text.x, text.y, text.z).number(40, text.height).group(1, text.value);
        subclass("AcDbAttributeDefinition").group(3, prompt).group(2, text.tag);
        return group(70, std::to_string(text.flags));
    }
    DxfWriter& attrib(const Text& text)
    {
        entity("ATTRIB", text.handle, text.layer, text.paperSpace).subclass("AcDbText");
        point(text.x, text.y, text.z).number(40, text.height).group(1, text.value);
        subclass("AcDbAttribute").group(2, text.tag);
        return group(70, std::to_string(text.flags));
    }
    DxfWriter& seqend(std::string_view handleText, std::string_view layer)
    {
        return entity("SEQEND", handleText, layer);
    }

    // Records written apart (a block's entities, a section built while the
    // caller adds to it) join the file here.
    DxfWriter& append(const DxfWriter& records)
    {
        m_text += records.m_text;
        return *this;
    }

    const std::string& text() const { return m_text; }
    bool r12() const { return m_r12; }

    static std::string Number(double value)
    {
        char buffer[40];
        std::snprintf(buffer, sizeof buffer, "%.10g", value);
        return buffer;
    }
    static std::string Hex(unsigned long value)
    {
        char buffer[24];
        std::snprintf(buffer, sizeof buffer, "%lX", value);
        return buffer;
    }

private:
    bool m_r12;
    std::string m_text;
};
