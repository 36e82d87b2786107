// Fixture for tests that use the COM stand-in: a fresh COM runtime installed
// for each test, and the check that every COM object was released at the end.
#pragma once
#include "com_object.h"
#include "support/leak_checked_test.h"
#include "com_runtime.h"
#include "codepage.h"

#include <gtest/gtest.h>

class ComTest : public LeakCheckedTest {
protected:
    void SetUp() override
    {
        liveAtStart_ = ComLiveObjectCount();
        ComRuntime::Install(&runtime_);
        SetAnsiCodePageForHost(CP_UTF8);
        SetUserNumberSeparators(u'.', u',');
    }
    void TearDown() override
    {
        ComRuntime::Install(nullptr);
        SetAnsiCodePageForHost(CP_UTF8);
        SetUserNumberSeparators(u'.', u',');
        EXPECT_EQ(ComLiveObjectCount(), liveAtStart_) << "COM objects left alive";
    }

    ComRuntime runtime_;
    LONG liveAtStart_ = 0;
};
