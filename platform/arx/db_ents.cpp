// Text entities, attributes, attribute definitions and block references.
#include "acutmem.h"
#include "dbimpl.h"

#include <cmath>

GW_DEFINE_MEMBERS(AcDbText, AcDbEntity)
GW_DEFINE_MEMBERS(AcDbAttributeDefinition, AcDbText)
GW_DEFINE_MEMBERS(AcDbAttribute, AcDbText)
GW_DEFINE_MEMBERS(AcDbBlockReference, AcDbEntity)
GW_DEFINE_MEMBERS(AcDbMInsertBlock, AcDbBlockReference)

namespace {

// The order of an INSERT's and an ATTRIB's groups, for placing a group the
// record did not have (in R12 files all of them, in later ones those of one
// subclass section).
const std::initializer_list<int> kInsertOrder = {5, 8, 66, 2, 10, 20, 30, 41, 42, 43, 50, 70, 71, 44, 45, 210, 220, 230};
const std::initializer_list<int> kAttribOrder = {5,  8,  39, 10, 20, 30, 40, 1,  2,   70,  73, 50,
                                                 41, 51, 7,  71, 72, 11, 21, 31, 74, 210, 220, 230};
const std::initializer_list<const char*> kInsertClass = {"AcDbBlockReference", "AcDbMInsertBlock"};
const std::initializer_list<const char*> kTextClass = {"AcDbText"};
const std::initializer_list<const char*> kAttribClass = {"AcDbAttribute"};

bool Same(double a, double b)
{
    // Values computed again from the same data may differ in the last bit;
    // such noise is not a change worth writing.
    return std::fabs(a - b) <= 1e-12 * std::max(1.0, std::fabs(a));
}

bool IsZAxis(const AcGeVector3d& n) { return n.x == 0 && n.y == 0 && n.z > 0; }

AcGePoint3d ToWorld(const AcGePoint3d& p, const AcGeVector3d& normal)
{
    return IsZAxis(normal) ? p : AcGeMatrix3d::planeToWorld(normal) * p;
}

AcGePoint3d ToPlane(const AcGePoint3d& p, const AcGeVector3d& normal)
{
    return IsZAxis(normal) ? p : AcGeMatrix3d::worldToPlane(normal) * p;
}

Acad::ErrorStatus BeginSet(AcDbObject& object)
{
    if (!object.isWriteEnabled())
        return Acad::eNotOpenForWrite;
    Acad::ErrorStatus es = Acad::eOk;
    if (AcDbDatabase::Imp* imp = AcDbInternals::imp(object))
        imp->fault(AcDbFault::Setter, es);
    return es;
}

const DxfCodec& CodecOf(const AcDbObject& object)
{
    static const DxfCodec utf8{true, nullptr};
    AcDbDatabase::Imp* imp = AcDbInternals::imp(object);
    return imp ? imp->codec : utf8;
}

void SetDouble(AcDbObject& o, std::initializer_list<const char*> cls, std::initializer_list<int> order, int code,
               double& field, double value)
{
    if (Same(field, value))
        return;
    field = value;
    AcDbInternals::setGroup(o, cls, order, code, DxfFormatDouble(value));
}

// Angles are radians in memory and degrees in the file.
void SetAngle(AcDbObject& o, std::initializer_list<const char*> cls, std::initializer_list<int> order, int code,
              double& field, double value)
{
    double degrees = field * 180.0 / M_PI, wanted = value * 180.0 / M_PI;
    double a = std::fmod(degrees - wanted, 360.0);
    if (Same(a, 0) || Same(std::fabs(a), 360.0))
        return;
    field = value;
    AcDbInternals::setGroup(o, cls, order, code, DxfFormatDouble(wanted));
}

void SetInt(AcDbObject& o, std::initializer_list<const char*> cls, std::initializer_list<int> order, int code,
            int& field, int value)
{
    if (field == value)
        return;
    field = value;
    AcDbInternals::setGroup(o, cls, order, code, std::to_string(value));
}

void SetText(AcDbObject& o, std::initializer_list<const char*> cls, std::initializer_list<int> order, int code,
             std::string& field, std::string_view value)
{
    if (field == value)
        return;
    field = std::string(value);
    AcDbInternals::setGroup(o, cls, order, code, DxfEncodeText(field, CodecOf(o)));
}

// A shared name (DbNames): the object keeps the database's copy.
void SetName(AcDbObject& o, std::initializer_list<const char*> cls, std::initializer_list<int> order, int code,
             const std::string*& field, const std::string& current, std::string_view value)
{
    AcDbDatabase::Imp* imp = AcDbInternals::imp(o);
    if (current == value || !imp)
        return;
    field = imp->names.intern(value);
    AcDbInternals::setGroup(o, cls, order, code, DxfEncodeText(*field, CodecOf(o)));
}

void SetPoint(AcDbObject& o, std::initializer_list<const char*> cls, std::initializer_list<int> order, int code,
              AcGePoint3d& field, const AcGePoint3d& value)
{
    for (unsigned i = 0; i < 3; ++i)
        SetDouble(o, cls, order, code + 10 * static_cast<int>(i), field[i], value[i]);
}

double NormalizeAngle(double angle)
{
    const double turn = 2 * M_PI;
    double a = std::fmod(angle, turn);
    if (a < 0)
        a += turn;
    if (Same(a, turn))
        a = 0;
    return a;
}

} // namespace

