#include <gtest/gtest.h>

#include "harness.h"

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    e2e::RegisterStageEnvironment();
    return RUN_ALL_TESTS();
}
