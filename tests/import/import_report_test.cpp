// The line an Import ends with: each changed reference counted once, however
// many rows and sheets name it, and in whatever order they come.
#include "import/import_report.h"
#include "support/host_fixture.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// The line comes from the resource texts: the module is attached to them.
using ImportReportTest = AttachedModuleFixture;

TEST_F(ImportReportTest, EachChangedReferenceCountsOnce)
{
    ImportReport report;
    for (int i = 0; i < 6; ++i)
        report.RowRead();
    // Rows in turn, a reference named again on its neighbour row, and again
    // on a later sheet after others.
    for (const char* handle : {"2A", "2B", "2B", "3F", "2A", "3F"})
        report.ReferenceChanged(handle);
    EXPECT_NE(report.Line().find("rows read 6, references changed 3"), std::string::npos) << report.Line();

    ImportReport none;
    none.RowRead();
    EXPECT_NE(none.Line().find("rows read 1, references changed 0"), std::string::npos) << none.Line();
}

} // namespace
