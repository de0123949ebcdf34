#include "about/tfrmgl.h"

#include "about/abouttexts.h"
#include "about/cubepanel.h"
#include "about/cubesurface.h"
#include "resources/resources.h"
#include "platform/atomicfile.h"
#include "platform/pluginloader.h"
#include "window/tform1.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFont>
#include <QFontMetrics>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QWindow>
#include <QtDebug>

#include <cerrno>

namespace {

constexpr int kClientWidth = 385;
constexpr int kFormClientHeight = 284;
constexpr int kSpinIntervalMs = 50;

QFont Tahoma(int pixelHeight, bool bold = false)
{
    QFont font(QStringLiteral("Tahoma"));
    font.setPixelSize(pixelHeight);
    font.setBold(bold);
    return font;
}

void PaintWhite(QWidget* widget)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, Qt::white);
    palette.setColor(QPalette::Base, Qt::white);
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

QLabel* MakeLabel(QWidget* parent, const QString& name, const QFont& font)
{
    auto* label = new QLabel(parent);
    label->setObjectName(name);
    label->setFont(font);
    label->setTextFormat(Qt::PlainText);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, Qt::black);
    label->setPalette(palette);
    return label;
}

QString CannotCreateText(const QString& path, QString description)
{
    if (!description.endsWith(QLatin1Char('.')))
        description += QLatin1Char('.');
    return QStringLiteral("Cannot create file \"%1\". %2").arg(QDir::toNativeSeparators(path), description);
}

// The program's generic report of a failed system call that left no error
// number, as for a rendering context that cannot be made.
const char* const kOsCallFailed = "A call to an OS function failed.";

} // namespace

TfrmGL::TfrmGL(TForm1* mainWindow, QWidget* parent) : QDialog(parent), mainWindow_(mainWindow)
{
    BuildWindow();
    BuildTitlePanel();
    BuildNotesPanel();
    WriteTextureFile();
    WireEvents();
    ApplyLanguage(mainWindow_->state.russianInterface);
    // The cube turns from program start on, shown or hidden.
    Timer->start();
}

TfrmGL::~TfrmGL()
{
    Timer->stop();
    // The view's context goes first; the uploaded texture no longer needs the file.
    if (cubeView)
        delete cubeView->Widget();
    cubeView = nullptr;
    QFile::remove(TextureFilePath());
}

// ---- composition -----------------------------------------------------------

