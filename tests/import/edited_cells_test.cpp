// Import against what export wrote: cells the user left alone change
// nothing, edited ones change only what they hold, cells that give no usable
// number leave the reference as it is, and the run ends with one line that
// says what happened.
#include "automation/value_conversion.h"
#include "import/worksheet_import.h"

#include "import_fixture.h"

#include "res/resource.h"
#include "support/scratch_dir.h"

#include <dbapserv.h>
#include <dbents.h>

#include <comdef.h>

#include <cmath>
#include <numbers>

namespace {

// Block DOOR with NUMBER and WIDTH; reference 1001 on layer 0 and 1002 on
// layer Doors. Full-precision values are set after loading.
std::string Drawing()
{
    DxfBuilder dxf;
    dxf.layer("Doors").layer("Walls");
    dxf.block("DOOR", {{"NUMBER", "Number", ""}, {"WIDTH", "Width", ""}});
    dxf.insert("1001", "DOOR", {{"NUMBER", "n1"}, {"WIDTH", "w1"}}, 1, 1);
    dxf.insert("1002", "DOOR", {{"NUMBER", "n2"}, {"WIDTH", "w2"}}, 4, 4, "model", "Doors");
    return dxf.text();
}

class EditedCells : public ImportTest {
protected:
    void SetUp() override
    {
        ImportTest::SetUp();
        LoadDrawing(Drawing());
        options.IgnoreProps = false;
        // Values that the drawing's four decimals do not show exactly, a
        // rotation of 0.5 radians (shown as 29 degrees), and an attribute
        // that the user moved and put on a layer of its own.
        Change("1001", [](AcDbBlockReference& r) {
            EXPECT_EQ(r.setPosition(AcGePoint3d(1.23456789, -2.123456789, 0.125)), Acad::eOk);
            EXPECT_EQ(r.setRotation(0.5), Acad::eOk);
            EXPECT_EQ(r.setScaleFactors(AcGeScale3d(1.23456789, 2, 1)), Acad::eOk);
        });
        ChangeAttribute("1001", "NUMBER", [](AcDbAttribute& a) {
            EXPECT_EQ(a.setPosition(AcGePoint3d(10, 10, 0)), Acad::eOk);
            EXPECT_EQ(a.setLayer("Walls", false), Acad::eOk);
        });
        Header(1, "Block name");
        Header(2, "NUMBER");
        Header(3, "WIDTH");
        Header(4, "X", IDS_MARKER_X);
        Header(5, "Y", IDS_MARKER_Y);
        Header(6, "Z", IDS_MARKER_Z);
        Header(7, "Rotation", IDS_MARKER_ROTATION);
        Header(8, "Scale X", IDS_MARKER_SCALE_X);
        Header(9, "Scale Y", IDS_MARKER_SCALE_Y);
        Header(10, "Scale Z", IDS_MARKER_SCALE_Z);
        Header(11, "Layer", IDS_MARKER_LAYER);
    }

    template <class F>
    void Change(const char* handle, F change)
    {
        AcDbObjectId id;
        ASSERT_EQ(db->getAcDbObjectId(id, false, AcDbHandle(handle)), Acad::eOk);
        AcDbObjectPointer<AcDbBlockReference> reference(id, AcDb::kForWrite);
        ASSERT_EQ(reference.openStatus(), Acad::eOk);
        change(*reference);
    }

    template <class F>
    void ChangeAttribute(const char* handle, const char* tag, F change)
    {
        Change(handle, [&](AcDbBlockReference& reference) {
            std::unique_ptr<AcDbObjectIterator> it(reference.attributeIterator());
            for (it->start(); !it->done(); it->step()) {
                AcDbObjectPointer<AcDbAttribute> attribute(it->objectId(), AcDb::kForWrite);
                ASSERT_EQ(attribute.openStatus(), Acad::eOk);
                char* text = attribute->tag();
                const bool match = std::string(text) == tag;
                acutDelString(text);
                if (match)
                    change(*attribute);
            }
        });
    }

    // The row export writes for 1001 with every property column on.
    void ExportedRow(int row = 2)
    {
        Text(row, 1, "DOOR");
        Row(row, "1001", {"n1", "w1", "1.2346", "-2.1235", "0.1250", "29", "1.2346", "2.0000", "1.0000", "0"});
    }

