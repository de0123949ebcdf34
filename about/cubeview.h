#pragma once
// The cube panel of the About window and the OpenGL view drawn on it.

#include <QOpenGLWidget>
#include <QString>
#include <QWidget>

struct CubeSpin;

// A plain white panel that reports the mouse in its own coordinates. The cube
// view on top of it lets the mouse through, so the panel answers the mouse
// whether or not a cube is drawn.
class CubePanel : public QWidget {
    Q_OBJECT
public:
    explicit CubePanel(QWidget* parent = nullptr);

signals:
    void MouseDown(Qt::MouseButton button, int x, int y);
    void MouseMove(int x, int y);
    void MouseUp(Qt::MouseButton button, int x, int y);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
};

// The surface the cube needs: double-buffered RGBA, 24-bit depth, and a
// compatibility profile for the fixed-function pipeline.
QSurfaceFormat CubeSurfaceFormat();

// Tries to make such a context. Empty when one can be made, else why not.
QString WhyNoCubeContext();

// Draws the textured cube in immediate mode. The texture is read from its
// file and uploaded once, when the context is made (the first time the view
// is shown); every frame then advances the spin by one step.
class CubeView : public QOpenGLWidget {
    Q_OBJECT
public:
    CubeView(CubeSpin& spin, QWidget* parent);
    ~CubeView() override;

    // The bitmap to upload; an empty path leaves the cube untextured.
    void SetTextureFile(const QString& path) { texturePath_ = path; }
    bool ContextReady() const { return drawing_; }
    bool HasTexture() const { return texture_ != 0; }

protected:
    void initializeGL() override;
    void paintGL() override;

private:
    bool CheckContext();
    void SetUpView();
    void UploadTexture();
    void ReleaseTexture();

    CubeSpin& spin_;
    QString texturePath_;
    unsigned int texture_ = 0;
    bool drawing_ = false;
};
