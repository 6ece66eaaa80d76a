#include <gtest/gtest.h>

#include "host.h"

extern "C" int host_c_headers_record_sizes(void);

// Catches: a record laid out differently in C and C++ (a C++-only member
// or a bool of another size would shift the fields the two sides share).
TEST(CHeaders, RecordsHaveTheSameSizeInC) {
  EXPECT_EQ(host_c_headers_record_sizes(),
            static_cast<int>(sizeof(FGInstance) + sizeof(Himage)) + PV_STRING);
}
