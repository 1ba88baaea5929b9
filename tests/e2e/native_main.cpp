#include <gtest/gtest.h>

#include "native_stage.h"

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    e2e::RegisterNativeStageEnvironment();
    return RUN_ALL_TESTS();
}
