// Driver for the drawing interoperability test (drawing_interop_test.py):
// with GW_EDIT_IN, GW_EDIT_OUT and GW_EDIT_SCRIPT set, it loads the drawing,
// applies the script's edits through the drawing update operations and
// saves the result. Script lines:
//   attr HANDLE TAG VALUE     set attribute texts by tag
//   move HANDLE X Y Z         insertion point
//   scale HANDLE X Y Z        scale factors
//   rotate HANDLE RADIANS     rotation
//   layer HANDLE NAME         layer
// Without the variables (a plain test run) there is nothing to do.
#include "support/drawing_fixture.h"

#include "import/drawing_update.h"

#include <cstdlib>
#include <fstream>
#include <sstream>

namespace {

using DrawingEditDriver = DrawingTest;

TEST_F(DrawingEditDriver, AppliesTheScriptToTheDrawing)
{
    const char* in = std::getenv("GW_EDIT_IN");
    const char* out = std::getenv("GW_EDIT_OUT");
    const char* script = std::getenv("GW_EDIT_SCRIPT");
    if (!in || !out || !script)
        GTEST_SKIP() << "driven by drawing_interop_test.py";
    loadFile(in);
    std::ifstream lines(script);
    ASSERT_TRUE(lines) << script;
    std::string line;
    while (std::getline(lines, line)) {
        std::istringstream words(line);
        std::string verb, handle;
        if (!(words >> verb >> handle))
            continue;
        if (verb == "attr") {
            std::string tag, value;
            words >> tag;
            std::getline(words >> std::ws, value);
            UpdateAttributesByTag(handle, {tag}, {value});
        } else if (verb == "move" || verb == "scale") {
            double x = 0, y = 0, z = 0;
            words >> x >> y >> z;
            if (verb == "move")
                SetBlockPosition(handle, AcGePoint3d(x, y, z));
            else
                SetBlockScale(handle, AcGeScale3d(x, y, z));
        } else if (verb == "rotate") {
            double radians = 0;
            words >> radians;
            SetBlockRotation(handle, radians);
        } else if (verb == "layer") {
            std::string name;
            words >> name;
            SetEntityLayer(handle, name);
        } else {
            FAIL() << "unknown edit: " << line;
        }
    }
    ASSERT_EQ(db->dxfOut(out), Acad::eOk) << db->dxfErrorMessage();
}

} // namespace
