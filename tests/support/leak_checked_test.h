// The base of every test fixture: it takes the stand-ins' leak counters when
// the fixture is made and compares them when it is gone, after every member
// of the derived fixture has released what it held, so that a COM reference,
// an open drawing object, a registry key, a selection set, a loaded module,
// a pushed resource source, a kernel handle or a timer left behind fails the
// test that left it.
#pragma once
#include <leak_counters.h>

#include <gtest/gtest.h>

class LeakCheckedTest : public ::testing::Test {
protected:
    LeakCheckedTest();
    ~LeakCheckedTest() override;

private:
    LeakCounters atStart_;
};

// Whether the running test's fixture derives from LeakCheckedTest; the
// tests' main refuses a test that does not.
bool RunningTestIsLeakChecked();
void ForgetLeakCheckedTest();
