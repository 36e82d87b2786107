// AcquireExcel in both modes, in every state of the program.
#include "automation/acquire_excel.h"
#include "automation/excel_ops.h"
#include "support/excel_fixture.h"

namespace {

using excelsim::ExcelInstall;
using AcquireExcelTest = ExcelTest;

TEST_F(AcquireExcelTest, RunningOnlyFindsOnlyARunningProgram)
{
    Excel::_ApplicationPtr app;
    InstallExcel(ExcelInstall::Absent);
    EXPECT_EQ(AcquireExcel(AcquireMode::RunningOnly, app), CO_E_CLASSSTRING);
    EXPECT_FALSE(app);
    InstallExcel(ExcelInstall::Installed);
    EXPECT_EQ(AcquireExcel(AcquireMode::RunningOnly, app), MK_E_UNAVAILABLE);
    EXPECT_FALSE(app);
    EXPECT_TRUE(excel_->Instances().empty()) << "nothing may be started";
    InstallExcel(ExcelInstall::Running);
    EXPECT_EQ(AcquireExcel(AcquireMode::RunningOnly, app), S_OK);
    EXPECT_TRUE(app);
}

TEST_F(AcquireExcelTest, RunningOrNewStartsOnceThenFindsIt)
{
    InstallExcel(ExcelInstall::Installed);
    {
        Excel::_ApplicationPtr app;
        ASSERT_EQ(AcquireExcel(AcquireMode::RunningOrNew, app), S_OK);
        automation::PutVisible(app, true);
    }
    Excel::_ApplicationPtr again;
    ASSERT_EQ(AcquireExcel(AcquireMode::RunningOrNew, again), S_OK);
    EXPECT_EQ(excel_->Instances().size(), 1u);
    EXPECT_TRUE(excel_->Running()->With([](excelsim::AppData& data) { return data.visible; }));

    // Closed between two commands: the next one starts a new instance.
    again = nullptr;
    excel_->Quit(excel_->Running());
    ASSERT_EQ(AcquireExcel(AcquireMode::RunningOrNew, again), S_OK);
    EXPECT_EQ(excel_->Instances().size(), 1u);
    EXPECT_EQ(automation::GetCount(automation::GetWorkbooks(again)), 0);
}

TEST_F(AcquireExcelTest, FailuresLeaveThePointerEmpty)
{
    Excel::_ApplicationPtr app;
    InstallExcel(ExcelInstall::Absent);
    EXPECT_EQ(AcquireExcel(AcquireMode::RunningOrNew, app), CO_E_CLASSSTRING);
    EXPECT_FALSE(app);
    InstallExcel(ExcelInstall::Installed);
    runtime_.FailCall(ComCall::CoCreateInstance, 1, CO_E_SERVER_EXEC_FAILURE);
    EXPECT_EQ(AcquireExcel(AcquireMode::RunningOrNew, app), CO_E_SERVER_EXEC_FAILURE);
    EXPECT_FALSE(app);
    runtime_.FailCall(ComCall::OleRun, 1, E_FAIL);
    EXPECT_EQ(AcquireExcel(AcquireMode::RunningOrNew, app), E_FAIL);
    EXPECT_FALSE(app);
    // An instance whose start failed halfway still runs; a retry finds it.
    runtime_.FailCall(ComCall::GetActiveObject, 1, RPC_E_CALL_REJECTED);
    EXPECT_EQ(AcquireExcel(AcquireMode::RunningOnly, app), RPC_E_CALL_REJECTED);
    EXPECT_EQ(AcquireExcel(AcquireMode::RunningOnly, app), S_OK);
}

} // namespace
