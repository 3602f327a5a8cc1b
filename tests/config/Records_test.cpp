#include "config/Records.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace rtu {
namespace {

TEST(Loop420Table, IsNumberedOneToEightAndRefusesOtherNumbers) {
    RecordTables tables;
    tables.Loop420Records[1].Unit = "01";
    tables.Loop420Records[8].Unit = "08";
    EXPECT_EQ(tables.Loop420Records[1].Unit.text(), u"01");
    EXPECT_EQ(tables.Loop420Records[8].Unit.text(), u"08");
    EXPECT_EQ(tables.Loop420Records[2].Unit.text(), u"  ");
    const Loop420Table& constTable = tables.Loop420Records;
    for (const int outside : {-1, 0, 9}) {
        EXPECT_THROW((void)tables.Loop420Records[outside], std::out_of_range) << outside;
        EXPECT_THROW((void)constTable[outside], std::out_of_range) << outside;
    }
}

} // namespace
} // namespace rtu
