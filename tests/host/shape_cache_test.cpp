#include <gtest/gtest.h>

#include "shape_cache.h"

TEST(ShapeCache, SameShapeParamsIsExactOverTheGivenCount)
{
    const double a[] = {8.0, 1.0, 2.0};
    const double b[] = {8.0, 1.0, 2.5};
    EXPECT_TRUE(SameShapeParams(a, b, 2));
    EXPECT_FALSE(SameShapeParams(a, b, 3));
    EXPECT_TRUE(SameShapeParams(a, b, 0)) << "a count of 0 matches";
    EXPECT_TRUE(SameShapeParams(a, b, -4));
    const double c[] = {8.0 + 1e-12};
    EXPECT_FALSE(SameShapeParams(a, c, 1)) << "no tolerance";
}

TEST(ShapeCache, EmptyOrUnknownKindGivesNoList)
{
    const ShapeCache cache;
    const double r[] = {8.0};
    for (const int kind : {7, -1, static_cast<int>(SHAPE_KIND_COUNT)}) EXPECT_EQ(cache.Find(kind, r, 1), 0u) << kind;
    EXPECT_EQ(cache.Count(7), 0);
}
