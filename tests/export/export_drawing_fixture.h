// A host with the module attached, a per-user registry and a drawing built
// from DXF text as the working database; every test ends with nothing left
// open in the drawing and no selection set left allocated.
#pragma once
#include "support/dxf_drawing.h"
#include "support/host_fixture.h"

#include <dbdatabase.h>
#include <drawing_host.h>
#include <registry_context.h>

#include <memory>

class ExportDrawingFixture : public AttachedModuleFixture {
protected:
    void SetUp() override
    {
        AttachedModuleFixture::SetUp();
        registry.Install();
        drawingHost.install();
        drawingHost.setPromptIO(
            [this](std::string& line) {
                if (commandLine.input.empty())
                    return false;
                line = commandLine.input.front();
                commandLine.input.pop_front();
                return line != "^C";
            },
            [this](const std::string& text) { commandLine.output += text; });
    }
    void TearDown() override
    {
        if (database) {
            EXPECT_EQ(OpenObjectCount(*database), 0) << "a drawing object was left open";
        }
        EXPECT_EQ(drawingHost.openSelectionSetCount(), 0) << "a selection set was not freed";
        drawingHost.setWorkingDatabase(nullptr);
        AttachedModuleFixture::TearDown();
    }

    // Makes the drawing the working database.
    void Load(const DxfDrawing& drawing)
    {
        database = std::make_unique<AcDbDatabase>(false);
        ASSERT_EQ(ReadDxfText(*database, drawing.text(), "test.dxf"), Acad::eOk) << DxfErrorMessage(*database);
        drawingHost.setWorkingDatabase(database.get());
    }

    AcDbObjectId IdOf(const std::string& handle) const
    {
        AcDbObjectId id;
        database->getAcDbObjectId(id, false, AcDbHandle(handle.c_str()));
        return id;
    }

    RegistryContext registry;
    DrawingHost drawingHost;
    std::unique_ptr<AcDbDatabase> database;
};
