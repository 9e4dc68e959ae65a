#include "OrderCheck.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace {

TEST(OrderCheck, JudgesByTheConnectionsNotByArrival)
{
    struct Arrival {
        std::string pair;
        std::uint32_t sequence;
        long connection;
    };
    struct Row {
        const char* name;
        std::vector<Arrival> arrivals;
        long outOfOrder;
    };
    const Row rows[] = {
        {"in order", {{"a b", 1, 1}, {"a b", 2, 2}, {"a b", 3, 3}}, 0},
        {"later connection read first", {{"a b", 2, 2}, {"a b", 1, 1}}, 0},
        {"earlier message on the later connection", {{"a b", 2, 1}, {"a b", 1, 2}}, 1},
        {"the same, arriving the other way round", {{"a b", 1, 2}, {"a b", 2, 1}}, 1},
        {"other pairs do not matter", {{"a b", 5, 1}, {"c b", 1, 2}, {"a c", 1, 3}}, 0},
        {"one swap among many", {{"a b", 1, 1}, {"a b", 3, 2}, {"a b", 2, 3}, {"a b", 4, 4}}, 1},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        OrderCheck check;
        for (const Arrival& arrival : row.arrivals)
            check.Take(arrival.pair, arrival.sequence, arrival.connection);
        EXPECT_EQ(check.outOfOrder(), row.outOfOrder);
    }
}

}  // namespace
