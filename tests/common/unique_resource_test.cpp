#include "common/unique_resource.h"
#include "support/leak_checked_test.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

std::vector<int> g_closed;

int CloseNumber(int handle)
{
    g_closed.push_back(handle);
    return handle * 10;
}

using Number = UniqueResource<int, &CloseNumber>;

int ClosePair(const long pair[2])
{
    g_closed.push_back(static_cast<int>(pair[0] + pair[1]));
    return 0;
}

using Pair = UniqueResource<long[2], &ClosePair>;

using UniqueResourceTest = LeakCheckedTest;

TEST_F(UniqueResourceTest, ClosesWhatItHoldsExactlyOnce)
{
    g_closed.clear();
    {
        Number empty;
        EXPECT_FALSE(empty);
    }
    EXPECT_TRUE(g_closed.empty()) << "an empty holder closes nothing";

    {
        Number held;
        held.adopt(3);
        EXPECT_TRUE(held);
        EXPECT_EQ(held.get(), 3);
        held.adopt(4);
        EXPECT_EQ(g_closed, std::vector<int>{3}) << "taking a new handle closes the old one";
    }
    EXPECT_EQ(g_closed, (std::vector<int>{3, 4}));

    g_closed.clear();
    {
        Number closedEarly;
        closedEarly.adopt(7);
        EXPECT_EQ(closedEarly.close(), 70) << "close() answers what the close call answered";
        EXPECT_FALSE(closedEarly);
    }
    EXPECT_EQ(g_closed, std::vector<int>{7}) << "a handle closed early is not closed again";
}

TEST_F(UniqueResourceTest, HoldsArrayHandlesByValue)
{
    g_closed.clear();
    {
        long picked[2] = {20, 5};
        Pair pair;
        pair.adopt(picked);
        picked[0] = 0; // the caller's copy may go; the holder has its own
        EXPECT_EQ(pair.get()[0], 20);
        EXPECT_EQ(pair.get()[1], 5);
    }
    EXPECT_EQ(g_closed, std::vector<int>{25});
}

} // namespace
