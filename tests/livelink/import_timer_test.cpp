#include "support/host_fixture.h"
#include "support/leak_checked_test.h"

#include "common/module_state.h"
#include "livelink/import_timer.h"

#include <acdocman.h>

namespace {

class ImportTimerTest : public HostFixture {
protected:
    void SetUp() override
    {
        HostFixture::SetUp();
        ResetModuleState();
        TheModuleState().importRunning = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    }
    void TearDown() override
    {
        ResetModuleState();
        HostFixture::TearDown();
    }
    // The lines the timer sent to the document, as the host will read them.
    std::vector<std::string> SentLines()
    {
        std::vector<std::string> lines;
        std::string line;
        while (HostReadInputLine(line) == HostInputResult::Line)
            lines.push_back(line);
        return lines;
    }
};

TEST_F(ImportTimerTest, QueuedChangeInAQuiescentDocumentSendsTheImportCommand)
{
    AcApDocument* document = host.openDocument(nullptr, "a.dxf");
    TheModuleState().changeQueue.Append({2, 5, "Door", "Book1"});
    ImportTimerProc(nullptr, 0, 0, 0);
    EXPECT_EQ(SentLines(), (std::vector<std::string>{"gwell", "_import2"}));
    EXPECT_EQ(TheModuleState().changeQueue.Count(), 1u) << "the import drains the queue, not the timer";
    host.closeDocument(document);
}

TEST_F(ImportTimerTest, NothingIsSentWhileIdleBusyOrImporting)
{
    ImportTimerProc(nullptr, 0, 0, 0); // no document, empty queue
    AcApDocument* document = host.openDocument(nullptr, "a.dxf");
    ImportTimerProc(nullptr, 0, 0, 0); // empty queue
    EXPECT_TRUE(SentLines().empty());

    TheModuleState().changeQueue.Append({1, 2, "S", "B"});
    SetEvent(TheModuleState().importRunning);
    ImportTimerProc(nullptr, 0, 0, 0);
    EXPECT_TRUE(SentLines().empty()) << "an import is running";
    ResetEvent(TheModuleState().importRunning);

    document->beginCommand();
    ImportTimerProc(nullptr, 0, 0, 0);
    EXPECT_TRUE(SentLines().empty()) << "a command is active in the document";
    document->endCommand();
    host.closeDocument(document);
}

using ChangeQueueTest = LeakCheckedTest;

TEST_F(ChangeQueueTest, TakesFromTheTail)
{
    ChangeQueue queue;
    queue.Append({1, 1, "S", "B"});
    queue.Append({2, 2, "S", "B"});
    EXPECT_EQ(queue.TakeNewest()->column, 2);
    EXPECT_EQ(queue.TakeNewest()->column, 1);
    EXPECT_FALSE(queue.TakeNewest().has_value());
}

} // namespace