// --- text

AcGePoint3d AcDbText::position() const { return ToWorld(m_position, normal()); }
char* AcDbText::textString() const { return DxfNewString(m_text); }

Acad::ErrorStatus AcDbText::setTextString(const char* text)
{
    if (Acad::ErrorStatus es = BeginSet(*this); es != Acad::eOk)
        return es;
    if (!text)
        return Acad::eInvalidInput;
    SetText(*this, kTextClass, kAttribOrder, 1, m_text, text);
    return Acad::eOk;
}

Acad::ErrorStatus AcDbText::setPosition(const AcGePoint3d& point)
{
    if (Acad::ErrorStatus es = BeginSet(*this); es != Acad::eOk)
        return es;
    SetPoint(*this, kTextClass, kAttribOrder, 10, m_position, ToPlane(point, normal()));
    return Acad::eOk;
}

// --- attribute definitions

char* AcDbAttributeDefinition::tag() const { return DxfNewString(AcDbInternals::tag(*this)); }
char* AcDbAttributeDefinition::prompt() const { return DxfNewString(m_prompt); }

// --- attributes

char* AcDbAttribute::tag() const { return DxfNewString(AcDbInternals::tag(*this)); }

Acad::ErrorStatus AcDbAttribute::setFieldLength(Adesk::UInt16 length)
{
    if (Acad::ErrorStatus es = BeginSet(*this); es != Acad::eOk)
        return es;
    int field = m_fieldLength;
    SetInt(*this, kAttribClass, kAttribOrder, 73, field, length);
    m_fieldLength = static_cast<Adesk::UInt16>(field);
    return Acad::eOk;
}

Acad::ErrorStatus AcDbAttribute::setAttributeFromBlock(const AcDbAttributeDefinition* definition,
                                                       const AcGeMatrix3d& blockTransform)
{
    if (Acad::ErrorStatus es = BeginSet(*this); es != Acad::eOk)
        return es;
    if (!definition)
        return Acad::eNullObjectPointer;
    auto& def = const_cast<AcDbAttributeDefinition&>(*definition);
    const AcGeMatrix3d& m = blockTransform;

    // The definition's baseline direction and up direction, in world
    // coordinates, carried through the block transform.
    AcGeVector3d defNormal = def.normal();
    AcGeMatrix3d defPlane = AcGeMatrix3d::planeToWorld(defNormal);
    double r = AcDbInternals::rotation(def);
    AcGeVector3d dir = m * (defPlane * AcGeVector3d(std::cos(r), std::sin(r), 0));
    AcGeVector3d up = m * (defPlane * AcGeVector3d(-std::sin(r), std::cos(r), 0));
    AcGeVector3d newNormal = (m * defNormal).normal();
    if (newNormal.length() == 0)
        return Acad::eDegenerateGeometry;
    AcGeVector3d dirInPlane = AcGeMatrix3d::worldToPlane(newNormal) * dir;
    double dirLength = dir.length(), upLength = up.length();
    if (dirLength == 0 || upLength == 0)
        return Acad::eDegenerateGeometry;

    SetName(*this, kAttribClass, kAttribOrder, 2, m_tag, AcDbInternals::tag(*this), AcDbInternals::tag(def));
    SetInt(*this, kAttribClass, kAttribOrder, 70, m_flags, AcDbInternals::flags(def) & 0x0F);
    int fieldLength = m_fieldLength;
    SetInt(*this, kAttribClass, kAttribOrder, 73, fieldLength, AcDbInternals::fieldLength(def));
    m_fieldLength = static_cast<Adesk::UInt16>(fieldLength);
    SetName(*this, kTextClass, kAttribOrder, 7, m_style, AcDbInternals::style(*this), AcDbInternals::style(def));
    SetInt(*this, kTextClass, kAttribOrder, 71, m_generation, AcDbInternals::generation(def));
    SetInt(*this, kTextClass, kAttribOrder, 72, m_hmode, AcDbInternals::hmode(def));
    SetInt(*this, kAttribClass, kAttribOrder, 74, m_vmode, AcDbInternals::vmode(def));
    // The seldom-set values are made only when they change.
    double oblique = this->oblique(), thickness = this->thickness();
    SetAngle(*this, kTextClass, kAttribOrder, 51, oblique, def.oblique());
    SetDouble(*this, kTextClass, kAttribOrder, 39, thickness, def.thickness());
    if (oblique != this->oblique())
        AcDbInternals::oblique(*this) = oblique;
    if (thickness != this->thickness())
        AcDbInternals::thickness(*this) = thickness;
    SetDouble(*this, kTextClass, kAttribOrder, 40, m_height, AcDbInternals::height(def) * upLength);
    SetDouble(*this, kTextClass, kAttribOrder, 41, m_widthFactor,
              AcDbInternals::widthFactor(def) * dirLength / upLength);
    SetAngle(*this, kTextClass, kAttribOrder, 50, m_rotation, NormalizeAngle(std::atan2(dirInPlane.y, dirInPlane.x)));
    if (!newNormal.isEqualTo(normal(), 1e-12)) {
        for (unsigned i = 0; i < 3; ++i) {
            double field = normal()[i];
            SetDouble(*this, kTextClass, kAttribOrder, 210 + 10 * static_cast<int>(i), field, newNormal[i]);
        }
        AcDbInternals::normal(*this) = newNormal;
    }
    AcGePoint3d worldPosition = m * ToWorld(AcDbInternals::position(def), defNormal);
    SetPoint(*this, kTextClass, kAttribOrder, 10, m_position, ToPlane(worldPosition, normal()));
    if (AcDbInternals::hasAlignmentOf(def) || !def.isDefaultAlignment()) {
        AcGePoint3d worldAlignment = m * ToWorld(AcDbInternals::alignmentOf(def), defNormal);
        SetPoint(*this, kTextClass, kAttribOrder, 11, AcDbInternals::alignment(*this), ToPlane(worldAlignment, normal()));
        AcDbInternals::hasAlignment(*this) = true;
    } else if (AcDbInternals::hasAlignmentOf(*this)) {
        // Left-aligned text carries its alignment point on its position.
        SetPoint(*this, kTextClass, kAttribOrder, 11, AcDbInternals::alignment(*this), m_position);
    }
    SetText(*this, kTextClass, kAttribOrder, 1, m_text, AcDbInternals::textString(def));
    return Acad::eOk;
}

