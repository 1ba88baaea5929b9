#include "win32_opengl.h"

#include "gl_includes.h"
#include "win32_system_library.h"

// Each function as the headers declare it: return type, name, parameters,
// and the parameters' names, to pass them on.
#define QV_OPENGL32_FUNCTIONS(F)                                                                          \
    F(void, glBegin, (GLenum mode), (mode))                                                              \
    F(void, glCallList, (GLuint list), (list))                                                           \
    F(void, glClear, (GLbitfield mask), (mask))                                                          \
    F(void, glClearColor, (GLclampf red, GLclampf green, GLclampf blue, GLclampf alpha),                 \
      (red, green, blue, alpha))                                                                         \
    F(void, glColor3f, (GLfloat red, GLfloat green, GLfloat blue), (red, green, blue))                   \
    F(void, glColor3ub, (GLubyte red, GLubyte green, GLubyte blue), (red, green, blue))                  \
    F(void, glColorMaterial, (GLenum face, GLenum mode), (face, mode))                                   \
    F(void, glDeleteLists, (GLuint list, GLsizei range), (list, range))                                  \
    F(void, glDisable, (GLenum cap), (cap))                                                              \
    F(void, glEnable, (GLenum cap), (cap))                                                               \
    F(void, glEnd, (void), ())                                                                           \
    F(void, glEndList, (void), ())                                                                       \
    F(void, glFinish, (void), ())                                                                        \
    F(void, glFlush, (void), ())                                                                         \
    F(void, glFrontFace, (GLenum mode), (mode))                                                          \
    F(GLuint, glGenLists, (GLsizei range), (range))                                                      \
    F(const GLubyte*, glGetString, (GLenum name), (name))                                                \
    F(void, glLightfv, (GLenum light, GLenum pname, const GLfloat* params), (light, pname, params))      \
    F(void, glLoadIdentity, (void), ())                                                                  \
    F(void, glMaterialfv, (GLenum face, GLenum pname, const GLfloat* params), (face, pname, params))     \
    F(void, glMateriali, (GLenum face, GLenum pname, GLint param), (face, pname, param))                 \
    F(void, glMatrixMode, (GLenum mode), (mode))                                                         \
    F(void, glNewList, (GLuint list, GLenum mode), (list, mode))                                         \
    F(void, glOrtho, (GLdouble left, GLdouble right, GLdouble bottom, GLdouble top, GLdouble zNear,      \
                      GLdouble zFar),                                                                    \
      (left, right, bottom, top, zNear, zFar))                                                           \
    F(void, glPixelStorei, (GLenum pname, GLint param), (pname, param))                                  \
    F(void, glPopAttrib, (void), ())                                                                     \
    F(void, glPopMatrix, (void), ())                                                                     \
    F(void, glPushAttrib, (GLbitfield mask), (mask))                                                     \
    F(void, glPushMatrix, (void), ())                                                                    \
    F(void, glRasterPos2f, (GLfloat x, GLfloat y), (x, y))                                               \
    F(void, glReadPixels, (GLint x, GLint y, GLsizei width, GLsizei height, GLenum format, GLenum type,  \
                           GLvoid* pixels),                                                              \
      (x, y, width, height, format, type, pixels))                                                       \
    F(void, glRotatef, (GLfloat angle, GLfloat x, GLfloat y, GLfloat z), (angle, x, y, z))               \
    F(void, glTranslatef, (GLfloat x, GLfloat y, GLfloat z), (x, y, z))                                  \
    F(void, glVertex2i, (GLint x, GLint y), (x, y))                                                      \
    F(void, glViewport, (GLint x, GLint y, GLsizei width, GLsizei height), (x, y, width, height))        \
    F(HGLRC, wglCreateContext, (HDC dc), (dc))                                                           \
    F(BOOL, wglDeleteContext, (HGLRC context), (context))                                                \
    F(PROC, wglGetProcAddress, (LPCSTR name), (name))                                                    \
    F(BOOL, wglMakeCurrent, (HDC dc, HGLRC context), (dc, context))

#define QV_GLU32_FUNCTIONS(F)                                                                             \
    F(void, gluDeleteQuadric, (GLUquadric * quadric), (quadric))                                         \
    F(GLUquadric*, gluNewQuadric, (void), ())                                                            \
    F(void, gluPerspective, (GLdouble fovy, GLdouble aspect, GLdouble zNear, GLdouble zFar),             \
      (fovy, aspect, zNear, zFar))                                                                       \
    F(void, gluQuadricDrawStyle, (GLUquadric * quadric, GLenum drawStyle), (quadric, drawStyle))         \
    F(void, gluQuadricNormals, (GLUquadric * quadric, GLenum normals), (quadric, normals))               \
    F(void, gluSphere, (GLUquadric * quadric, GLdouble radius, GLint slices, GLint stacks),              \
      (quadric, radius, slices, stacks))

namespace {

// The system copies' functions, one member per function.
struct OpenGlFunctions {
#define QV_MEMBER(result, name, parameters, arguments) result(APIENTRY* name) parameters = nullptr;
    QV_OPENGL32_FUNCTIONS(QV_MEMBER)
    QV_GLU32_FUNCTIONS(QV_MEMBER)
#undef QV_MEMBER
    bool complete = false;
};

template <typename Function>
bool Find(HMODULE library, const char* name, Function& function)
{
    function = reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(library, name)));
    return function != nullptr;
}

OpenGlFunctions Bind()
{
    OpenGlFunctions gl;
    HMODULE opengl32 = LoadSystemLibrary("opengl32.dll");
    HMODULE glu32 = opengl32 != nullptr ? LoadSystemLibrary("glu32.dll") : nullptr;
    if (glu32 == nullptr) return gl;
    bool found = true;
#define QV_FIND_OPENGL32(result, name, parameters, arguments) found = Find(opengl32, #name, gl.name) && found;
#define QV_FIND_GLU32(result, name, parameters, arguments) found = Find(glu32, #name, gl.name) && found;
    QV_OPENGL32_FUNCTIONS(QV_FIND_OPENGL32)
    QV_GLU32_FUNCTIONS(QV_FIND_GLU32)
#undef QV_FIND_OPENGL32
#undef QV_FIND_GLU32
    gl.complete = found;
    return gl;
}

const OpenGlFunctions& Functions()
{
    static const OpenGlFunctions gl = Bind();
    return gl;
}

// The functions for a call: a program that cannot have them ends as one
// whose OpenGL is missing at the start does.
const OpenGlFunctions& FunctionsToCall()
{
    const OpenGlFunctions& gl = Functions();
    if (!gl.complete) ExitProcess(0);
    return gl;
}

}  // namespace

bool LoadOpenGl()
{
    return Functions().complete;
}

// The definitions the renderer's calls link to, in place of the import
// libraries' (same names, same calling convention).
extern "C" {
#define QV_FORWARD(result, name, parameters, arguments) \
    result APIENTRY name parameters { return FunctionsToCall().name arguments; }
QV_OPENGL32_FUNCTIONS(QV_FORWARD)
QV_GLU32_FUNCTIONS(QV_FORWARD)
#undef QV_FORWARD
}
