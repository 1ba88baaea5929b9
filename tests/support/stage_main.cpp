// The main of an end-to-end suite: its stage, as its build asks
// (QV_STAGE_NAME: its folder, the architecture's when empty; QV_STAGE_WINE: a Wine prefix).
#include "stage.h"

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    support::RegisterStage({QV_STAGE_NAME, QV_STAGE_WINE != 0, false, ""});
    return RUN_ALL_TESTS();
}
