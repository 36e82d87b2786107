#include "automation/value_conversion.h"
#include "import/worksheet_import.h"

#include "import_fixture.h"

#include "cmd/command_gwell.h"
#include "import/import.h"
#include "res/resource.h"
#include "settings/settings_registry.h"

#include "excel.tlh"
#include "registry_context.h"

#include <comdef.h>

#include <cmath>
#include <numbers>

namespace {

// Block DOOR with the attributes NUMBER, WIDTH and NOTE; three references on
// layer 0 and a line, with the layers Doors and Walls to move them to.
std::string Drawing()
{
    DxfBuilder dxf;
    dxf.layer("Doors").layer("Walls");
    dxf.block("DOOR", {{"NUMBER", "Number", ""}, {"WIDTH", "Width", ""}, {"NOTE", "Note", ""}});
    for (const char* handle : {"1001", "1002", "1003"})
        dxf.insert(handle, "DOOR", {{"NUMBER", "n"}, {"WIDTH", "w"}, {"NOTE", "o"}}, 1, 1);
    dxf.line("1100");
    return dxf.text();
}

class WorksheetImport : public ImportTest {
protected:
    void SetUp() override
    {
        ImportTest::SetUp();
        LoadDrawing(Drawing());
    }
    bool Import()
    {
        return ImportFromExcel(options);
    }
    void PropertyHeaders(int firstColumn)
    {
        Header(firstColumn, "X", IDS_MARKER_X);
        Header(firstColumn + 1, "Y", IDS_MARKER_Y);
        Header(firstColumn + 2, "Z", IDS_MARKER_Z);
        Header(firstColumn + 3, "Rotation", IDS_MARKER_ROTATION);
        Header(firstColumn + 4, "Scale X", IDS_MARKER_SCALE_X);
        Header(firstColumn + 5, "Scale Y", IDS_MARKER_SCALE_Y);
        Header(firstColumn + 6, "Scale Z", IDS_MARKER_SCALE_Z);
        Header(firstColumn + 7, "Layer", IDS_MARKER_LAYER);
    }

