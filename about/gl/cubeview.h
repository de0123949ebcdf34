#pragma once
// The About window's cube drawn with OpenGL: built into the cube plugin only.

#include "about/bmpreader.h"
#include "about/cubesurface.h"

#include <QOpenGLWidget>

// The surface the cube needs: double-buffered RGBA, 24-bit depth, and a
// compatibility profile for the fixed-function pipeline.
QSurfaceFormat CubeSurfaceFormat();

// Draws the textured cube in immediate mode. The atlas is uploaded once, when
// the context is made (the first time the view is shown); every frame then
// advances the spin by one step.
class CubeView : public QOpenGLWidget, public CubeSurface {
    Q_OBJECT
public:
    CubeView(CubeSpin& spin, const RgbPixels& atlas, QWidget* parent);
    ~CubeView() override;

    QWidget* Widget() override { return this; }
    bool ContextReady() const override { return drawing_; }
    bool HasTexture() const override { return texture_ != 0; }
    QImage GrabFrame() override { return grabFramebuffer(); }

protected:
    void initializeGL() override;
    void paintGL() override;

private:
    bool CheckContext();
    void SetUpView();
    void UploadTexture();
    void ReleaseTexture();

    CubeSpin& spin_;
    RgbPixels atlas_;      // kept until the upload
    unsigned int texture_ = 0;
    bool drawing_ = false;
};

// The plugin's entry, found by QPluginLoader.
class CubeViewPlugin : public QObject, public CubeViewFactory {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID TESSELO_CUBE_VIEW_FACTORY_IID)
    Q_INTERFACES(CubeViewFactory)
public:
    QString WhyNoCubeContext() override;
    CubeSurface* CreateView(CubeSpin& spin, const RgbPixels& atlas, QWidget* parent) override;
};