    // The whole drawing as DXF: any change made by the import shows here.
    std::string Saved()
    {
        const std::string path = scratch.File("drawing-" + std::to_string(++saves) + ".dxf");
        EXPECT_EQ(db->dxfOut(path.c_str()), Acad::eOk);
        return ReadFileBytes(path);
    }

    ImportOptions options;
    ScratchDir scratch;
    int saves = 0;
};

TEST_F(EditedCells, AnUneditedRowChangesNothingInTheDrawing)
{
    const std::string before = Saved();
    ExportedRow();
    EXPECT_TRUE(ImportFromExcel(options));
    EXPECT_EQ(Saved(), before) << "texts as export wrote them";

    // Without the text format the program holds numbers; they compare with
    // the numbers that export's texts read as.
    const std::pair<int, double> numbers[] = {{4, 1.2346}, {5, -2.1235}, {6, 0.125}, {7, 29},
                                              {8, 1.2346}, {9, 2},       {10, 1}};
    for (const auto& [column, number] : numbers)
        Number(2, column, number);
    EXPECT_TRUE(ImportFromExcel(options));
    EXPECT_EQ(Saved(), before) << "numbers";

    // Coordinates written without their sign are recognised as unedited too.
    options.JTSK = true;
    Text(2, 5, "2.1235");
    EXPECT_TRUE(ImportFromExcel(options));
    EXPECT_EQ(Saved(), before) << "coordinates without their sign";
    EXPECT_NE(commandLine.output.find("\nImport: rows read 1, references changed 0"), std::string::npos)
        << commandLine.output;

    // Without that option the same cell is an edit.
    options.JTSK = false;
    EXPECT_TRUE(ImportFromExcel(options));
    EXPECT_EQ(Position("1001"), AcGePoint3d(1.23456789, 2.1235, 0.125));
}

TEST_F(EditedCells, ANumberOfFifteenDigitsIsTheLongTextExportWrote)
{
    // With eight decimals the X text has sixteen significant digits; the
    // program keeps fifteen of them when the cell holds it as a number.
    ASSERT_EQ(db->setLuprec(8), Acad::eOk);
    Change("1001", [](AcDbBlockReference& r) {
        EXPECT_EQ(r.setPosition(AcGePoint3d(12345678.12345678, -2.123456789, 0.125)), Acad::eOk);
    });
    const std::string before = Saved();
    Text(2, 1, "DOOR");
    Row(2, "1001", {"n1", "w1", "", "-2.12345679", "0.12500000", "29", "1.23456789", "2.00000000", "1.00000000", "0"});
    Number(2, 4, 12345678.1234568);

    EXPECT_TRUE(ImportFromExcel(options));
    EXPECT_EQ(Saved(), before);

    Number(2, 4, 12345678.5);
    EXPECT_TRUE(ImportFromExcel(options));
    EXPECT_EQ(Position("1001"), AcGePoint3d(12345678.5, -2.123456789, 0.125));
}

TEST_F(EditedCells, AnUnchangedAttributeKeepsItsFieldLengthAndTheEditedOneChanges)
{
    Row(2, "1001", {"n1", "new width"});
    auto fieldLengths = [&] {
        std::vector<int> lengths;
        Change("1001", [&](AcDbBlockReference& reference) {
            std::unique_ptr<AcDbObjectIterator> it(reference.attributeIterator());
            for (it->start(); !it->done(); it->step()) {
                AcDbObjectPointer<AcDbAttribute> attribute(it->objectId(), AcDb::kForRead);
                lengths.push_back(attribute->fieldLength());
            }
        });
        return lengths;
    };
    const std::vector<int> before = fieldLengths();

    EXPECT_TRUE(ImportFromExcel(options));

    EXPECT_EQ(AttributeText("1001", "WIDTH"), "new width");
    const std::vector<int> after = fieldLengths();
    ASSERT_EQ(after.size(), 2u);
    EXPECT_EQ(after[0], before[0]) << "NUMBER was not touched";
    EXPECT_EQ(after[1], 9) << "WIDTH took its new text";
    EXPECT_NE(commandLine.output.find("references changed 1"), std::string::npos) << commandLine.output;
}

TEST_F(EditedCells, AnEditedComponentAloneTakesTheCellsNumber)
{
    ExportedRow();
    Text(2, 4, "5");     // X
    Text(2, 9, "3");     // scale Y
    EXPECT_TRUE(ImportFromExcel(options));
    // Y, Z, scale X and scale Z keep their full precision, not the four
    // decimals the cells show.
    EXPECT_EQ(Position("1001"), AcGePoint3d(5, -2.123456789, 0.125));
    EXPECT_EQ(Scale("1001"), AcGeScale3d(1.23456789, 3, 1));
    EXPECT_EQ(Rotation("1001"), 0.5);
    EXPECT_EQ(Layer("1001"), "0");

    // A rotation and a layer that were edited are applied.
    Text(2, 7, "90");
    Text(2, 11, "Doors");
    EXPECT_TRUE(ImportFromExcel(options));
    EXPECT_NEAR(Rotation("1001"), std::numbers::pi / 2, 1e-12);
    EXPECT_EQ(Layer("1001"), "Doors");
    EXPECT_EQ(Position("1001"), AcGePoint3d(5, -2.123456789, 0.125));
}

TEST_F(EditedCells, NumbersThatWouldSpoilTheDrawingAreRefusedAndCounted)
{
    ExportedRow();
    Text(2, 4, "0x10");    // X: hexadecimal
    Text(2, 5, "-0x1p3");  // Y: hexadecimal with a binary exponent
    Text(2, 7, "1e308");   // rotation: a finite number that names no angle
    Text(2, 8, "0");       // scale X of 0
    Number(2, 9, 0);       // scale Y of 0 as a number
    Text(2, 10, "12,5");   // scale Z with a decimal comma
    Text(2, 11, "");       // a blank layer names none
    Row(3, "1002", {"n2", "w2", "1e999", "4.0000", "nan", "", "1.0000", "1.0000", "1.0000", "Doors"});
    Number(3, 7, -1e10);   // rotation
    const std::string before = Saved();

    EXPECT_TRUE(ImportFromExcel(options));

    EXPECT_EQ(Saved(), before);
    EXPECT_NE(commandLine.output.find("cells that could not be read 10 (Sheet1!D2, Sheet1!E2, Sheet1!G2, "
                                      "Sheet1!H2, Sheet1!I2, ...)"),
              std::string::npos)
        << commandLine.output;

    // A large but meaningful rotation is taken.
    Text(2, 7, "720");
    EXPECT_TRUE(ImportFromExcel(options));
    EXPECT_NEAR(std::remainder(Rotation("1001"), 2 * std::numbers::pi), 0, 1e-9);
}

TEST_F(EditedCells, TheSummaryLineCountsRowsReferencesAndNamesSheetsWithoutHandles)
{
    options.ImportSettings = 1;
    ExportedRow(2);
    Text(2, 2, "edited");
    ExportedRow(3);
    Text(3, 2, "edited");
    Text(3, 3, "edited too"); // the same reference again: it counts once
    Row(4, "1002", {"n2", "w2", "4.0000", "4.0000", "0.0000", "0", "1.0000", "1.0000", "1.0000", "Doors"});
    Error(4, 3, kErrorNotAvailable);
    AddSheet();
    Text(2, 2, "no export here", 1);
    AddSheet();
    app->With([&](excelsim::AppData&) {
        book->sheets[2]->SetName(u"My 'notes'");
        return 0;
    });
    Header(2, "NUMBER", 0, 2);
    Row(2, "1002", {"x"}, 2);
    Error(2, 2, kErrorNotAvailable, 2);

    EXPECT_TRUE(ImportFromExcel(options));

    EXPECT_EQ(commandLine.output,
              "\nImport: rows read 4, references changed 1, cells that could not be read 2 (Sheet1!C4, "
              "'My ''notes'''!B2), no handle comment in column A on sheets Sheet2");
    EXPECT_EQ(AttributeText("1001", "NUMBER"), "edited");
    EXPECT_EQ(AttributeText("1001", "WIDTH"), "edited too");
    EXPECT_EQ(AttributeText("1002", "WIDTH"), "w2");
}

} // namespace
