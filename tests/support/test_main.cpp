// The tests' main: GoogleTest, and a guard that every test runs in a fixture
// derived from LeakCheckedTest, so that none escapes the leak check. The
// tests run as if there were no desktop, so that a help or link a test
// opens is never shown in a real viewer; a test that wants a desktop
// brings its own opener (support/fake_opener.h).
#include "support/leak_checked_test.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

namespace {

class LeakCheckGuard : public ::testing::EmptyTestEventListener {
public:
    void OnTestStart(const ::testing::TestInfo&) override { ForgetLeakCheckedTest(); }
    void OnTestEnd(const ::testing::TestInfo& test) override
    {
        if (!RunningTestIsLeakChecked() && !test.result()->Skipped()) {
            std::fprintf(stderr, "%s.%s does not derive from LeakCheckedTest\n", test.test_suite_name(),
                test.name());
            unchecked = true;
        }
    }
    bool unchecked = false;
};

} // namespace

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    unsetenv("DISPLAY");
    unsetenv("WAYLAND_DISPLAY");
    auto* guard = new LeakCheckGuard;
    ::testing::UnitTest::GetInstance()->listeners().Append(guard);
    const int result = RUN_ALL_TESTS();
    return result != 0 ? result : (guard->unchecked ? 1 : 0);
}
