#include "shape_cache.h"

#include <new>

static bool KindInRange(int kind)
{
    return kind >= 0 && kind < SHAPE_KIND_COUNT;
}

bool SameShapeParams(const double* a, const double* b, int count)
{
    for (int i = 0; i < count; ++i) {
        if (a[i] != b[i]) return false;
    }
    return true;
}

ShapeCache::~ShapeCache()
{
    for (const std::vector<Entry>& chain : entries_) {
        for (const Entry& entry : chain) glDeleteLists(entry.list, 1);
    }
}

GLuint ShapeCache::Find(int kind, const double* params, int count) const
{
    if (!KindInRange(kind)) return 0;
    for (const Entry& entry : entries_[kind]) {
        if (SameShapeParams(entry.params.data(), params, count)) return entry.list;
    }
    return 0;
}

GLuint ShapeCache::Make(int kind, const double* params, int count)
{
    if (!KindInRange(kind)) return 0;
    std::vector<Entry>& chain = entries_[kind];
    Entry entry{0, {}};
    try {
        entry.params.assign(params, params + (count > 0 ? count : 0));
        chain.reserve(chain.size() + 1);
    } catch (const std::bad_alloc&) {
        return 0;
    }
    entry.list = glGenLists(1);
    if (entry.list == 0) return 0;
    // Room was reserved: the insertion moves entries and allocates nothing.
    chain.insert(chain.begin(), std::move(entry));
    return chain.front().list;
}

static void TessellateSphere(double radius)
{
    GLUquadric* quadric = gluNewQuadric();
    if (quadric == nullptr) return;
    gluQuadricDrawStyle(quadric, GLU_FILL);
    gluQuadricNormals(quadric, GLU_SMOOTH);
    gluSphere(quadric, radius, 16, 16);
    gluDeleteQuadric(quadric);
}

void ShapeCache::SolidSphere(double radius)
{
    // The key lives on the stack: replaying a cached sphere allocates nothing.
    const double key[1] = {radius};
    GLuint list = Find(SHAPE_SOLID_SPHERE, key, 1);
    if (list != 0) {
        glCallList(list);
        return;
    }
    list = Make(SHAPE_SOLID_SPHERE, key, 1);
    if (list == 0) {
        // No list to record into: draw this sphere directly and cache nothing.
        TessellateSphere(radius);
        return;
    }
    glNewList(list, GL_COMPILE_AND_EXECUTE);
    TessellateSphere(radius);
    glEndList();
}

int ShapeCache::Count(int kind) const
{
    return KindInRange(kind) ? static_cast<int>(entries_[kind].size()) : 0;
}
