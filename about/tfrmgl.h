#pragma once
// The About window: the title, the authors, the notes on use in the interface
// language, an OK button and a textured cube that spins by itself and can be
// flung with the mouse. Created hidden at program start; lives until the end.

#include "about/bmpreader.h"
#include "about/cubespin.h"

#include <QDialog>

class CubePanel;
class CubeSurface;
class QFrame;
class QLabel;
class QPushButton;
class QTimer;
class TForm1;
struct AboutTexts;

class TfrmGL : public QDialog {
    Q_OBJECT
public:
    // mainWindow gives the program folder, the tick count and the message
    // boxes; it must outlive this window.
    explicit TfrmGL(TForm1* mainWindow, QWidget* parent = nullptr);
    ~TfrmGL() override;

    // Texts and heights in the interface language, set anew at every opening.
    void ApplyLanguage(bool russian);
    // Makes the cube view at the first opening, before the window shows
    // (later calls do nothing). Reports once when no cube can be drawn.
    void PrepareCubeView();

    // ---- the cube ----------------------------------------------------------
    void TimerTimer();                                    // every 50 ms
    void Panel1MouseDown(Qt::MouseButton button, int x, int y);
    void Panel1MouseMove(int x, int y);
    void Panel1MouseUp(Qt::MouseButton button, int x, int y);
    void FormClose();                                     // deletes the texture file

    QString TextureFilePath() const;
    bool HasCube() const;         // an OpenGL view exists and is drawing
    bool HasTexture() const;      // the atlas was uploaded

    CubeSpin spin;                // SpinAngle, SpinStep and the drag
    // The atlas as decoded from the texture file at creation; the view
    // uploads it when it is made, whatever has become of the file by then.
    RgbPixels textureAtlas;

    // ---- controls (object names as given) --------------------------------
    CubePanel* Panel1 = nullptr;  // cube panel
    CubeSurface* cubeView = nullptr; // on Panel1; none before the first opening or without OpenGL
    QWidget* Panel3 = nullptr;    // title panel
    QLabel* Label1 = nullptr;     // "Tesselo v.1"
    QLabel* Label4 = nullptr;     // the authors line, four pieces
    QLabel* Label5 = nullptr;
    QLabel* Label6 = nullptr;
    QLabel* Label7 = nullptr;
    QLabel* Label2 = nullptr;     // thanks
    QFrame* Panel2 = nullptr;     // notes panel
    QLabel* Label3 = nullptr;     // notes heading
    QLabel* StaticText1 = nullptr;// notes
    QPushButton* BitBtn1 = nullptr;// OK
    QTimer* Timer = nullptr;      // spin clock

    void setVisible(bool visible) override;    // the first opening is placed before it shows

public slots:
    // Every way of closing (OK, Escape, the title bar) ends with OK.
    void done(int result) override;

protected:
    void showEvent(QShowEvent* event) override;   // centres over the main window
    void hideEvent(QHideEvent* event) override;
    bool event(QEvent* event) override;           // learns the frame of the first opening

private:
    void BuildWindow();
    void BuildTitlePanel();
    void BuildAuthorsLine();
    void BuildNotesPanel();
    void BuildCubeView();
    void WireEvents();
    void ApplyGeometry(const AboutTexts& texts);
    void WriteTextureFile();
    void RequestFrame();
    void CentreOverMainWindow();
    QPoint CentredFramePosition(QSize outer) const;

    TForm1* mainWindow_;
    bool cubeViewPrepared_ = false;
    // Set on the first opening, whose frame the window system does not know
    // yet: the window is centred again once it does.
    bool centreWhenFrameKnown_ = false;
};
