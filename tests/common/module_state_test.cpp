#include "common/module_state.h"
#include "support/leak_checked_test.h"

#include <synch.h>

#include <gtest/gtest.h>

namespace {

using ModuleStateTest = LeakCheckedTest;

TEST_F(ModuleStateTest, ResetStartsAfreshAndClosesTheImportSignal)
{
    ResetModuleState();
    const int handlesBefore = OpenKernelHandleCount();
    ModuleState& state = TheModuleState();
    EXPECT_EQ(&state, &TheModuleState()) << "one owner until a reset";

    state.currentRow = 40;
    state.selectedReferences.append(AcDbObjectId());
    state.layerFilter = {.on = true, .layers = {"Doors"}};
    state.changeQueue.Append({2, 5, "Sheet1", "Book1"});
    state.importRunning = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    state.lastDiagnostic = "Acad::ErrorStatus = 5";
    ASSERT_EQ(OpenKernelHandleCount(), handlesBefore + 1);

    ResetModuleState();
    const ModuleState& fresh = TheModuleState();
    EXPECT_EQ(fresh.currentRow, 1);
    EXPECT_TRUE(fresh.selectedReferences.isEmpty());
    EXPECT_FALSE(fresh.layerFilter.on);
    EXPECT_TRUE(fresh.layerFilter.layers.empty());
    EXPECT_TRUE(fresh.changeQueue.Empty());
    EXPECT_EQ(fresh.importRunning, nullptr);
    EXPECT_TRUE(fresh.lastDiagnostic.empty());
    EXPECT_EQ(OpenKernelHandleCount(), handlesBefore) << "the dropped state's signal stays open";
}

} // namespace
