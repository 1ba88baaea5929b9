// Cache of OpenGL display lists keyed by shape kind and shape parameters.
// The first request for a kind and parameters compiles a list while drawing
// it; every later request replays that list.
#pragma once
#include "gl_includes.h"

#include <vector>

enum ShapeKind {
    SHAPE_SOLID_SPHERE = 10,
    SHAPE_KIND_COUNT = 16
};

// True when the first `count` elements are pairwise equal; a count of 0 or less matches.
bool SameShapeParams(const double* a, const double* b, int count);

// The lists of one OpenGL context: made while it is current, and deleted
// with the cache (a context already gone takes its lists with it).
class ShapeCache {
public:
    ShapeCache() = default;
    ShapeCache(const ShapeCache&) = delete;
    ShapeCache& operator=(const ShapeCache&) = delete;
    ~ShapeCache();

    // Draws a solid sphere of the given radius at the origin in the current colour.
    void SolidSphere(double radius);

    // List of the newest entry of `kind` whose first `count` parameters
    // match, or 0.
    GLuint Find(int kind, const double* params, int count) const;

    // Reserves a list name and records it, newest first, for `kind` and the
    // first `count` of `params`. Returns 0 and records nothing when no list
    // name or no memory can be had.
    GLuint Make(int kind, const double* params, int count);

    // Number of lists recorded for a kind (0 for a kind out of range).
    int Count(int kind) const;

private:
    struct Entry {
        GLuint list;
        std::vector<double> params;
    };
    std::vector<Entry> entries_[SHAPE_KIND_COUNT];  // each kind's, newest first
};
