// The host's keyword and string input, command stack, timers and events,
// pinned to the behaviour the module relies on.
#include "support/host_fixture.h"
#include "support/leak_checked_test.h"

#include <accmd.h>
#include <acdocman.h>
#include <adslib.h>
#include <synch.h>
#include <timers.h>

#include <atomic>
#include <thread>

namespace {

class HostInput : public HostFixture {
protected:
    int Kword(const char* list, std::string& result, int bits = 0)
    {
        acedInitGet(bits, list);
        char buffer[132];
        int answer = acedGetKword("? ", buffer);
        result = buffer;
        return answer;
    }
};

TEST_F(HostInput, KeywordsMatchLocalNamesGlobalNamesAndUniqueAbbreviations)
{
    const char* list = "Ja Nein Neu _Yes No New";
    std::string result;
    Type({"ja", "_no", "NEU", "Ne", "Nei", "", "^C"});
    EXPECT_EQ(Kword(list, result), RTNORM);
    EXPECT_EQ(result, "Yes");
    EXPECT_EQ(Kword(list, result), RTNORM);
    EXPECT_EQ(result, "No");
    EXPECT_EQ(Kword(list, result), RTNORM);
    EXPECT_EQ(result, "New");
    // "Ne" abbreviates two keywords: asked again, then "Nei" is unique.
    EXPECT_EQ(Kword(list, result), RTNORM);
    EXPECT_EQ(result, "No");
    EXPECT_NE(commandLine.output.find("Invalid option keyword."), std::string::npos);
    EXPECT_EQ(Kword(list, result), RTNONE);
    EXPECT_EQ(Kword(list, result), RTCAN);
    EXPECT_EQ(Kword(list, result), RTCAN) << "end of input cancels";
}

TEST_F(HostInput, NoNullBitRefusesAnEmptyAnswer)
{
    std::string result;
    Type({"", "Yes"});
    EXPECT_EQ(Kword("Yes No", result, RSG_NONULL), RTNORM);
    EXPECT_EQ(result, "Yes");
}

TEST_F(HostInput, GetStringCutsAt132AndStopsAtASpaceUnlessSpacesAreAllowed)
{
    char buffer[133];
    Type({std::string(200, 'x'), "two words", "two words", ""});
    EXPECT_EQ(acedGetString(1, "", buffer), RTNORM);
    EXPECT_EQ(std::string(buffer), std::string(132, 'x'));
    EXPECT_EQ(acedGetString(1, "", buffer), RTNORM);
    EXPECT_STREQ(buffer, "two words");
    EXPECT_EQ(acedGetString(0, "", buffer), RTNORM);
    EXPECT_STREQ(buffer, "two");
    EXPECT_EQ(acedGetString(1, "", buffer), RTNORM);
    EXPECT_STREQ(buffer, "");
    EXPECT_EQ(acedGetString(1, "", buffer), RTCAN);
}

void Noop() { }

TEST_F(HostInput, CommandStackRefusesDuplicatesAndMissingGroups)
{
    AcEdCommandStack* commands = acedRegCmds;
    ASSERT_NE(commands, nullptr);
    EXPECT_EQ(commands->addCommand("G", "one", "eins", ACRX_CMD_MODAL, Noop), Acad::eOk);
    EXPECT_EQ(commands->addCommand("G", "ONE", "uno", ACRX_CMD_MODAL, Noop), Acad::eDuplicateKey);
    EXPECT_TRUE(host.runCommand("eins"));
    EXPECT_TRUE(host.runCommand("_one"));
    EXPECT_FALSE(host.runCommand("two"));
    EXPECT_EQ(commands->removeGroup("g"), Acad::eOk);
    EXPECT_EQ(commands->removeGroup("g"), Acad::eKeyNotFound);
    EXPECT_FALSE(host.runCommand("one"));
}

TEST_F(HostInput, SentStringsAreReadBeforeTheCommandLine)
{
    Type({"typed"});
    acDocManager->sendStringToExecute(nullptr, "gwell\n_import2\n", false, true, true);
    std::string line;
    ASSERT_EQ(HostReadInputLine(line), HostInputResult::Line);
    EXPECT_EQ(line, "gwell");
    ASSERT_EQ(HostReadInputLine(line), HostInputResult::Line);
    EXPECT_EQ(line, "_import2");
    ASSERT_EQ(HostReadInputLine(line), HostInputResult::Line);
    EXPECT_EQ(line, "typed");
}

std::atomic<int> g_ticks{0};
void CALLBACK CountTick(HWND, UINT, UINT_PTR, DWORD) { ++g_ticks; }

using ThreadTimersTest = LeakCheckedTest;

TEST_F(ThreadTimersTest, FireOnlyWhenDispatchedAndStopWhenKilled)
{
    g_ticks = 0;
    EXPECT_EQ(SetTimer(nullptr, 0, 1000, nullptr), 0u);
    const UINT_PTR id = SetTimer(nullptr, 0, 60000, CountTick);
    ASSERT_NE(id, 0u);
    EXPECT_EQ(DispatchDueTimers(), 0) << "a minute has not passed";
    EXPECT_EQ(DispatchDueTimers(true), 1);
    EXPECT_EQ(g_ticks.load(), 1);
    EXPECT_TRUE(KillTimer(nullptr, id));
    EXPECT_FALSE(KillTimer(nullptr, id));
    DispatchDueTimers(true);
    EXPECT_EQ(g_ticks.load(), 1);
}

using EventsTest = LeakCheckedTest;

TEST_F(EventsTest, AutoResetReleasesOneWaitManualResetStaysSet)
{
    HANDLE autoReset = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    HANDLE manual = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    EXPECT_EQ(WaitForSingleObject(autoReset, 0), WAIT_TIMEOUT);
    std::thread setter([autoReset] { SetEvent(autoReset); });
    EXPECT_EQ(WaitForSingleObject(autoReset, INFINITE), WAIT_OBJECT_0);
    setter.join();
    EXPECT_EQ(WaitForSingleObject(autoReset, 0), WAIT_TIMEOUT) << "the wait cleared it";

    SetEvent(manual);
    EXPECT_EQ(WaitForSingleObject(manual, 0), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(manual, 0), WAIT_OBJECT_0);
    ResetEvent(manual);
    EXPECT_EQ(WaitForSingleObject(manual, 10), WAIT_TIMEOUT);

    EXPECT_TRUE(CloseHandle(autoReset));
    EXPECT_TRUE(CloseHandle(manual));
    EXPECT_FALSE(CloseHandle(manual));
    EXPECT_EQ(WaitForSingleObject(manual, 0), WAIT_FAILED);
}

} // namespace
