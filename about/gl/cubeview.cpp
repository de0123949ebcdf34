#include "about/gl/cubeview.h"

#include "about/cubespin.h"

#include <QGuiApplication>
#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QOpenGLFunctions>
#include <QSurfaceFormat>
#include <QtDebug>

#include <GL/gl.h>
#include <GL/glu.h>

#include <utility>

// ---- the context -----------------------------------------------------------

QSurfaceFormat CubeSurfaceFormat()
{
    QSurfaceFormat format;
    format.setRenderableType(QSurfaceFormat::OpenGL);
    format.setVersion(2, 1);
    format.setProfile(QSurfaceFormat::CompatibilityProfile);
    format.setSwapBehavior(QSurfaceFormat::DoubleBuffer);
    format.setRedBufferSize(8);
    format.setGreenBufferSize(8);
    format.setBlueBufferSize(8);
    format.setAlphaBufferSize(8);
    format.setDepthBufferSize(24);
    format.setStencilBufferSize(0);
    return format;
}

// Immediate mode needs desktop OpenGL with the old pipeline still present.
static QString WhyContextUnfit(const QOpenGLContext& context)
{
    if (context.isOpenGLES())
        return QStringLiteral("the platform offers OpenGL ES only, which has no fixed-function pipeline");
    if (context.format().profile() == QSurfaceFormat::CoreProfile)
        return QStringLiteral("the platform offers a core-profile context only, which has no fixed-function pipeline");
    return {};
}

// These platforms cannot compose an OpenGL view into a widget window, even
// where they can make a context (offscreen borrows one from X when it can).
static bool PlatformComposesOpenGl()
{
    static const QStringList kWithout{QStringLiteral("offscreen"), QStringLiteral("minimal"),
                                      QStringLiteral("vnc"), QStringLiteral("linuxfb")};
    return !kWithout.contains(QGuiApplication::platformName());
}

QString CubeViewPlugin::WhyNoCubeContext()
{
    if (!PlatformComposesOpenGl())
        return QStringLiteral("the %1 platform cannot show OpenGL views").arg(QGuiApplication::platformName());
    QOpenGLContext probe;
    probe.setFormat(CubeSurfaceFormat());
    if (!probe.create())
        return QStringLiteral("the platform cannot make an OpenGL context");
    return WhyContextUnfit(probe);
}

// ---- the view --------------------------------------------------------------

namespace {

struct CubeVertex {
    GLfloat x, y, z;
    GLdouble s, t;
};

// Six faces in drawing order (+z, -z, -x, +x, +y, -y); each vertex carries its
// place in the atlas (t = 0 is the first row stored in the bitmap).
constexpr CubeVertex kCubeFaces[6][4] = {
    {{1, 1, 1, 0, 0}, {-1, 1, 1, 0.25, 0}, {-1, -1, 1, 0.25, 0.5}, {1, -1, 1, 0, 0.5}},
    {{1, 1, -1, 0, 0.5}, {1, -1, -1, 0.25, 0.5}, {-1, -1, -1, 0.25, 1}, {-1, 1, -1, 0, 1}},
    {{-1, 1, 1, 0.25, 0}, {-1, 1, -1, 0.5, 0}, {-1, -1, -1, 0.5, 0.5}, {-1, -1, 1, 0.25, 0.5}},
    {{1, 1, 1, 0.75, 0}, {1, -1, 1, 1, 0}, {1, -1, -1, 1, 0.5}, {1, 1, -1, 0.75, 0.5}},
    {{-1, 1, -1, 0.75, 0}, {-1, 1, 1, 0.75, 0.5}, {1, 1, 1, 0.5, 0.5}, {1, 1, -1, 0.5, 0}},
    {{-1, -1, -1, 0.25, 0.5}, {1, -1, -1, 0.5, 0.5}, {1, -1, 1, 0.5, 1}, {-1, -1, 1, 0.25, 1}},
};

void DrawCubeFaces()
{
    for (const auto& face : kCubeFaces) {
        glBegin(GL_QUADS);
        for (const CubeVertex& vertex : face) {
            glTexCoord2d(vertex.s, vertex.t);
            glVertex3f(vertex.x, vertex.y, vertex.z);
        }
        glEnd();
    }
}

// The camera: eight units back, looking 30 degrees down onto the cube.
QMatrix4x4 CameraMatrix()
{
    QMatrix4x4 camera;
    camera.translate(0.0f, 0.0f, -8.0f);
    camera.rotate(30.0f, 1.0f, 0.0f, 0.0f);
    return camera;
}

} // namespace

