// Writes small DXF drawings for tests and benchmarks: layers, blocks with
// attribute definitions, and block references with their attributes, each
// object with a handle the test knows.
#pragma once
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

struct DxfAttDef {
    std::string tag;
    std::string prompt;
    std::string text; // default, or the constant value
    bool constant = false;
};

struct DxfAttrib {
    std::string tag;
    std::string text;
};

struct DxfInsert {
    DxfInsert() = default;
    DxfInsert(std::string blockName, std::string layerName = "0", double px = 0, double py = 0, double pz = 0,
              double rotation = 0, double scaleX = 1, double scaleY = 1, double scaleZ = 1,
              std::vector<DxfAttrib> texts = {})
        : block(std::move(blockName)), layer(std::move(layerName)), x(px), y(py), z(pz), rotationDegrees(rotation),
          sx(scaleX), sy(scaleY), sz(scaleZ), attributes(std::move(texts))
    {
    }

    std::string block;
    std::string layer = "0";
    double x = 0, y = 0, z = 0;
    double rotationDegrees = 0;
    double sx = 1, sy = 1, sz = 1;
    std::vector<DxfAttrib> attributes;
    bool paperSpace = false;
};

class DxfDrawing {
public:
    DxfDrawing& layer(const std::string& name)
    {
        m_layers.push_back(name);
        return *this;
    }

    // A block definition; flags 1 makes it anonymous.
    DxfDrawing& block(const std::string& name, std::vector<DxfAttDef> definitions = {}, int flags = 0)
    {
        Emit(m_blocks, 0, "BLOCK");
        Handle(m_blocks);
        Emit(m_blocks, 8, "0");
        Emit(m_blocks, 2, name);
        Emit(m_blocks, 70, std::to_string(flags | (definitions.empty() ? 0 : 2)));
        Point(m_blocks, 0, 0, 0);
        Emit(m_blocks, 3, name);
        double y = 0;
        for (const DxfAttDef& definition : definitions) {
            Emit(m_blocks, 0, "ATTDEF");
            Handle(m_blocks);
            Emit(m_blocks, 8, "0");
            Point(m_blocks, 0, y, 0);
            Emit(m_blocks, 40, "1.0");
            Emit(m_blocks, 1, definition.text);
            Emit(m_blocks, 3, definition.prompt);
            Emit(m_blocks, 2, definition.tag);
            Emit(m_blocks, 70, definition.constant ? "2" : "0");
            y -= 1.5;
        }
        Emit(m_blocks, 0, "ENDBLK");
        Handle(m_blocks);
        Emit(m_blocks, 8, "0");
        return *this;
    }

    // A block reference; returns its handle text.
    std::string insert(const DxfInsert& reference)
    {
        Emit(m_entities, 0, "INSERT");
        const std::string handle = Handle(m_entities);
        Emit(m_entities, 8, reference.layer);
        if (reference.paperSpace)
            Emit(m_entities, 67, "1");
        if (!reference.attributes.empty())
            Emit(m_entities, 66, "1");
        Emit(m_entities, 2, reference.block);
        Point(m_entities, reference.x, reference.y, reference.z);
        Emit(m_entities, 41, Number(reference.sx));
        Emit(m_entities, 42, Number(reference.sy));
        Emit(m_entities, 43, Number(reference.sz));
        Emit(m_entities, 50, Number(reference.rotationDegrees));
        if (reference.attributes.empty())
            return handle;
        for (const DxfAttrib& attribute : reference.attributes) {
            Emit(m_entities, 0, "ATTRIB");
            Handle(m_entities);
            Emit(m_entities, 8, reference.layer);
            if (reference.paperSpace)
                Emit(m_entities, 67, "1");
            Point(m_entities, reference.x, reference.y, reference.z);
            Emit(m_entities, 40, "1.0");
            Emit(m_entities, 1, attribute.text);
            Emit(m_entities, 2, attribute.tag);
            Emit(m_entities, 70, "0");
        }
        Emit(m_entities, 0, "SEQEND");
        Handle(m_entities);
        Emit(m_entities, 8, reference.layer);
        return handle;
    }

    // Header variables as further "9 / code / value" lines, e.g. units.
    DxfDrawing& header(const std::string& variable, int code, const std::string& value)
    {
        Emit(m_header, 9, variable);
        Emit(m_header, code, value);
        return *this;
    }

    std::string text() const
    {
        std::string out;
        Emit(out, 0, "SECTION");
        Emit(out, 2, "HEADER");
        Emit(out, 9, "$ACADVER");
        Emit(out, 1, "AC1009");
        Emit(out, 9, "$HANDLING");
        Emit(out, 70, "1");
        Emit(out, 9, "$HANDSEED");
        Emit(out, 5, Hex(m_nextHandle + 1));
        out += m_header;
        Emit(out, 0, "ENDSEC");
        Emit(out, 0, "SECTION");
        Emit(out, 2, "TABLES");
        Emit(out, 0, "TABLE");
        Emit(out, 2, "LAYER");
        Emit(out, 70, std::to_string(m_layers.size() + 1));
        for (const std::string& name : AllLayers()) {
            Emit(out, 0, "LAYER");
            Emit(out, 2, name);
            Emit(out, 70, "0");
            Emit(out, 62, "7");
            Emit(out, 6, "CONTINUOUS");
        }
        Emit(out, 0, "ENDTAB");
        Emit(out, 0, "ENDSEC");
        Emit(out, 0, "SECTION");
        Emit(out, 2, "BLOCKS");
        out += m_blocks;
        Emit(out, 0, "ENDSEC");
        Emit(out, 0, "SECTION");
        Emit(out, 2, "ENTITIES");
        out += m_entities;
        Emit(out, 0, "ENDSEC");
        Emit(out, 0, "EOF");
        return out;
    }

private:
    std::vector<std::string> AllLayers() const
    {
        std::vector<std::string> all{"0"};
        all.insert(all.end(), m_layers.begin(), m_layers.end());
        return all;
    }
    static void Emit(std::string& out, int code, const std::string& value)
    {
        out += std::to_string(code);
        out += '\n';
        out += value;
        out += '\n';
    }
    static std::string Number(double value)
    {
        char buffer[40];
        std::snprintf(buffer, sizeof buffer, "%.10g", value);
        return buffer;
    }
    static std::string Hex(unsigned value)
    {
        char buffer[20];
        std::snprintf(buffer, sizeof buffer, "%X", value);
        return buffer;
    }
    static void Point(std::string& out, double x, double y, double z)
    {
        Emit(out, 10, Number(x));
        Emit(out, 20, Number(y));
        Emit(out, 30, Number(z));
    }
    std::string Handle(std::string& out)
    {
        const std::string handle = Hex(++m_nextHandle);
        Emit(out, 5, handle);
        return handle;
    }

    std::vector<std::string> m_layers;
    std::string m_header, m_blocks, m_entities;
    unsigned m_nextHandle = 0x100;
};
