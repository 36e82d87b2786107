#include "host_fixture.h"

#include "app/gwell_app.h"
#include "livelink/live_link.h"

#include <loader.h>
#include <synch.h>

bool ScriptedCommandLine::readLine(std::string& line)
{
    if (input.empty())
        return false;
    line = input.front();
    input.pop_front();
    return true;
}

int RecordingMessageBoxes::show(HWND, const std::string& text, const std::string& caption, UINT type)
{
    boxes.push_back({text, caption, type});
    if (answers.empty())
        return IDOK;
    const int answer = answers.front();
    answers.pop_front();
    return answer;
}

void HostFixture::SetUp()
{
    kernelHandlesBefore = OpenKernelHandleCount();
    host.install();
    host.setCommandLine(&commandLine);
    SetMessageBoxDriver(&messageBoxes);
    SetDialogDriver(&dialogs);
}

void HostFixture::TearDown()
{
    SetMessageBoxDriver(nullptr);
    SetDialogDriver(nullptr);
    EXPECT_TRUE(dialogs.handlers.empty()) << "a dialog the test expected did not open";
    host.unloadApplications();
    EXPECT_EQ(OpenKernelHandleCount(), kernelHandlesBefore) << "a kernel object was left open";
    EXPECT_EQ(host.resourceStackDepth(), 0) << "a resource push was not popped";
}

void HostFixture::Type(std::initializer_list<std::string> lines)
{
    for (const std::string& line : lines)
        commandLine.input.push_back(line);
}

void AttachedModuleFixture::SetUp()
{
    HostFixture::SetUp();
    fakeModule = LoadLibraryA(GW_BIN_DIR "/gwell16res.dll");
    ASSERT_NE(fakeModule, nullptr);
    ASSERT_TRUE(TheGwellApp().AttachProcess(fakeModule));
}

void AttachedModuleFixture::TearDown()
{
    // A keyword may have started the live-link worker; unload would stop it.
    StopLiveLink();
    TheGwellApp().DetachProcess();
    FreeLibrary(fakeModule);
    HostFixture::TearDown();
}
