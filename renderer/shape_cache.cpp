#include "shape_cache.h"

#include <new>

ShapeListNode* shapeListHeads[SHAPE_KIND_COUNT] = {};

static bool KindInRange(int kind)
{
    return kind >= 0 && kind < SHAPE_KIND_COUNT;
}

int CompareShapeParams(const double* a, const double* b, int count)
{
    int same = 1;
    for (int i = 0; i < count && same == 1; ++i) {
        if (a[i] != b[i]) same = 0;
    }
    return same;
}

GLuint FindShapeList(int kind, const double* params, int count)
{
    if (!KindInRange(kind)) return 0;
    for (ShapeListNode* node = shapeListHeads[kind]; node != nullptr; node = node->next) {
        if (CompareShapeParams(node->params, params, count)) return node->list;
    }
    return 0;
}

GLuint MakeShapeList(int kind, double* params, int count)
{
    if (!KindInRange(kind)) return 0;
    ShapeListNode* node = new (std::nothrow) ShapeListNode;
    if (node == nullptr) return 0;
    GLuint list = glGenLists(1);
    if (list == 0) {
        delete node;
        return 0;
    }
    node->list = list;
    node->count = count;
    node->params = params;
    node->next = shapeListHeads[kind];
    shapeListHeads[kind] = node;
    return list;
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

void SolidSphere(double radius)
{
    // The lookup key lives on the stack: replaying a cached sphere allocates nothing.
    const double key[1] = {radius};
    GLuint list = FindShapeList(SHAPE_SOLID_SPHERE, key, 1);
    if (list != 0) {
        glCallList(list);
        return;
    }
    double* params = new (std::nothrow) double[1];
    if (params != nullptr) {
        params[0] = radius;
        list = MakeShapeList(SHAPE_SOLID_SPHERE, params, 1);
        if (list == 0) delete[] params;
    }
    if (list == 0) {
        // No list to record into: draw this sphere directly and cache nothing.
        TessellateSphere(radius);
        return;
    }
    glNewList(list, GL_COMPILE_AND_EXECUTE);
    TessellateSphere(radius);
    glEndList();
}

int ShapeListLength(int kind)
{
    if (!KindInRange(kind)) return 0;
    int length = 0;
    for (ShapeListNode* node = shapeListHeads[kind]; node != nullptr; node = node->next) ++length;
    return length;
}
