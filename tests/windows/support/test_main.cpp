// Entry of the Windows test programs: GoogleTest flags first, then the
// test's own --name=value options (paths of the programs under test).
#include <gtest/gtest.h>

#include "wintest.h"

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    wintest::ParseOptions(argc, argv);
    return RUN_ALL_TESTS();
}
