// drawing_edit IN.dxf OUT.dxf SCRIPT: loads a drawing, applies the script's
// edits through the module's drawing update operations and saves the result,
// so that the drawing interoperability test can check with ezdxf what those
// operations write. Script lines:
//   attr HANDLE TAG VALUE     set attribute texts by tag
//   move HANDLE X Y Z         insertion point
//   scale HANDLE X Y Z        scale factors
//   rotate HANDLE RADIANS     rotation
//   layer HANDLE NAME         layer
// Exit status 0 when every line was understood and the drawing saved.
#include "import/drawing_update.h"

#include "dbapserv.h"
#include "dbdatabase.h"
#include "drawing_host.h"

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

namespace {

bool ApplyLine(const std::string& line)
{
    std::istringstream words(line);
    std::string verb, handle;
    if (!(words >> verb >> handle))
        return true;
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
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 4) {
        std::fprintf(stderr, "usage: drawing_edit IN.dxf OUT.dxf SCRIPT\n");
        return 2;
    }
    DrawingHost host;
    host.install();
    AcDbDatabase database;
    host.setWorkingDatabase(&database);
    if (database.readDxfFile(argv[1]) != Acad::eOk) {
        std::fprintf(stderr, "drawing_edit: %s\n", DxfErrorMessage(database).c_str());
        return 1;
    }
    std::ifstream lines(argv[3]);
    if (!lines) {
        std::fprintf(stderr, "drawing_edit: cannot read %s\n", argv[3]);
        return 1;
    }
    std::string line;
    while (std::getline(lines, line)) {
        if (!ApplyLine(line)) {
            std::fprintf(stderr, "drawing_edit: unknown edit: %s\n", line.c_str());
            return 1;
        }
    }
    if (OpenObjectCount(database) != 0) {
        std::fprintf(stderr, "drawing_edit: drawing objects left open\n");
        return 1;
    }
    if (database.dxfOut(argv[2]) != Acad::eOk) {
        std::fprintf(stderr, "drawing_edit: %s\n", DxfErrorMessage(database).c_str());
        return 1;
    }
    return 0;
}
