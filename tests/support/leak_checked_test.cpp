#include "support/leak_checked_test.h"

namespace {
bool g_leakChecked = false;
}

LeakCheckedTest::LeakCheckedTest() : atStart_(CurrentLeakCounters()) { g_leakChecked = true; }

LeakCheckedTest::~LeakCheckedTest()
{
    const std::string leaks = DescribeLeaks(atStart_, CurrentLeakCounters());
    EXPECT_TRUE(leaks.empty()) << "left behind:\n" << leaks;
}

bool RunningTestIsLeakChecked() { return g_leakChecked; }
void ForgetLeakCheckedTest() { g_leakChecked = false; }