CubeSurface* CubeViewPlugin::CreateView(CubeSpin& spin, const RgbPixels& atlas, QWidget* parent)
{
    return new CubeView(spin, atlas, parent);
}

CubeView::CubeView(CubeSpin& spin, const RgbPixels& atlas, QWidget* parent)
    : QOpenGLWidget(parent), spin_(spin), atlas_(atlas)
{
    setFormat(CubeSurfaceFormat());
    // The panel underneath handles the mouse.
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

CubeView::~CubeView()
{
    ReleaseTexture();
    // The base class destroys the context after this body: its signal must not
    // reach a view that is no longer a CubeView.
    if (context())
        disconnect(context(), nullptr, this, nullptr);
}

bool CubeView::CheckContext()
{
    QString why = context() && context()->isValid() ? WhyContextUnfit(*context())
                                                    : QStringLiteral("the view's OpenGL context could not be made");
    if (why.isEmpty())
        return true;
    qWarning().noquote() << "About window: no cube is drawn, because" << why;
    return false;
}

void CubeView::initializeGL()
{
    drawing_ = CheckContext();
    if (!drawing_)
        return;
    connect(context(), &QOpenGLContext::aboutToBeDestroyed, this, &CubeView::ReleaseTexture);
    SetUpView();
    UploadTexture();
}

void CubeView::SetUpView()
{
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_LIGHTING);
    glEnable(GL_LIGHT2);
    glShadeModel(GL_SMOOTH);
    glClearColor(1.0f, 1.0f, 1.0f, 1.0f);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(30.0, 1.0, 1.0, 9.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

void CubeView::UploadTexture()
{
    const RgbPixels pixels = std::exchange(atlas_, RgbPixels());
    if (!pixels.IsEmpty()) {
        glGenTextures(1, &texture_);
        glBindTexture(GL_TEXTURE_2D, texture_);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
        glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_DECAL);
        glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, pixels.width, pixels.height, 0, GL_RGB,
                     GL_UNSIGNED_BYTE, pixels.rgb.constData());
        glEnable(GL_TEXTURE_2D);
    }
    glEnable(GL_POINT_SMOOTH);
    glEnable(GL_LINE_SMOOTH);
}

void CubeView::ReleaseTexture()
{
    if (texture_ == 0 || !context())
        return;
    makeCurrent();
    glDeleteTextures(1, &texture_);
    texture_ = 0;
    doneCurrent();
}

// A context unfit for the cube still shows the panel's plain white.
static void ClearToWhite(QOpenGLContext* context)
{
    QOpenGLFunctions* functions = context->functions();
    functions->glClearColor(1.0f, 1.0f, 1.0f, 1.0f);
    functions->glClear(GL_COLOR_BUFFER_BIT);
}

void CubeView::paintGL()
{
    if (!drawing_) {
        if (context() && context()->isValid())
            ClearToWhite(context());
        return;
    }
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glMatrixMode(GL_MODELVIEW);
    glLoadMatrixf((CameraMatrix() * spin_.DragRotation).constData());
    // Qt composes the view with textures of its own: take ours back each frame.
    if (texture_ != 0) {
        context()->functions()->glActiveTexture(GL_TEXTURE0);
        glBindTexture(GL_TEXTURE_2D, texture_);
    }
    glPushMatrix();
    glRotatef(spin_.SpinAngle, 1.0f, 1.0f, 0.0f);
    glRotatef(spin_.SpinAngle, 0.0f, 0.0f, 1.0f);
    DrawCubeFaces();
    glPopMatrix();
    spin_.FrameDone();
}
