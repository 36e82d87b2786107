// gwtest walks through the spreadsheet connection with trace lines.
#include "support/host_fixture.h"

#include "cmd/command_gwtest.h"
#include "excel_context.h"

#include <com_object.h>
#include <com_runtime.h>

namespace {

class GwtestCommand : public AttachedModuleFixture {
protected:
    void SetUp() override
    {
        AttachedModuleFixture::SetUp();
        ComRuntime::Install(&runtime);
    }
    void TearDown() override
    {
        excel.reset();
        ComRuntime::Install(nullptr);
        EXPECT_EQ(ComLiveObjectCount(), 0);
        AttachedModuleFixture::TearDown();
    }
    void Install(excelsim::ExcelInstall state)
    {
        excel = std::make_unique<excelsim::ExcelContext>(state);
        excel->Install(runtime);
    }

    ComRuntime runtime;
    std::unique_ptr<excelsim::ExcelContext> excel;
};

TEST_F(GwtestCommand, StartsTheProgramMakesItVisibleAndActivatesANewWorkbook)
{
    Install(excelsim::ExcelInstall::Installed);
    CommandGwtest();
    EXPECT_TRUE(messageBoxes.boxes.empty());
    auto running = excel->Running();
    ASSERT_TRUE(running);
    running->With([](excelsim::AppData& data) {
        EXPECT_TRUE(data.visible);
        EXPECT_TRUE(data.interactive);
        ASSERT_EQ(data.workbooks.size(), 1u);
        EXPECT_EQ(data.activeWorkbook, data.workbooks.front());
    });
    // A trace line before and after each step.
    std::size_t traces = 0;
    for (std::size_t at = commandLine.output.find("\nDEBUG: .\\cmd\\cmdtest ("); at != std::string::npos;
         at = commandLine.output.find("\nDEBUG: .\\cmd\\cmdtest (", at + 1))
        ++traces;
    EXPECT_GE(traces, 10u);
}

TEST_F(GwtestCommand, KeepsTheActiveWorkbookOfARunningProgram)
{
    Install(excelsim::ExcelInstall::Running);
    excel->Running()->With([](excelsim::AppData& data) { data.AddWorkbook(); });
    CommandGwtest();
    excel->Running()->With([](excelsim::AppData& data) { EXPECT_EQ(data.workbooks.size(), 1u); });
    EXPECT_TRUE(messageBoxes.boxes.empty());
}

TEST_F(GwtestCommand, AbsentProgramGivesTheFailureBox)
{
    Install(excelsim::ExcelInstall::Absent);
    CommandGwtest();
    ASSERT_EQ(messageBoxes.boxes.size(), 1u);
    EXPECT_EQ(messageBoxes.boxes[0].text, "ERROR: Failed to to obtain Excel object.");
    EXPECT_EQ(messageBoxes.boxes[0].caption, "Error");
}

TEST_F(GwtestCommand, ProgramThatWillNotRunGivesTheFailureBoxAndLeavesNothingAlive)
{
    Install(excelsim::ExcelInstall::Installed);
    runtime.FailCall(ComCall::OleRun, 1, CO_E_SERVER_EXEC_FAILURE);
    CommandGwtest();
    ASSERT_EQ(messageBoxes.boxes.size(), 1u);
    EXPECT_EQ(messageBoxes.boxes[0].text, "ERROR: Failed to to obtain Excel object.");
}

} // namespace
