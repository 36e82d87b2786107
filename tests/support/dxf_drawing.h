// Writes small DXF drawings for tests and benchmarks: layers, blocks with
// attribute definitions, and block references with their attributes, each
// object with a handle the test knows.
#pragma once
#include "dxf_writer.h"

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
        m_blocks.entity("BLOCK", NextHandle(), "0");
        m_blocks.group(2, name).group(70, std::to_string(flags | (definitions.empty() ? 0 : 2)));
        m_blocks.point(0, 0, 0).group(3, name);
        double y = 0;
        for (const DxfAttDef& definition : definitions) {
            const std::string handle = NextHandle();
            m_blocks.attdef({.handle = handle,
                             .y = y,
                             .value = definition.text,
                             .tag = definition.tag,
                             .flags = definition.constant ? 2 : 0},
                            definition.prompt);
            y -= 1.5;
        }
        m_blocks.entity("ENDBLK", NextHandle(), "0");
        return *this;
    }

    // A block reference; returns its handle text.
    std::string insert(const DxfInsert& reference)
    {
        const std::string handle = NextHandle();
        m_entities.entity("INSERT", handle, reference.layer, reference.paperSpace);
        if (!reference.attributes.empty())
            m_entities.group(66, "1");
        m_entities.group(2, reference.block).point(reference.x, reference.y, reference.z);
        m_entities.number(41, reference.sx).number(42, reference.sy).number(43, reference.sz);
        m_entities.number(50, reference.rotationDegrees);
        if (reference.attributes.empty())
            return handle;
        for (const DxfAttrib& attribute : reference.attributes) {
            const std::string attributeHandle = NextHandle();
            m_entities.attrib({.handle = attributeHandle,
                               .layer = reference.layer,
                               .paperSpace = reference.paperSpace,
                               .x = reference.x,
                               .y = reference.y,
                               .z = reference.z,
                               .value = attribute.text,
                               .tag = attribute.tag});
        }
        m_entities.seqend(NextHandle(), reference.layer);
        return handle;
    }

    // Header variables as further "9 / code / value" lines, e.g. units.
    DxfDrawing& header(const std::string& variable, int code, const std::string& value)
    {
        m_header.group(9, variable).group(code, value);
        return *this;
    }

    std::string text() const
    {
        DxfWriter out(true);
        out.beginSection("HEADER");
        out.group(9, "$ACADVER").group(1, "AC1009");
        out.group(9, "$HANDLING").group(70, "1");
        out.group(9, "$HANDSEED").group(5, DxfWriter::Hex(m_nextHandle + 1));
        out.append(m_header).endSection();
        out.beginSection("TABLES");
        out.group(0, "TABLE").group(2, "LAYER").group(70, std::to_string(m_layers.size() + 1));
        for (const std::string& name : AllLayers())
            out.group(0, "LAYER").group(2, name).group(70, "0").group(62, "7").group(6, "CONTINUOUS");
        out.group(0, "ENDTAB").endSection();
        out.beginSection("BLOCKS").append(m_blocks).endSection();
        out.beginSection("ENTITIES").append(m_entities).endSection();
        out.group(0, "EOF");
        return out.text();
    }

private:
    std::vector<std::string> AllLayers() const
    {
        std::vector<std::string> all{"0"};
        all.insert(all.end(), m_layers.begin(), m_layers.end());
        return all;
    }
    std::string NextHandle() { return DxfWriter::Hex(++m_nextHandle); }

    std::vector<std::string> m_layers;
    DxfWriter m_header{true}, m_blocks{true}, m_entities{true};
    unsigned long m_nextHandle = 0x100;
};
