// Every failure that leaves a command body is shown once, by kind, and the
// command ends normally.
#include "support/host_fixture.h"

#include "common/resource_strings.h"
#include "cmd/command_guard.h"
#include "cmd/command_guard.h"
#include "cmd/command_gwell.h"
#include "cmd/command_gwtest.h"
#include "res/resource.h"

#include <afxwin.h>
#include <com_object.h>
#include <comdef.h>

#include <stdexcept>

namespace {

class CommandGuardTest : public AttachedModuleFixture {
protected:
    void TearDown() override
    {
        EXPECT_EQ(ComLiveObjectCount(), 0);
        AttachedModuleFixture::TearDown();
    }
};

TEST_F(CommandGuardTest, ComErrorIsShownAsTheFiveLineReport)
{
    GuardCommand([] { _com_issue_error(E_FAIL); }, GuardFallback::ResourceTexts);
    ASSERT_EQ(messageBoxes.boxes.size(), 1u);
    EXPECT_EQ(messageBoxes.boxes[0].text.rfind("COM error!\nCode = 80004005\n", 0), 0u);
    EXPECT_EQ(messageBoxes.boxes[0].caption, AfxGetAppName());
}

TEST_F(CommandGuardTest, OleAndDispatchExceptionsAreShownAndFreed)
{
    GuardCommand([] { AfxThrowOleException(static_cast<SCODE>(0x800a01a8)); }, GuardFallback::ResourceTexts);
    GuardCommand([] { AfxThrowOleDispatchException(7, "Sheet is protected"); }, GuardFallback::ResourceTexts);
    ASSERT_EQ(messageBoxes.boxes.size(), 2u);
    EXPECT_EQ(messageBoxes.boxes[0].text, "Ole Error : 0x800A01A8");
    EXPECT_EQ(messageBoxes.boxes[1].text, "Dispatch error : Sheet is protected");
}

TEST_F(CommandGuardTest, AnyOtherExceptionGivesOneBoxWithTheResourceTexts)
{
    GuardCommand([] { throw std::runtime_error("boom"); }, GuardFallback::ResourceTexts);
    GuardCommand([] { throw 42; }, GuardFallback::FixedTexts);
    ASSERT_EQ(messageBoxes.boxes.size(), 2u);
    EXPECT_EQ(messageBoxes.boxes[0].text, ResourceString(IDS_UNEXPECTED_ERROR));
    EXPECT_EQ(messageBoxes.boxes[0].caption, ResourceString(IDS_ERROR_TEXT));
    EXPECT_EQ(messageBoxes.boxes[0].type, MB_OK | MB_ICONERROR);
    EXPECT_EQ(messageBoxes.boxes[1].text, "ERROR: general exception found.");
    EXPECT_EQ(messageBoxes.boxes[1].caption, "Error");
}

TEST_F(CommandGuardTest, GwellRestoresTheResourceSourceAfterAnException)
{
    // The command pushes the resource module for its run and pops it on
    // every way out; TearDown checks the stack is empty again.
    Type({"Export4"});
    CommandGwell();
    EXPECT_EQ(host.resourceStackDepth(), 0);
    EXPECT_TRUE(messageBoxes.boxes.empty());
}

TEST_F(CommandGuardTest, GwtestPrintsItsTraceLines)
{
    CommandGwtest();
    EXPECT_NE(commandLine.output.find("\nDEBUG: .\\cmd\\cmdtest ("), std::string::npos);
}

} // namespace
