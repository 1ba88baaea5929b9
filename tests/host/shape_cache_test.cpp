#include <gtest/gtest.h>

#include "shape_cache.h"

TEST(ShapeCache, CompareShapeParamsIsExactOverTheGivenCount)
{
    const double a[] = {8.0, 1.0, 2.0};
    const double b[] = {8.0, 1.0, 2.5};
    EXPECT_EQ(CompareShapeParams(a, b, 2), 1);
    EXPECT_EQ(CompareShapeParams(a, b, 3), 0);
    EXPECT_EQ(CompareShapeParams(a, b, 0), 1) << "a count of 0 matches";
    EXPECT_EQ(CompareShapeParams(a, b, -4), 1);
    const double c[] = {8.0 + 1e-12};
    EXPECT_EQ(CompareShapeParams(a, c, 1), 0) << "no tolerance";
}

TEST(ShapeCache, EmptyOrUnknownKindGivesNoList)
{
    const double r[] = {8.0};
    for (const int kind : {7, -1, static_cast<int>(SHAPE_KIND_COUNT)}) EXPECT_EQ(FindShapeList(kind, r, 1), 0u) << kind;
    EXPECT_EQ(ShapeListLength(7), 0);
}
