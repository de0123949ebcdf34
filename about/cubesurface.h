#pragma once
// What the About window knows of its cube view. The view itself, and with it
// every OpenGL library, lives in a small plugin beside the executable that is
// loaded when the About window is first opened: most runs never open it, and
// start-up stays free of the OpenGL stack.

#include <QImage>
#include <QString>
#include <QtPlugin>

class QWidget;
struct CubeSpin;
struct RgbPixels;

// One cube view on the cube panel.
class CubeSurface {
public:
    virtual ~CubeSurface() = default;
    virtual QWidget* Widget() = 0;
    virtual bool ContextReady() const = 0;  // an OpenGL context fit for the cube was made
    virtual bool HasTexture() const = 0;    // the atlas was uploaded
    virtual QImage GrabFrame() = 0;         // draws a frame (advancing the spin) and returns it
};

// The plugin's entry.
class CubeViewFactory {
public:
    virtual ~CubeViewFactory() = default;
    // Tries to make a context for the cube: empty when one can be made, else why not.
    virtual QString WhyNoCubeContext() = 0;
    // A view on parent that draws the cube turned by spin, textured with atlas
    // (uploaded once, when the context is made; empty pixels leave it plain).
    // The view belongs to parent.
    virtual CubeSurface* CreateView(CubeSpin& spin, const RgbPixels& atlas, QWidget* parent) = 0;
};

#define TESSELO_CUBE_VIEW_FACTORY_IID "org.tesselo.CubeViewFactory/1"
Q_DECLARE_INTERFACE(CubeViewFactory, TESSELO_CUBE_VIEW_FACTORY_IID)

// The plugin's file name, without the platform's suffix.
inline constexpr const char* kCubePluginName = "tesselo_cube";

// Loads the plugin from beside the executable (in the tests and benchmarks
// then from TESSELO_PLUGIN_DIR: platform/pluginloader.h). Null when it cannot be
// loaded, with the reason in why.
CubeViewFactory* LoadCubeViewFactory(QString* why);
