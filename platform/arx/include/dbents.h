// Stand-in for dbents.h: block references (plain and multi-insert), their
// attributes, and the attribute definitions inside blocks, all built on the
// text entity.
//
// Points are world coordinates at the interface and object coordinates (of
// the entity's normal) inside, as the host keeps them. Setters of a value
// equal to the present one change nothing, so an unchanged property is saved
// exactly as it was read.
//
// Simplifications: refreshing an attribute from its definition does not
// mirror text for negative scale factors (the host's MIRRTEXT handling);
// no text geometry is recomputed from the style (the file's values stand).
#pragma once
#include "acdb.h"
#include "dbmain.h"
#include "gemat3d.h"
#include "gepnt3d.h"
#include "gescl3d.h"
#include "gevec3d.h"

#include <string>
#include <vector>

class AcDbText : public AcDbEntity {
public:
    GW_DECLARE_MEMBERS(AcDbText)
    AcGePoint3d position() const;
    bool isDefaultAlignment() const { return m_hmode == AcDb::kTextLeft && m_vmode == AcDb::kTextBase; }
    AcGeVector3d normal() const { return m_uncommon ? m_uncommon->normal : AcGeVector3d(0, 0, 1); }
    double thickness() const { return m_uncommon ? m_uncommon->thickness : 0; }
    double oblique() const { return m_uncommon ? m_uncommon->oblique : 0; }
    double rotation() const { return m_rotation; }
    double height() const { return m_height; }
    double widthFactor() const { return m_widthFactor; }
    AcDb::TextHorzMode horizontalMode() const { return static_cast<AcDb::TextHorzMode>(m_hmode); }
    AcDb::TextVertMode verticalMode() const { return static_cast<AcDb::TextVertMode>(m_vmode); }
    bool isMirroredInX() const { return (m_generation & 2) != 0; }
    bool isMirroredInY() const { return (m_generation & 4) != 0; }
    // A copy the caller frees (acutDelString).
    char* textString() const;
    Acad::ErrorStatus setTextString(const char* text);
    Acad::ErrorStatus setPosition(const AcGePoint3d& point);

protected:
    AcDbText() = default;

    friend struct AcDbInternals;
    // What nearly every text leaves at its default, held apart and made only
    // when one of them is set: a drawing has millions of attributes.
    struct Uncommon {
        AcGePoint3d alignment; // object coordinates
        AcGeVector3d normal{0, 0, 1};
        double thickness = 0, oblique = 0;
        bool hasAlignment = false;
    };
    std::unique_ptr<Uncommon> m_uncommon;
    AcGePoint3d m_position; // object coordinates
    double m_rotation = 0, m_height = 1, m_widthFactor = 1;
    const std::string* m_style = nullptr; // the database's copy of the name; null: STANDARD
    int m_generation = 0, m_hmode = 0, m_vmode = 0;
    std::string m_text;
};

class AcDbAttributeDefinition : public AcDbText {
public:
    GW_DECLARE_MEMBERS(AcDbAttributeDefinition)
    // Copies the caller frees (acutDelString).
    char* tag() const;
    char* prompt() const;
    bool isInvisible() const { return (m_flags & 1) != 0; }
    bool isConstant() const { return (m_flags & 2) != 0; }
    bool isVerifiable() const { return (m_flags & 4) != 0; }
    bool isPreset() const { return (m_flags & 8) != 0; }
    Adesk::UInt16 fieldLength() const { return m_fieldLength; }

private:
    friend struct AcDbInternals;
    const std::string* m_tag = nullptr; // the database's copy of the name; null: none
    std::string m_prompt;
    int m_flags = 0;
    Adesk::UInt16 m_fieldLength = 0;
};

class AcDbAttribute : public AcDbText {
public:
    GW_DECLARE_MEMBERS(AcDbAttribute)
    // A copy the caller frees (acutDelString).
    char* tag() const;
    bool isInvisible() const { return (m_flags & 1) != 0; }
    bool isConstant() const { return (m_flags & 2) != 0; }
    Adesk::UInt16 fieldLength() const { return m_fieldLength; }
    Acad::ErrorStatus setFieldLength(Adesk::UInt16 length);
    // Takes the definition's text properties (tag, flags, default text,
    // field length, style, height, width factor, oblique angle, alignment)
    // with its position, alignment point and rotation carried through the
    // block transform, as a freshly inserted reference's attribute would have
    // them. The entity's own properties (layer, color) stay.
    Acad::ErrorStatus setAttributeFromBlock(const AcDbAttributeDefinition* definition,
                                            const AcGeMatrix3d& blockTransform);

private:
    friend struct AcDbInternals;
    const std::string* m_tag = nullptr; // the database's copy of the name; null: none
    int m_flags = 0;
    Adesk::UInt16 m_fieldLength = 0;
};

class AcDbBlockReference : public AcDbEntity {
public:
    GW_DECLARE_MEMBERS(AcDbBlockReference)
    AcDbObjectId blockTableRecord() const { return m_block; }
    AcGePoint3d position() const;
    Acad::ErrorStatus setPosition(const AcGePoint3d& point);
    AcGeScale3d scaleFactors() const { return m_scale; }
    // A zero or non-finite factor fails with eInvalidInput.
    Acad::ErrorStatus setScaleFactors(const AcGeScale3d& scale);
    double rotation() const { return m_rotation; }
    Acad::ErrorStatus setRotation(double angle);
    AcGeVector3d normal() const { return m_normal; }
    // Block coordinates to world coordinates: base point to the insertion
    // point, scaled, rotated and placed in the reference's plane.
    AcGeMatrix3d blockTransform() const;
    // A new iterator over the attributes (the caller deletes it).
    AcDbObjectIterator* attributeIterator() const;
    // Opens one of this reference's attributes (eNotInBlock for another id).
    Acad::ErrorStatus openAttribute(AcDbAttribute*& attribute, AcDbObjectId id, AcDb::OpenMode mode,
                                    bool openErasedOne = false);

private:
    friend struct AcDbInternals;
    AcDbObjectId m_block;
    AcGePoint3d m_position; // object coordinates
    AcGeScale3d m_scale;
    double m_rotation = 0;
    AcGeVector3d m_normal{0, 0, 1};
    std::vector<AcDbObjectId> m_attributes;
    AcDbObjectId m_seqend;
};

// A block reference repeated in rows and columns (DXF: an INSERT with row or
// column counts).
class AcDbMInsertBlock : public AcDbBlockReference {
public:
    GW_DECLARE_MEMBERS(AcDbMInsertBlock)
    Adesk::UInt16 columns() const { return m_columns; }
    Adesk::UInt16 rows() const { return m_rows; }
    double columnSpacing() const { return m_columnSpacing; }
    double rowSpacing() const { return m_rowSpacing; }

private:
    friend struct AcDbInternals;
    Adesk::UInt16 m_columns = 1, m_rows = 1;
    double m_columnSpacing = 0, m_rowSpacing = 0;
};
