#include "import_fixture.h"
#include <dbdatabase.h>

#include "common/module_state.h"
#include "common/resource_strings.h"

#include "com_object.h"
#include "codepage.h"
#include "utf8_text.h"

namespace {

std::string TakeString(char* text)
{
    std::string copy = text ? text : "";
    acutDelString(text);
    return copy;
}

} // namespace

void ImportTest::SetUp()
{
    AttachedModuleFixture::SetUp();
    ResetModuleState(); // no diagnostic or queued change left by an earlier test
    comObjectsAtStart = ComLiveObjectCount();
    ComRuntime::Install(&runtime);
    SetAnsiCodePageForHost(CP_UTF8);
    SetUserNumberSeparators(u'.', u',');
    excel = std::make_unique<excelsim::ExcelContext>(excelsim::ExcelInstall::Running);
    excel->Install(runtime);
    app = excel->Running();
    ASSERT_NE(app, nullptr);
    book = app->With([](excelsim::AppData& data) { return data.AddWorkbook(); });
    drawingHost.install();
    db = std::make_unique<AcDbDatabase>();
    drawingHost.setWorkingDatabase(db.get());
}

void ImportTest::TearDown()
{
    EXPECT_EQ(OpenObjectCount(*db), 0) << "drawing objects left open";
    drawingHost.setWorkingDatabase(nullptr);
    book.reset();
    app.reset();
    excel.reset();
    ComRuntime::Install(nullptr);
    EXPECT_EQ(ComLiveObjectCount(), comObjectsAtStart) << "COM objects left alive";
    AttachedModuleFixture::TearDown();
}

void ImportTest::LoadDrawing(const std::string& dxf)
{
    ASSERT_EQ(ReadDxfText(*db, dxf, "test.dxf"), Acad::eOk) << DxfErrorMessage(*db);
}

void ImportTest::Text(int row, int column, const std::string& text, int sheet)
{
    book->sheets.at(static_cast<std::size_t>(sheet))->Update(row, column, [&](excelsim::CellEdit& cell) {
        cell.SetValue({});
        if (!text.empty()) {
            cell.SetValue({excelsim::CellKind::Text, 0, false, 0, Utf16(text)});
        }
    });
}

void ImportTest::Number(int row, int column, double number, int sheet)
{
    book->sheets.at(static_cast<std::size_t>(sheet))->Update(row, column, [&](excelsim::CellEdit& cell) {
        cell.SetValue({excelsim::CellKind::Number, number, false, 0, {}});
    });
}

void ImportTest::Error(int row, int column, SCODE error, int sheet)
{
    book->sheets.at(static_cast<std::size_t>(sheet))->Update(row, column, [&](excelsim::CellEdit& cell) {
        cell.SetValue({excelsim::CellKind::Error, 0, false, error, {}});
    });
}

void ImportTest::Comment(int row, int column, const std::string& text, int sheet)
{
    book->sheets.at(static_cast<std::size_t>(sheet))->Update(
        row, column, [&](excelsim::CellEdit& cell) { cell.SetComment(Utf16(text)); });
}

void ImportTest::Header(int column, const std::string& label, UINT markerId, int sheet)
{
    Text(1, column, label, sheet);
    if (markerId != 0)
        Comment(1, column, ResourceString(markerId), sheet);
}

void ImportTest::Row(int row, const std::string& handle, const std::vector<std::string>& texts, int sheet)
{
    Comment(row, 1, handle, sheet);
    for (std::size_t i = 0; i < texts.size(); ++i)
        Text(row, static_cast<int>(i) + 2, texts[i], sheet);
}

void ImportTest::AddSheet()
{
    app->With([&](excelsim::AppData&) {
        book->sheets.push_back(std::make_shared<excelsim::Sheet>(book->NextSheetName()));
        return 0;
    });
}

void ImportTest::ActivateSheet(int sheet) { book->activeSheet = static_cast<std::size_t>(sheet); }

std::string ImportTest::AttributeText(const char* handle, const char* tag)
{
    AcDbObjectId id;
    if (db->getAcDbObjectId(id, false, AcDbHandle(handle)) != Acad::eOk)
        return "<no object>";
    AcDbObjectPointer<AcDbBlockReference> reference(id, AcDb::kForRead);
    if (reference.openStatus() != Acad::eOk)
        return "<not open>";
    std::unique_ptr<AcDbObjectIterator> it(reference->attributeIterator());
    for (it->start(); !it->done(); it->step()) {
        AcDbObjectPointer<AcDbAttribute> attribute(it->objectId(), AcDb::kForRead);
        if (attribute.openStatus() == Acad::eOk && TakeString(attribute->tag()) == tag)
            return TakeString(attribute->textString());
    }
    return "<no attribute>";
}

template <class T, class R, class F>
R ImportTest::Read(const char* handle, R missing, F read)
{
    AcDbObjectId id;
    db->getAcDbObjectId(id, false, AcDbHandle(handle));
    AcDbObjectPointer<T> object(id, AcDb::kForRead);
    return object.openStatus() == Acad::eOk ? read(*object) : missing;
}

AcGePoint3d ImportTest::Position(const char* handle)
{
    return Read<AcDbBlockReference>(handle, AcGePoint3d(-1e300, 0, 0), [](auto& r) { return r.position(); });
}

AcGeScale3d ImportTest::Scale(const char* handle)
{
    return Read<AcDbBlockReference>(handle, AcGeScale3d(0), [](auto& r) { return r.scaleFactors(); });
}

double ImportTest::Rotation(const char* handle)
{
    return Read<AcDbBlockReference>(handle, -1e300, [](auto& r) { return r.rotation(); });
}

std::string ImportTest::Layer(const char* handle)
{
    return Read<AcDbEntity>(handle, std::string("<not open>"), [](auto& e) { return TakeString(e.layer()); });
}
