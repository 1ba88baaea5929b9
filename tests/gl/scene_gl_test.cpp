// The renderer's scene drawn with real OpenGL (Mesa, offscreen) and read back.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <new>
#include <vector>

#include "egl_offscreen.h"
#include "gl_includes.h"
#include "ring_rules.h"
#include "scene.h"
#include "shape_cache.h"

// Counts the program's own heap allocations (operator new) while armed.
static bool countingAllocations = false;
static long allocationCount = 0;

void* operator new(std::size_t size)
{
    if (countingAllocations) ++allocationCount;
    if (void* p = std::malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}
void* operator new[](std::size_t size) { return operator new(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept
{
    if (countingAllocations) ++allocationCount;
    return std::malloc(size ? size : 1);
}
void* operator new[](std::size_t size, const std::nothrow_t& tag) noexcept { return operator new(size, tag); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }

static int presentCount = 0;
void PresentFrame() { ++presentCount; }

namespace {

constexpr int kWidth = 1024;
constexpr int kHeight = 768;

struct Colour {
    double r, g, b;
};

struct ExpectedSphere {
    int ring;
    double x, y;     // window position of the centre, y from the bottom
    double depth;    // distance in front of the eye
    double radius;   // radius on the screen in pixels
};

class Scene : public ::testing::Test {
protected:
    static std::unique_ptr<OffscreenGl> gl;

    static void SetUpTestSuite()
    {
        gl = std::make_unique<OffscreenGl>(kWidth, kHeight);
    }
    static void TearDownTestSuite() { gl.reset(); }

    ::Scene scene;  // a fresh one per case, as a run starts; its lists go with it

    void SetUp() override
    {
        ASSERT_TRUE(gl->ok()) << gl->error();
        scene.Resize(kWidth, kHeight);
        scene.Init();
    }

    // Frames 1..count with the angles of the message loop; returns the last angle.
    float DrawFrames(int count)
    {
        std::int32_t angle = 0;
        float last = 0;
        for (int i = 0; i < count; ++i) {
            last = static_cast<float>(angle);
            scene.DrawFrame(last);
            angle = NextFrameAngle(angle);
        }
        return last;
    }

    // Where each sphere of a frame drawn with `angle` lands, worked out on the
    // matrix stack from the transform chain of the animation.
    std::vector<ExpectedSphere> ExpectedSpheres(float angle) const
    {
        std::vector<ExpectedSphere> spheres;
        GLdouble projection[16];
        GLint viewport[4];
        glGetDoublev(GL_PROJECTION_MATRIX, projection);
        glGetIntegerv(GL_VIEWPORT, viewport);
        const double focal = (kHeight / 2.0) / std::tan(22.5 * M_PI / 180.0);
        glMatrixMode(GL_MODELVIEW);
        for (int ring = 0; ring < scene.Animation().VisibleRingCount(); ++ring) {
            for (int step = 0; step < 12; ++step) {
                const RingOrientation& base = ringOrientations[ring];
                glLoadIdentity();
                glTranslatef(0, 0, -400);
                glRotatef(angle, 1, 1, 1);
                glRotatef(angle + 50, 0, 1, 0);
                glRotatef(base.degrees, base.x, base.y, base.z);
                glRotatef(angle + 30.0f * step, 0, 1, 0);
                glTranslatef(100, 0, 0);
                GLdouble modelview[16];
                glGetDoublev(GL_MODELVIEW_MATRIX, modelview);
                double wx, wy, wz;
                gluProject(0, 0, 0, modelview, projection, viewport, &wx, &wy, &wz);
                const double depth = -modelview[14];
                spheres.push_back({ring, wx, wy, depth, 8.0 * focal / depth});
            }
        }
        glLoadIdentity();
        return spheres;
    }

    static Colour PixelAt(const std::vector<std::uint8_t>& pixels, int x, int y)
    {
        const size_t i = (static_cast<size_t>(y) * kWidth + x) * 3;
        return {pixels[i] / 255.0, pixels[i + 1] / 255.0, pixels[i + 2] / 255.0};
    }

    Colour RingColour(int ring) const
    {
        const ::RingColour& c = scene.Animation().Colour(ring);
        return {c.red, c.green, c.blue};
    }

    // A lit pixel of a sphere is the ring colour scaled by the diffuse light,
    // plus a little white where the highlight's rim reaches, clamped at full
    // intensity: p = min(1, k * c + s).
    static bool HasHue(Colour p, Colour c)
    {
        auto close = [](double pixel, double lit) { return std::fabs(pixel - std::min(1.0, lit)) < 0.04; };
        for (double s = 0.0; s <= 0.15; s += 0.005) {
            for (double k = 0.15; k <= 1.3; k += 0.005) {
                if (close(p.r, k * c.r + s) && close(p.g, k * c.g + s) && close(p.b, k * c.b + s)) return true;
            }
        }
        return false;
    }

    // Checks the pixel of each sphere on its shaded side (lower right, away from
    // the light above left) against the colour of the nearest sphere covering it.
    // Returns the number of spheres checked; every check must pass.
    int CheckSpheres(const std::vector<std::uint8_t>& pixels, const std::vector<ExpectedSphere>& spheres)
    {
        int checked = 0;
        for (const ExpectedSphere& s : spheres) {
            const double px = s.x + 0.45 * s.radius, py = s.y - 0.45 * s.radius;
            const ExpectedSphere* front = nullptr;
            bool ambiguous = false;
            for (const ExpectedSphere& o : spheres) {
                const double dist = std::hypot(px - o.x, py - o.y);
                if (dist > 1.25 * o.radius) continue;
                if (dist > 0.8 * o.radius) {
                    ambiguous = ambiguous || o.depth <= s.depth + 1e-6;
                    continue;
                }
                if (front == nullptr || o.depth < front->depth) front = &o;
            }
            if (ambiguous || front == nullptr) continue;
            const int ix = static_cast<int>(std::lround(px)), iy = static_cast<int>(std::lround(py));
            if (ix < 0 || iy < 0 || ix >= kWidth || iy >= kHeight) continue;
            const Colour p = PixelAt(pixels, ix, iy);
            EXPECT_TRUE(HasHue(p, RingColour(front->ring)))
                << "pixel " << ix << "," << iy << " = " << p.r << " " << p.g << " " << p.b << " expected hue of ring "
                << front->ring + 1;
            ++checked;
        }
        return checked;
    }

    static long LitPixels(const std::vector<std::uint8_t>& pixels)
    {
        long lit = 0;
        for (size_t i = 0; i < pixels.size(); i += 3) lit += (pixels[i] | pixels[i + 1] | pixels[i + 2]) != 0;
        return lit;
    }
};

std::unique_ptr<OffscreenGl> Scene::gl;

TEST_F(Scene, FirstFrameShowsTwoLitRingsOnBlack)
{
    const float angle = DrawFrames(1);
    ASSERT_EQ(angle, 0.0f);
    const auto pixels = gl->ReadPixels();
    for (auto [x, y] : {std::pair{0, 0}, std::pair{kWidth - 1, 0}, std::pair{0, kHeight - 1},
                        std::pair{kWidth - 1, kHeight - 1}}) {
        const Colour p = PixelAt(pixels, x, y);
        EXPECT_EQ(p.r + p.g + p.b, 0.0) << "background at " << x << "," << y;
    }
    const auto spheres = ExpectedSpheres(angle);
    ASSERT_EQ(spheres.size(), 24u);
    EXPECT_GE(CheckSpheres(pixels, spheres), 16);
    // 24 spheres of some 18 pixels' radius on the screen (about 1000 pixels each), partly overlapping.
    const long lit = LitPixels(pixels);
    EXPECT_GT(lit, 24 * 600);
    EXPECT_LT(lit, 24 * 1300);
}

TEST_F(Scene, Frame101ShowsFourRingsInTheirNewColours)
{
    const float angle = DrawFrames(101);
    EXPECT_EQ(scene.Animation().VisibleRingCount(), 4);
    EXPECT_FLOAT_EQ(scene.Animation().Colour(3).red, 0.67f);
    const auto spheres = ExpectedSpheres(angle);
    ASSERT_EQ(spheres.size(), 48u);
    const auto pixels = gl->ReadPixels();
    EXPECT_GE(CheckSpheres(pixels, spheres), 24);
}

TEST_F(Scene, EveryFramePresentsOnce)
{
    presentCount = 0;
    DrawFrames(7);
    EXPECT_EQ(presentCount, 7);
}

TEST_F(Scene, AllSpheresComeFromOneCompiledList)
{
    DrawFrames(300);
    int lists = 0;
    for (GLuint name = 1; name < 1000; ++name) lists += glIsList(name) ? 1 : 0;
    EXPECT_EQ(lists, 1) << "one display list exists for the whole run";
}

TEST_F(Scene, NoHeapAllocationPerFrameAfterTheFirst)
{
    DrawFrames(1);
    allocationCount = 0;
    countingAllocations = true;
    DrawFrames(500);
    countingAllocations = false;
    EXPECT_EQ(allocationCount, 0);
}

TEST_F(Scene, ResizeWithHeightZeroUsesOne)
{
    scene.Resize(640, 0);
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[3], 1);
    GLfloat projection[16];
    glGetFloatv(GL_PROJECTION_MATRIX, projection);
    EXPECT_NEAR(projection[5] / projection[0], 640.0f, 1e-2f) << "aspect = width";
    scene.Resize(1024, 768);
    glGetFloatv(GL_PROJECTION_MATRIX, projection);
    EXPECT_NEAR(projection[5] / projection[0], 1.3333334f, 1e-6f);
}

TEST_F(Scene, SecondRequestReplaysAndAnotherRadiusAddsAListAhead)
{
    ShapeCache cache;
    cache.SolidSphere(8.0);
    cache.SolidSphere(8.0);
    ASSERT_EQ(cache.Count(SHAPE_SOLID_SPHERE), 1);
    cache.SolidSphere(5.0);
    ASSERT_EQ(cache.Count(SHAPE_SOLID_SPHERE), 2);
    const double five[] = {5.0}, eight[] = {8.0};
    const GLuint fiveList = cache.Find(SHAPE_SOLID_SPHERE, five, 1), eightList = cache.Find(SHAPE_SOLID_SPHERE, eight, 1);
    EXPECT_NE(fiveList, 0u);
    EXPECT_NE(eightList, 0u);
    EXPECT_NE(fiveList, eightList);
    EXPECT_EQ(cache.Find(SHAPE_SOLID_SPHERE, five, 0), fiveList) << "the newest list comes first";
}

TEST_F(Scene, MakeLinksNewestFirstPerKindAndTheCacheDeletesItsLists)
{
    GLuint la = 0, lb = 0;
    {
        ShapeCache cache;
        const double q12[] = {1.0, 2.0}, q13[] = {1.0, 3.0};
        la = cache.Make(3, q12, 2);
        lb = cache.Make(3, q13, 2);
        ASSERT_NE(la, 0u);
        ASSERT_NE(lb, 0u);
        EXPECT_EQ(cache.Find(3, q13, 2), lb);
        EXPECT_EQ(cache.Find(3, q12, 2), la);
        EXPECT_EQ(cache.Find(3, q12, 1), lb) << "the caller's count decides: first match wins";
        EXPECT_EQ(cache.Find(3, q12, 0), lb);
        EXPECT_EQ(cache.Count(3), 2);
        EXPECT_TRUE(glIsList(la) && glIsList(lb));
    }
    EXPECT_FALSE(glIsList(la) || glIsList(lb)) << "the lists outlived their cache";
}

}  // namespace
