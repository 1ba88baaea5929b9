#include "scene.h"

#include "corner_text.h"
#include "gl_includes.h"

const RingOrientation ringOrientations[RingAnimation::kRings] = {
    {45.0f, 0.0f, 0.0f, 1.0f},
    {90.0f, 1.0f, 0.0f, 1.0f},
    {135.0f, 1.0f, 0.0f, 1.0f},
    {180.0f, 1.0f, 0.0f, 1.0f},
};

void Scene::Init()
{
    static const GLfloat lightAmbient[] = {0.0f, 0.0f, 0.0f, 1.0f};
    static const GLfloat lightDiffuse[] = {1.0f, 1.0f, 1.0f, 1.0f};
    static const GLfloat lightSpecular[] = {1.0f, 1.0f, 1.0f, 1.0f};
    static const GLfloat lightPosition[] = {-50.0f, 100.0f, 150.0f, 1.0f};
    static const GLfloat materialSpecular[] = {1.0f, 1.0f, 1.0f, 1.0f};

    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glEnable(GL_DEPTH_TEST);
    glFrontFace(GL_CCW);
    glEnable(GL_CULL_FACE);
    glEnable(GL_LIGHTING);
    glEnable(GL_COLOR_MATERIAL);
    glLightfv(GL_LIGHT0, GL_AMBIENT, lightAmbient);
    glLightfv(GL_LIGHT0, GL_DIFFUSE, lightDiffuse);
    glLightfv(GL_LIGHT0, GL_SPECULAR, lightSpecular);
    glLightfv(GL_LIGHT0, GL_POSITION, lightPosition);
    glEnable(GL_LIGHT0);
    glColorMaterial(GL_FRONT, GL_AMBIENT_AND_DIFFUSE);
    glMaterialfv(GL_FRONT, GL_SPECULAR, materialSpecular);
    glMateriali(GL_FRONT, GL_SHININESS, 128);
    animation_.ShuffleRingColours();
}

void Scene::Resize(int width, int height)
{
    if (height == 0) height = 1;
    viewportWidth_ = width;
    viewportHeight_ = height;
    glViewport(0, 0, width, height);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    const float aspect = static_cast<float>(static_cast<double>(width) / static_cast<double>(height));
    gluPerspective(45.0, aspect, 1.0, 1525.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

void Scene::DrawRings(float angle)
{
    const int rings = animation_.VisibleRingCount();
    for (float d = 0.0f; d <= 360.0f; d += 30.0f) {
        for (int ring = 0; ring < rings; ++ring) {
            const RingOrientation& base = ringOrientations[ring];
            glPushMatrix();
            glRotatef(base.degrees, base.x, base.y, base.z);
            glRotatef(angle + d, 0.0f, 1.0f, 0.0f);
            glTranslatef(100.0f, 0.0f, 0.0f);
            const RingColour& colour = animation_.Colour(ring);
            glColor3f(colour.red, colour.green, colour.blue);
            shapes_.SolidSphere(8.0);
            glPopMatrix();
        }
    }
}

// Sets a raster position and draws nothing there; its colour draws keep the
// random sequence, and so every later shuffle, as the animation has always had it.
void Scene::RasterStep()
{
    glPushMatrix();
    glDisable(GL_LIGHT0);
    glDisable(GL_LIGHTING);
    const RasterStepResult step = animation_.TakeRasterStep();
    glColor3ub(step.colour.red, step.colour.green, step.colour.blue);
    glRasterPos2f(static_cast<float>(step.x), static_cast<float>(step.y));
    glPopMatrix();
}

void Scene::DrawFrame(float angle, const char* cornerText)
{
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glEnable(GL_LIGHTING);
    glEnable(GL_LIGHT0);
    glTranslatef(0.0f, 0.0f, -400.0f);
    glPushMatrix();
    glRotatef(angle, 1.0f, 1.0f, 1.0f);
    glRotatef(angle + 50.0f, 0.0f, 1.0f, 0.0f);
    animation_.CountFrameForShuffle();
    DrawRings(angle);
    glPopMatrix();
    RasterStep();
    if (cornerText != nullptr) DrawCornerText(cornerText, viewportWidth_, viewportHeight_);
    PresentFrame();
    glFlush();
}
