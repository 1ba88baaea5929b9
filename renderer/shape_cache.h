// Cache of OpenGL display lists keyed by shape kind and shape parameters.
// The first request for a kind and parameters compiles a list while drawing
// it; every later request replays that list. Nodes live until the program ends.
#pragma once
#include "gl_includes.h"

enum ShapeKind {
    SHAPE_SOLID_SPHERE = 10,
    SHAPE_KIND_COUNT = 16
};

struct ShapeListNode {
    GLuint list;
    ShapeListNode* next;
    int count;
    double* params;
};

extern ShapeListNode* shapeListHeads[SHAPE_KIND_COUNT];

// 1 when the first `count` elements are pairwise equal; a count of 0 or less matches.
int CompareShapeParams(const double* a, const double* b, int count);

// List of the first node of `kind` whose parameters match, or 0.
GLuint FindShapeList(int kind, const double* params, int count);

// Reserves a list name and records a node for it at the head of the kind's
// chain; the node takes ownership of `params` (allocated with new[]).
// Returns 0 and records nothing when no list name or no node can be had;
// `params` then stays the caller's.
GLuint MakeShapeList(int kind, double* params, int count);

// Draws a solid sphere of the given radius at the origin in the current colour.
void SolidSphere(double radius);

// Number of nodes in a kind's chain (0 for a kind out of range).
int ShapeListLength(int kind);