void TfrmGL::BuildWindow()
{
    setObjectName(QStringLiteral("frmGL"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint
                   | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setFont(Tahoma(11));
    PaintWhite(this);
    setFixedSize(kClientWidth, kFormClientHeight);

    Panel1 = new CubePanel(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setGeometry(5, -3, 105, 105);

    BitBtn1 = new QPushButton(this);
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    BitBtn1->setGeometry(155, 256, 75, 25);
    BitBtn1->setDefault(true);

    Timer = new QTimer(this);
    Timer->setObjectName(QStringLiteral("Timer"));
    Timer->setInterval(kSpinIntervalMs);
}

void TfrmGL::BuildTitlePanel()
{
    Panel3 = new QWidget(this);
    Panel3->setObjectName(QStringLiteral("Panel3"));
    Panel3->setGeometry(120, 0, 265, 97);
    PaintWhite(Panel3);

    Label1 = MakeLabel(Panel3, QStringLiteral("Label1"), Tahoma(21, true));
    Label1->setGeometry(10, 14, 233, 25);
    Label1->setText(QStringLiteral("Tesselo v.1"));

    BuildAuthorsLine();

    Label2 = MakeLabel(Panel3, QStringLiteral("Label2"), Tahoma(13));
    Label2->setGeometry(10, 70, 233, 17);
}

// The four pieces stand side by side, each as wide as its text.
void TfrmGL::BuildAuthorsLine()
{
    QLabel** pieces[4] = {&Label4, &Label5, &Label6, &Label7};
    int left = 10;
    for (int i = 0; i < 4; ++i) {
        const QFont font = Tahoma(16, kAuthorsLine[i].bold);
        const QString text = QString::fromUtf8(kAuthorsLine[i].text);
        QLabel* label = MakeLabel(Panel3, QStringLiteral("Label%1").arg(4 + i), font);
        label->setText(text);
        const int width = QFontMetrics(font).horizontalAdvance(text);
        label->setGeometry(left, 45, width, 19);
        left += width;
        *pieces[i] = label;
    }
}

void TfrmGL::BuildNotesPanel()
{
    Panel2 = new QFrame(this);
    Panel2->setObjectName(QStringLiteral("Panel2"));
    Panel2->setFrameStyle(QFrame::Box | QFrame::Plain);
    Panel2->setLineWidth(1);
    Panel2->setGeometry(2, 104, 382, 159);
    PaintWhite(Panel2);

    Label3 = MakeLabel(Panel2, QStringLiteral("Label3"), Tahoma(11, true));
    Label3->move(8, 3);

    StaticText1 = MakeLabel(Panel2, QStringLiteral("StaticText1"), Tahoma(11));
    StaticText1->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    StaticText1->setLineWidth(1);
    StaticText1->setWordWrap(true);
    PaintWhite(StaticText1);
    StaticText1->setGeometry(8, 24, 361, 120);
}

void TfrmGL::PrepareCubeView()
{
    if (cubeViewPrepared_)
        return;
    cubeViewPrepared_ = true;
    BuildCubeView();
    if (!cubeView)
        mainWindow_->env.messages->ShowError(QString::fromLatin1(kOsCallFailed));
}

// The OpenGL stack is loaded here, when the cube is first needed, not at
// program start: most runs never open this window.
void TfrmGL::BuildCubeView()
{
    QString whyNot;
    CubeViewFactory* factory = LoadCubeViewFactory(&whyNot);
    if (factory)
        whyNot = factory->WhyNoCubeContext();
    if (!whyNot.isEmpty()) {
        qWarning().noquote() << "About window: no cube is drawn, because" << whyNot;
        return;
    }
    cubeView = factory->CreateView(spin, textureAtlas, Panel1);
    textureAtlas = RgbPixels();   // the view keeps its own copy until the upload
    QWidget* view = cubeView->Widget();
    view->setObjectName(QStringLiteral("cubeView"));
    view->setGeometry(0, 0, Panel1->width(), Panel1->height());
    view->show();
}

void TfrmGL::WireEvents()
{
    connect(Timer, &QTimer::timeout, this, &TfrmGL::TimerTimer);
    connect(BitBtn1, &QPushButton::clicked, this, &TfrmGL::accept);
    connect(Panel1, &CubePanel::MouseDown, this, &TfrmGL::Panel1MouseDown);
    connect(Panel1, &CubePanel::MouseMove, this, &TfrmGL::Panel1MouseMove);
    connect(Panel1, &CubePanel::MouseUp, this, &TfrmGL::Panel1MouseUp);
}

// ---- texts and geometry ----------------------------------------------------

void TfrmGL::ApplyLanguage(bool russian)
{
    const AboutTexts texts = AboutTextsFor(russian);
    Label2->setText(texts.thanks);
    Label3->setText(texts.notesHeading);
    Label3->adjustSize();
    setWindowTitle(texts.title);
    StaticText1->setText(texts.notes);
    ApplyGeometry(texts);
}

void TfrmGL::ApplyGeometry(const AboutTexts& texts)
{
    StaticText1->resize(StaticText1->width(), texts.notesHeight);
    setFixedSize(kClientWidth, texts.clientHeight);
    Panel2->resize(Panel2->width(), texts.notesPanelHeight);
    BitBtn1->move(BitBtn1->x(), texts.okTop);
    BitBtn1->setText(texts.ok);
}

// ---- showing and closing ---------------------------------------------------

// Before this window first goes on screen, the window system does not know
// its frame yet. A position given then is taken for the frame (the window
// manager places the frame, not the client area, there), with the main
// window's frame as the best guess for this one's size; once the real frame
// is known, the window is centred again if the guess was off.
void TfrmGL::setVisible(bool visible)
{
    if (visible && !isVisible()) {
        PrepareCubeView();
        if (!testAttribute(Qt::WA_WState_Created)) {
            const QSize margins = mainWindow_->frameGeometry().size() - mainWindow_->size();
            move(CentredFramePosition(size() + margins));
            centreWhenFrameKnown_ = true;
        }
    }
    QDialog::setVisible(visible);
}

void TfrmGL::showEvent(QShowEvent* event)
{
    CentreOverMainWindow();
    QDialog::showEvent(event);
}

// Outer sizes on both sides: the frame is centred over the main window's frame.
QPoint TfrmGL::CentredFramePosition(QSize outer) const
{
    const QRect main = mainWindow_->frameGeometry();
    return {main.x() + main.width() / 2 - outer.width() / 2, main.y() + main.height() / 2 - outer.height() / 2};
}

// Only with a known frame (or none at all, without a window manager): an
// unknown one would have the client area placed where the frame belongs.
void TfrmGL::CentreOverMainWindow()
{
    if (centreWhenFrameKnown_)
        return;
    const QPoint centred = CentredFramePosition(frameGeometry().size());
    if (centred != frameGeometry().topLeft())
        move(centred);
}

// Without a window manager the frame never becomes known; the next opening
// centres as usual.
void TfrmGL::hideEvent(QHideEvent* event)
{
    centreWhenFrameKnown_ = false;
    QDialog::hideEvent(event);
}

bool TfrmGL::event(QEvent* event)
{
    const bool handled = QDialog::event(event);
    if (centreWhenFrameKnown_ && (event->type() == QEvent::Move || event->type() == QEvent::Resize)
        && frameGeometry().size() != size()) {
        centreWhenFrameKnown_ = false;
        CentreOverMainWindow();
    }
    return handled;
}

void TfrmGL::done(int)
{
    FormClose();
    QDialog::done(QDialog::Accepted);
}

void TfrmGL::FormClose()
{
    QFile::remove(TextureFilePath());
}

// ---- the cube ----------------------------------------------------------------

QString TfrmGL::TextureFilePath() const
{
    return InFolder(mainWindow_->env.files.dataFolder, QStringLiteral("Images/cube.bmp"));
}

bool TfrmGL::HasCube() const
{
    return cubeView && cubeView->ContextReady();
}

bool TfrmGL::HasTexture() const
{
    return cubeView && cubeView->HasTexture();
}

// The atlas goes to a file beside the program and is decoded from it at
// once; the view uploads the decoded pixels when it is made. A failure to
// write is reported and the cube stays plain.
void TfrmGL::WriteTextureFile()
{
    const QByteArray atlas = EmbeddedResource(QStringLiteral("MyWav"));
    if (atlas.isEmpty()) {
        qWarning("About window: the program carries no cube texture; the cube is drawn untextured");
        return;
    }
    const QString path = TextureFilePath();
    QDir().mkpath(QFileInfo(path).absolutePath());
    // A link named cube.bmp is replaced, never written through. The file is
    // deleted at the end of every run, so it is not flushed to the disk.
    FileReplacement how;
    how.newFileMode = 0666;
    how.durable = false;
    if (!ReplaceFileAtomically(path, atlas, how)) {
        mainWindow_->env.messages->ShowError(CannotCreateText(path, qt_error_string(errno)));
        return;
    }
    textureAtlas = ReadBitmapFile(path);
}

// A hidden window draws nothing, so only the clock's steps add up then.
void TfrmGL::RequestFrame()
{
    if (cubeView && isVisible())
        cubeView->Widget()->update();
}

void TfrmGL::TimerTimer()
{
    spin.ClockTick();
    RequestFrame();
}

void TfrmGL::Panel1MouseDown(Qt::MouseButton button, int x, int y)
{
    spin.Press(button, x, y, mainWindow_->env.clock->TickCount());
}

void TfrmGL::Panel1MouseMove(int x, int y)
{
    if (spin.Move(x, y, mainWindow_->env.clock->TickCount()))
        RequestFrame();
}

void TfrmGL::Panel1MouseUp(Qt::MouseButton, int, int)
{
    spin.Release();
}

CubeViewFactory* LoadCubeViewFactory(QString* why)
{
    return LoadPluginFactory<CubeViewFactory>(kCubePluginName, why);
}
