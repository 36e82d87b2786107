// A host with the resource module attached, a running spreadsheet program
// with one workbook, and a drawing as the working database: what a full
// import needs. Every test ends with no COM object alive and no drawing
// object open.
#pragma once
#include "support/drawing_fixture.h"
#include "support/host_fixture.h"

#include "com_runtime.h"
#include "excel_context.h"

#include <memory>
#include <string>
#include <vector>

class ImportTest : public AttachedModuleFixture {
protected:
    void SetUp() override;
    void TearDown() override;

    void LoadDrawing(const std::string& dxf);

    // The cells of sheet `sheet` (0-based) of the open workbook.
    void Text(int row, int column, const std::string& text, int sheet = 0);
    void Number(int row, int column, double number, int sheet = 0);
    void Error(int row, int column, SCODE error, int sheet = 0);
    void Comment(int row, int column, const std::string& text, int sheet = 0);
    // A header cell: its label and, for a property column, its marker comment.
    void Header(int column, const std::string& label, UINT markerId = 0, int sheet = 0);
    // A value row: the handle comment in column 1 and texts from column 2 on
    // (an empty text leaves the cell blank).
    void Row(int row, const std::string& handle, const std::vector<std::string>& texts, int sheet = 0);
    void AddSheet();
    void ActivateSheet(int sheet);

    // The drawing, read back.
    std::string AttributeText(const char* handle, const char* tag);
    AcGePoint3d Position(const char* handle);
    AcGeScale3d Scale(const char* handle);
    double Rotation(const char* handle);
    std::string Layer(const char* handle);
    // `read` of the object of `handle` opened as T; `missing` when it does not open.
    template <class T, class R, class F>
    R Read(const char* handle, R missing, F read);

    ComRuntime runtime;
    std::unique_ptr<excelsim::ExcelContext> excel;
    std::shared_ptr<excelsim::ExcelApp> app;
    std::shared_ptr<excelsim::Workbook> book;
    DrawingHost drawingHost;
    std::unique_ptr<AcDbDatabase> db;
    LONG comObjectsAtStart = 0;
};