// --- block references

AcGePoint3d AcDbBlockReference::position() const { return ToWorld(m_position, m_normal); }

Acad::ErrorStatus AcDbBlockReference::setPosition(const AcGePoint3d& point)
{
    if (Acad::ErrorStatus es = BeginSet(*this); es != Acad::eOk)
        return es;
    if (!std::isfinite(point.x) || !std::isfinite(point.y) || !std::isfinite(point.z))
        return Acad::eInvalidInput;
    SetPoint(*this, kInsertClass, kInsertOrder, 10, m_position, ToPlane(point, m_normal));
    return Acad::eOk;
}

Acad::ErrorStatus AcDbBlockReference::setScaleFactors(const AcGeScale3d& scale)
{
    if (Acad::ErrorStatus es = BeginSet(*this); es != Acad::eOk)
        return es;
    for (unsigned i = 0; i < 3; ++i)
        if (scale[i] == 0 || !std::isfinite(scale[i]))
            return Acad::eInvalidInput;
    for (unsigned i = 0; i < 3; ++i)
        SetDouble(*this, kInsertClass, kInsertOrder, 41 + static_cast<int>(i), m_scale[i], scale[i]);
    return Acad::eOk;
}

Acad::ErrorStatus AcDbBlockReference::setRotation(double angle)
{
    if (Acad::ErrorStatus es = BeginSet(*this); es != Acad::eOk)
        return es;
    if (!std::isfinite(angle))
        return Acad::eInvalidInput;
    SetAngle(*this, kInsertClass, kInsertOrder, 50, m_rotation, angle);
    return Acad::eOk;
}

AcGeMatrix3d AcDbBlockReference::blockTransform() const
{
    AcGePoint3d origin;
    if (!m_block.isNull())
        if (auto* record = AcDbBlockTableRecord::cast(m_block.stub()->object))
            origin = record->origin();
    AcGeMatrix3d m = AcGeMatrix3d::translation(m_position.asVector())
        * AcGeMatrix3d::rotation(m_rotation, AcGeVector3d::kZAxis) * AcGeMatrix3d::scaling(m_scale)
        * AcGeMatrix3d::translation(-origin.asVector());
    if (!IsZAxis(m_normal))
        m = AcGeMatrix3d::planeToWorld(m_normal) * m;
    return m;
}

AcDbObjectIterator* AcDbBlockReference::attributeIterator() const { return new AcDbObjectIterator(m_attributes); }

Acad::ErrorStatus AcDbBlockReference::openAttribute(AcDbAttribute*& attribute, AcDbObjectId id, AcDb::OpenMode mode,
                                                    bool openErasedOne)
{
    attribute = nullptr;
    bool mine = false;
    for (AcDbObjectId a : m_attributes)
        mine = mine || a == id;
    if (!mine)
        return id.isNull() ? Acad::eNullObjectId : Acad::eNotInBlock;
    return acdbOpenObject(attribute, id, mode, openErasedOne);
}
