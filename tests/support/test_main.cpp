// The tests' main: GoogleTest with a leak check after every test. A test
// that leaves a live COM object behind fails the run, whatever it asserted.
#include <com_object.h>

#include <gtest/gtest.h>

#include <cstdio>

namespace {

class LeakCheck : public ::testing::EmptyTestEventListener {
public:
    void OnTestStart(const ::testing::TestInfo&) override { m_comBefore = ComLiveObjectCount(); }
    void OnTestEnd(const ::testing::TestInfo& test) override
    {
        const LONG com = ComLiveObjectCount();
        if (com != m_comBefore) {
            std::fprintf(stderr, "LEAK: %s.%s left %ld live COM object(s)\n", test.test_suite_name(), test.name(),
                static_cast<long>(com - m_comBefore));
            leaked = true;
        }
    }
    bool leaked = false;

private:
    LONG m_comBefore = 0;
};

} // namespace

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    auto* leakCheck = new LeakCheck;
    ::testing::UnitTest::GetInstance()->listeners().Append(leakCheck);
    const int result = RUN_ALL_TESTS();
    return result != 0 ? result : (leakCheck->leaked ? 1 : 0);
}
