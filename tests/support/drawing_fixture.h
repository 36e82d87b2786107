// A drawing host with one database for tests: the host is installed, the
// database is its working database, and the test ends by checking that no
// drawing object and no selection set was left open.
#pragma once
#include "acdbads.h"
#include "support/leak_checked_test.h"
#include "acedads.h"
#include "acutmem.h"
#include "dbapserv.h"
#include "dbents.h"
#include "dbobjptr.h"
#include "dbsymtb.h"
#include "drawing_host.h"
#include "support/dxf_builder.h"

#include <gtest/gtest.h>

#include <deque>
#include <memory>
#include <string>
#include <vector>

class DrawingTest : public LeakCheckedTest {
protected:
    void SetUp() override;
    void TearDown() override;

    // Replaces the drawing with DXF text; fails the test when it does not load.
    void load(const std::string& dxf);
    void loadFile(const std::string& path);
    // The object of a handle text ("2F"); a null id when there is none.
    AcDbObjectId idOf(const char* handle);
    // Lines the interactive pick reads; what it prints.
    std::deque<std::string> input;
    std::string output;

    DrawingHost host;
    std::unique_ptr<AcDbDatabase> db;
};