    ImportOptions options;
};

TEST_F(WorksheetImport, AttributeColumnsSetTextsByHeaderTag)
{
    Header(1, "Block name");
    Header(2, "NUMBER");
    Header(3, "WIDTH");
    Header(4, "NUMBER"); // the same tag again: the right-hand column wins
    Row(2, "1001", {"D-1", "", "D-1b"});
    Number(2, 3, 900);
    Row(3, "1002", {"D-2", "", ""});        // WIDTH and the second NUMBER blank
    Row(4, "1003", {"", "850", "D-3"});
    Error(4, 2, kErrorNotAvailable);             // an error value leaves NUMBER alone
    Error(4, 4, kErrorNotAvailable);

    EXPECT_TRUE(Import());

    EXPECT_EQ(AttributeText("1001", "NUMBER"), "D-1b");
    EXPECT_EQ(AttributeText("1001", "WIDTH"), "900");
    EXPECT_EQ(AttributeText("1002", "NUMBER"), ""); // the blank right-hand cell empties it
    EXPECT_EQ(AttributeText("1002", "WIDTH"), "");
    EXPECT_EQ(AttributeText("1003", "NUMBER"), "n");
    EXPECT_EQ(AttributeText("1003", "WIDTH"), "850");
    EXPECT_EQ(AttributeText("1003", "NOTE"), "o"); // no column for it
    EXPECT_TRUE(messageBoxes.boxes.empty());
}

TEST_F(WorksheetImport, TwentyOneRowsWithoutHandleEndTheSheet)
{
    Header(2, "NUMBER");
    Row(2, "1001", {"a"});
    // Rows 3..22 are 20 rows without a handle: the scan goes on to row 23.
    Text(10, 2, "no handle here");
    Row(23, "1002", {"b"});
    // Row 24 is the 21st such row over the sheet: nothing after it is read.
    Row(25, "1003", {"c"});

    Import();

    EXPECT_EQ(AttributeText("1001", "NUMBER"), "a");
    EXPECT_EQ(AttributeText("1002", "NUMBER"), "b");
    EXPECT_EQ(AttributeText("1003", "NUMBER"), "n");
}

TEST_F(WorksheetImport, SecondEmptyHeaderEndsEveryRowsColumnScan)
{
    Header(1, "Block name");
    Header(2, "NUMBER");
    // column 3: the first empty header is passed over
    Header(4, "WIDTH");
    // column 5: the second one ends the scan; NOTE in column 6 is never read
    Header(6, "NOTE");
    Row(2, "1001", {"a", "ignored", "b", "", "c"});

    Import();

    EXPECT_EQ(AttributeText("1001", "NUMBER"), "a");
    EXPECT_EQ(AttributeText("1001", "WIDTH"), "b");
    EXPECT_EQ(AttributeText("1001", "NOTE"), "o");
}

TEST_F(WorksheetImport, StartRowAndStartColumnMoveTheScanButNotHandleOrHeader)
{
    Header(2, "NUMBER");
    Header(3, "WIDTH");
    Row(2, "1001", {"a", "b"});
    Row(3, "1002", {"c", "d"});
    options.StartRow = 3;
    options.StartCol = 3;

    Import();

    EXPECT_EQ(AttributeText("1001", "WIDTH"), "w");
    EXPECT_EQ(AttributeText("1002", "NUMBER"), "n");
    EXPECT_EQ(AttributeText("1002", "WIDTH"), "d");
}

TEST_F(WorksheetImport, FromRowOneAndColumnOneTheHeaderAndHandleCellsAreData)
{
    // Column 1 is scanned like any other: its header makes it an attribute column.
    Header(1, "NOTE");
    Header(2, "NUMBER");
    Row(2, "1001", {"a"});
    Text(2, 1, "note of 1001");
    options.StartRow = 1;
    options.StartCol = 1;

    Import();
    EXPECT_EQ(AttributeText("1001", "NOTE"), "note of 1001");
    EXPECT_EQ(AttributeText("1001", "NUMBER"), "a");
    // The header row had no comment in its first cell, so it was passed over.
    EXPECT_EQ(AttributeText("1002", "NUMBER"), "n");

    // With a handle comment it is read as a row of its own: its texts are the
    // tags. That comment also marks column 1 as a column of no known property.
    Comment(1, 1, "1002");
    Import();
    EXPECT_EQ(AttributeText("1002", "NUMBER"), "NUMBER");
    EXPECT_EQ(AttributeText("1002", "NOTE"), "o");
    EXPECT_EQ(AttributeText("1001", "NOTE"), "note of 1001");
}

TEST_F(WorksheetImport, PropertiesAreAppliedOnlyWhenEnabledInTheirOrder)
{
    Header(2, "NUMBER");
    PropertyHeaders(3);
    // An attribute tagged like a property label: the marked column stays a property column.
    Header(11, "X");
    Row(2, "1001", {"a", "10", "20.5", "-3", "90", "2", "3", "4", "Doors", "not an attribute"});

    Import();
    EXPECT_EQ(AttributeText("1001", "NUMBER"), "a");
    EXPECT_EQ(Position("1001"), AcGePoint3d(1, 1, 0));
    EXPECT_EQ(Rotation("1001"), 0.0);
    EXPECT_EQ(Scale("1001"), AcGeScale3d(1, 1, 1));
    EXPECT_EQ(Layer("1001"), "0");

    options.IgnoreProps = false;
    Import();
    EXPECT_EQ(Position("1001"), AcGePoint3d(10, 20.5, -3));
    EXPECT_NEAR(Rotation("1001"), std::numbers::pi / 2, 1e-12);
    EXPECT_EQ(Scale("1001"), AcGeScale3d(2, 3, 4));
    EXPECT_EQ(Layer("1001"), "Doors");
    // The attributes follow the reference they belong to.
    EXPECT_EQ(Layer("5000"), "Doors");
}

TEST_F(WorksheetImport, IncompletePropertySetsChangeNothing)
{
    options.IgnoreProps = false;
    Header(2, "X", IDS_MARKER_X);
    Header(3, "Y", IDS_MARKER_Y);
    Header(4, "Scale X", IDS_MARKER_SCALE_X);
    Header(5, "Scale Y", IDS_MARKER_SCALE_Y);
    Row(2, "1001", {"10", "20", "5", "5"});

    Import();

    // Two of three coordinates and two of three factors; no rotation or layer column.
    EXPECT_EQ(Position("1001"), AcGePoint3d(1, 1, 0));
    EXPECT_EQ(Scale("1001"), AcGeScale3d(1, 1, 1));
    EXPECT_EQ(Rotation("1001"), 0.0);
    EXPECT_EQ(Layer("1001"), "0");
}

TEST_F(WorksheetImport, ScaleColumnsFillTheFactorsInRowOrderAndAFourthVoidsTheScale)
{
    options.IgnoreProps = false;
    Header(2, "Scale Z", IDS_MARKER_SCALE_Z);
    Header(3, "Scale X", IDS_MARKER_SCALE_X);
    Header(4, "Scale Y", IDS_MARKER_SCALE_Y);
    Row(2, "1001", {"2", "3", "4"});

    Import();
    EXPECT_EQ(Scale("1001"), AcGeScale3d(2, 3, 4));

    Header(5, "Scale again", IDS_MARKER_SCALE_X);
    Row(2, "1001", {"5", "6", "7", "8"});
    Import();
    EXPECT_EQ(Scale("1001"), AcGeScale3d(2, 3, 4));
}

TEST_F(WorksheetImport, CellsWithoutANumberKeepTheReferencesOwnValues)
{
    options.IgnoreProps = false;
    PropertyHeaders(2);
    Row(2, "1001", {"1", "2", "3", "45", "2", "2", "2", "Walls"});
    // Text with a number and a word, a true/false value, a decimal comma,
    // words, blank cells, an error value: none of them is a number.
    Row(3, "1002", {"12.5 m", "", "abc", "", "12,5", "7 units", "", "Doors"});
    book->sheets[0]->Update(3, 3, [](excelsim::CellEdit& cell) {
        cell.SetValue({excelsim::CellKind::Boolean, 0, true, 0, {}});
    });
    Error(3, 5, kErrorNotAvailable);
    // Numbers too large for a double, "inf" and "nan" are no numbers either;
    // the one good coordinate still moves the reference.
    Row(4, "1003", {"1e999", "-1e999", "5", "inf", "nan", "-inf", "1e999", "Doors"});

    Import();

    EXPECT_EQ(Position("1001"), AcGePoint3d(1, 2, 3));
    // Each row starts from its own reference, never from the row before.
    EXPECT_EQ(Position("1002"), AcGePoint3d(1, 1, 0));
    EXPECT_EQ(Rotation("1002"), 0.0);
    EXPECT_EQ(Scale("1002"), AcGeScale3d(1, 1, 1));
    EXPECT_EQ(Layer("1002"), "Doors");
    EXPECT_EQ(Position("1003"), AcGePoint3d(1, 1, 5));
    EXPECT_EQ(Rotation("1003"), 0.0);
    EXPECT_EQ(Scale("1003"), AcGeScale3d(1, 1, 1));
    EXPECT_NE(commandLine.output.find("cells that could not be read 13 (Sheet1!B3, Sheet1!C3, Sheet1!D3, "
                                      "Sheet1!E3, Sheet1!F3, ...)"),
              std::string::npos)
        << commandLine.output;
}

TEST_F(WorksheetImport, RowsNamingNoReferenceChangeOnlyWhatTheyCan)
{
    options.IgnoreProps = false;
    Header(2, "NUMBER");
    Header(3, "X", IDS_MARKER_X);
    Header(4, "Y", IDS_MARKER_Y);
    Header(5, "Z", IDS_MARKER_Z);
    Header(6, "Layer", IDS_MARKER_LAYER);
    Row(2, "nonsense", {"a", "5", "5", "5", "Walls"});
    Row(3, "FFFFF", {"a", "5", "5", "5", "Walls"});
    Row(4, "1100", {"a", "5", "5", "5", "Walls"}); // a line: only its layer changes
    Row(5, "1002", {"a", "5", "5", "5", "Walls"}); // erased before the import
    Row(6, "1003", {"b", "6", "6", "6", "NoSuchLayer"});
    AcDbObjectId id;
    ASSERT_EQ(db->getAcDbObjectId(id, false, AcDbHandle("1002")), Acad::eOk);
    {
        AcDbObjectPointer<AcDbEntity> reference(id, AcDb::kForWrite);
        ASSERT_EQ(reference->erase(), Acad::eOk);
    }

    Import();

    EXPECT_EQ(Layer("1100"), "Walls");
    EXPECT_EQ(AttributeText("1001", "NUMBER"), "n");
    EXPECT_EQ(Position("1003"), AcGePoint3d(6, 6, 6));
    EXPECT_EQ(AttributeText("1003", "NUMBER"), "b");
    EXPECT_EQ(Layer("1003"), "0") << "a layer the drawing does not have";
    AcDbObject* object = nullptr;
    ASSERT_EQ(acdbOpenAcDbObject(object, id, AcDb::kForRead, true), Acad::eOk);
    const auto* reference = AcDbBlockReference::cast(object);
    EXPECT_EQ(reference->position(), AcGePoint3d(1, 1, 0));
    object->close();
}

TEST_F(WorksheetImport, ErrorInALayerCellEndsTheRunAfterTheRowsBefore)
{
    options.IgnoreProps = false;
    Header(2, "NUMBER");
    Header(3, "Layer", IDS_MARKER_LAYER);
    Row(2, "1001", {"a", "Doors"});
    Row(3, "1002", {"b", ""});
    Error(3, 3, kErrorNotAvailable);
    Row(4, "1003", {"c", "Doors"});

    try {
        Import();
        ADD_FAILURE() << "the run went on past the error value";
    } catch (const _com_error& error) {
        EXPECT_EQ(error.Error(), DISP_E_TYPEMISMATCH);
    }
    EXPECT_EQ(Layer("1001"), "Doors");
    EXPECT_EQ(AttributeText("1001", "NUMBER"), "a");
    EXPECT_EQ(AttributeText("1002", "NUMBER"), "n");
    EXPECT_EQ(AttributeText("1003", "NUMBER"), "n");
}

TEST_F(WorksheetImport, ReadsTheActiveSheetOrEveryWorksheet)
{
    AddSheet();
    Header(2, "NUMBER", 0, 0);
    Row(2, "1001", {"first"}, 0);
    Header(2, "NUMBER", 0, 1);
    Row(2, "1002", {"second"}, 1);
    ActivateSheet(1);

    Import();
    EXPECT_EQ(AttributeText("1001", "NUMBER"), "n");
    EXPECT_EQ(AttributeText("1002", "NUMBER"), "second");

    options.ImportSettings = 1;
    Import();
    EXPECT_EQ(AttributeText("1001", "NUMBER"), "first");
}

TEST_F(WorksheetImport, WithoutWorkbookTheRunFailsWithAnInvalidPointer)
{
    app->With([](excelsim::AppData& data) {
        data.workbooks.clear();
        data.activeWorkbook.reset();
        return 0;
    });
    for (int mode : {0, 1}) {
        options.ImportSettings = mode;
        try {
            Import();
            ADD_FAILURE() << "mode " << mode;
        } catch (const _com_error& error) {
            EXPECT_EQ(error.Error(), E_POINTER) << "mode " << mode;
        }
    }
}

TEST_F(WorksheetImport, AutomationCallsGrowLinearlyWithTheRows)
{
    Header(2, "NUMBER");
    Header(3, "WIDTH");
    auto callsFor = [&](int rows) {
        for (int row = 2; row < 2 + rows; ++row)
            Row(row, "1001", {"a", "b"});
        excel->ResetCallCounts();
        Import();
        return static_cast<long long>(excel->TotalCalls());
    };
    const long long few = callsFor(50);
    const long long many = callsFor(150);
    const long long most = callsFor(250);
    EXPECT_GT(many, few);
    EXPECT_EQ(most - many, many - few);
}

class ImportKeyword : public ImportTest {
protected:
    RegistryContext registry;
};

TEST_F(ImportKeyword, ReadsFreshSettingsAndReportsAFailureOnce)
{
    registry.Install();
    LoadDrawing(Drawing());
    Settings settings;
    settings.IgnoreProps = false;
    ASSERT_TRUE(SaveSettings(settings));
    Header(2, "Layer", IDS_MARKER_LAYER);
    Row(2, "1001", {"Walls"});
    Row(3, "1002", {""});
    Error(3, 2, kErrorNotAvailable);

    Type({"Import"});
    CommandGwell();

    EXPECT_EQ(Layer("1001"), "Walls");
    ASSERT_EQ(messageBoxes.boxes.size(), 1u);
    EXPECT_EQ(messageBoxes.boxes[0].text.rfind("COM error!\n", 0), 0u) << messageBoxes.boxes[0].text;
    EXPECT_EQ(registry.OpenKeyCount(), 0);
}

TEST_F(ImportKeyword, WithoutARunningProgramNothingHappensAndNothingShows)
{
    registry.Install();
    LoadDrawing(Drawing());
    Header(2, "NUMBER");
    Row(2, "1001", {"a"});
    excel->Quit(app);

    Type({"Import"});
    CommandGwell();

    EXPECT_EQ(AttributeText("1001", "NUMBER"), "n");
    EXPECT_TRUE(messageBoxes.boxes.empty());
    EXPECT_EQ(commandLine.output.find("Import:"), std::string::npos) << commandLine.output;
    EXPECT_FALSE(RunImport());
}

} // namespace
