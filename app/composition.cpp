// The main window's controls: every control by name with its kind, bounds,
// font, visibility and tab order, the 57 case tiles, and the wiring of the
// events to the window's handlers.
#include "window/tform1.h"

#include "app/setrecords.h"
#include "app/tilemaking.h"
#include "board/groupsdialog.h"
#include "resources/resources.h"
#include "settings/defaults.h"
#include "settings/setkeys.h"
#include "settings/settingsfile.h"
#include "trainer/anotherscramble.h"
#include "window/pictures.h"
#include "trainer/drawchoice.h"
#include "trainer/namedrill.h"
#include "window/fonts.h"
#include "window/layout.h"
#include "window/scrambletext.h"
#include "window/tileareaevents.h"
#include "window/windowframe.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPixmap>
#include <QPushButton>
#include <QScrollArea>
#include <QTimer>
#include <QToolButton>
#include <future>

namespace {

const QColor kBevelLine(0xA0, 0xA0, 0xA0);
const QColor kFormDigits(0x28, 0x28, 0x28);

template <typename Control, typename... Args>
Control* Make(QWidget* parent, const char* name, const QRect& bounds, Args&&... args)
{
    auto* control = new Control(std::forward<Args>(args)..., parent);
    control->setObjectName(QString::fromLatin1(name));
    control->setGeometry(bounds);
    return control;
}

void SetBackground(QWidget* widget, const QColor& colour)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, colour);
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

void SetTextColour(QWidget* widget, const QColor& colour)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, colour);
    widget->setPalette(palette);
}

// The window's black text holds for every state; a check box's label greys
// when the box is disabled, as a disabled button's does.
void GreyWhenDisabled(QCheckBox* box)
{
    QPalette palette = box->palette();
    palette.setColor(QPalette::Disabled, QPalette::WindowText, palette.color(QPalette::Disabled, QPalette::ButtonText));
    box->setPalette(palette);
}

// The carried glyphs are PNG files. Naming the format spares the reader
// from loading every image-format plugin to ask each whether it knows the
// data (0.6 M instructions before the first frame).
QIcon EmbeddedIcon(const char* resource)
{
    QPixmap pixmap;
    pixmap.loadFromData(EmbeddedResource(QString::fromLatin1(resource)), "PNG");
    return pixmap.isNull() ? QIcon() : QIcon(pixmap);
}

// The window's icon (128 x 128), decoded on a thread of its own while the
// controls are made: the first picture read in a process pays the reader's
// set-up besides, 3 M instructions in all before the first frame.
std::future<QImage> StartDecodingWindowIcon()
{
    return std::async(std::launch::async,
                      [] { return QImage::fromData(EmbeddedResource(QStringLiteral("Icon")), "PNG"); });
}

QFrame* MakeBevelLine(QWidget* parent, const char* name, const QRect& bounds)
{
    auto* line = Make<QFrame>(parent, name, bounds);
    SetBackground(line, kBevelLine);
    return line;
}

QLabel* MakeLabel(QWidget* parent, const char* name, const QRect& bounds, const QString& text, bool bold = false)
{
    auto* label = Make<QLabel>(parent, name, bounds);
    label->setText(text);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    if (bold)
        label->setFont(InterfaceFont(11, true));
    return label;
}

QPushButton* MakeButton(QWidget* parent, const char* name, const QRect& bounds, const QString& text,
                        int pixelSize = 11)
{
    auto* button = Make<QPushButton>(parent, name, bounds);
    button->setText(text);
    button->setAutoDefault(false);
    if (pixelSize != 11)
        button->setFont(InterfaceFont(pixelSize));
    return button;
}

QListWidget* MakeHiddenList(QWidget* parent, const char* name, const QRect& bounds, const QStringList& items)
{
    auto* list = Make<QListWidget>(parent, name, bounds);
    list->addItems(items);
    list->hide();
    return list;
}

void BuildWindowFrame(TForm1& f)
{
    f.setObjectName(QStringLiteral("Form1"));
    f.setWindowTitle(QStringLiteral("Tesselo"));
    f.setFont(InterfaceFont(11));
    SetBackground(&f, Qt::white);
    SetTextColour(&f, Qt::black);
    WindowFrame* frame = WindowFrame::Of(&f);
    frame->SetMinimumOuterSize(QSize(800, 600));
    frame->SetOuterGeometry(QRect(283, 134, 816, 600));
}

void BuildPictureFrame(TForm1& f)
{
    f.Image1 = Make<PictureBox>(&f, "Image1", QRect(32, 16, 216, 216), PictureBox::Fit::Stretch);
    f.Image1->SetPicture(TranslucentWhite());   // the picture the veils show too
    f.Image1->setEnabled(false);
    f.Bevel1 = MakeBevelLine(&f, "Bevel1", QRect(30, 14, 1, 220));
    f.Bevel2 = MakeBevelLine(&f, "Bevel2", QRect(249, 14, 1, 220));
    f.Bevel3 = MakeBevelLine(&f, "Bevel3", QRect(30, 14, 220, 1));
    f.Bevel4 = MakeBevelLine(&f, "Bevel4", QRect(30, 233, 220, 1));
}

void BuildCountdownAndBulk(TForm1& f)
{
    f.Label2 = MakeLabel(&f, "Label2", QRect(2, 6, 97, 17), QStringLiteral("Время до старта:"));
    f.Label2->setAlignment(Qt::AlignRight | Qt::AlignTop);
    f.Label2->hide();
    f.UpDown1 = Make<UpDown>(&f, "UpDown1", QRect(129, 3, 16, 21));
    f.UpDown1->SetRange(2, 5);
    f.UpDown1->SetPosition(2);
    f.UpDown1->hide();
    f.BitBtn4 = MakeButton(&f, "BitBtn4", QRect(8, 44, 119, 25), QString());
    f.BitBtn4->hide();
    f.BitBtn5 = MakeButton(&f, "BitBtn5", QRect(136, 44, 119, 25), QString());
    f.BitBtn5->hide();
}

StopwatchLabel* MakeStopwatchLabel(SunkenPanel* panel, const char* name)
{
    auto* label = Make<StopwatchLabel>(panel, name, QRect(6, 4, 180, 53));
    label->setFont(InterfaceFont(61));
    SetTextColour(label, kFormDigits);
    return label;
}

void BuildStopwatch(TForm1& f)
{
    // The backdrop of unlit segments first, the reading in front of it.
    f.RzPanel1 = Make<SunkenPanel>(&f, "RzPanel1", QRect(31, 240, 218, 61));
    f.Label3 = MakeStopwatchLabel(f.RzPanel1, "Label3");
    f.Label1 = MakeStopwatchLabel(f.RzPanel1, "Label1");
    f.Label1->setText(QStringLiteral("15,429"));
    f.res = Make<ResultLabel>(&f, "res", QRect(8, 312, 265, 17));
    f.SplitLabel = MakeLabel(&f, "SplitLabel", QRect(31, 300, 218, 14), QString());
    f.SplitLabel->setAlignment(Qt::AlignCenter);
    f.SplitLabel->hide();
    f.res->setText(QStringLiteral("res"));
    f.res->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    f.res->hide();
}

void BuildCycleButtons(TForm1& f)
{
    f.BitBtn1 = MakeButton(&f, "BitBtn1", QRect(16, 336, 75, 30), QStringLiteral("Старт"), 13);
    f.BitBtn2 = MakeButton(&f, "BitBtn2", QRect(102, 336, 75, 30), QStringLiteral("Сохранить"), 13);
    f.BitBtn3 = MakeButton(&f, "BitBtn3", QRect(188, 336, 75, 30), QStringLiteral("Отменить"), 13);
}

void BuildModeAndLevelLines(TForm1& f)
{
    // The value labels size themselves to their text: their boxes reach to
    // the button beside them.
    f.Label4 = MakeLabel(&f, "Label4", QRect(17, 404, 56, 13), QStringLiteral("Режим:"));
    f.Label6 = MakeLabel(&f, "Label6", QRect(75, 404, 66, 13), QString(), true);
    f.BitBtn6 = MakeButton(&f, "BitBtn6", QRect(144, 397, 89, 25), QString());
    f.BitBtn8 = Make<QToolButton>(&f, "BitBtn8", QRect(238, 397, 25, 25));
    f.BitBtn8->setIcon(EmbeddedIcon("GlyphBin"));
    f.BitBtn8->setIconSize(QSize(16, 16));
    f.BitBtn8->setFocusPolicy(Qt::NoFocus);
    f.Label5 = MakeLabel(&f, "Label5", QRect(17, 435, 56, 13), QStringLiteral("Уровень:"));
    f.Label7 = MakeLabel(&f, "Label7", QRect(75, 435, 66, 13), QString(), true);
    f.BitBtn10 = MakeButton(&f, "BitBtn10", QRect(144, 429, 119, 25), QString());
    f.CheckBox1 = Make<QCheckBox>(&f, "CheckBox1", QRect(17, 464, 249, 17));
    f.CheckBox1->setText(QStringLiteral("Определение по двум граням"));
    // Ticked with the mouse, the box leaves the focus on Start: the next
    // Space starts an attempt instead of unticking the box.
    f.CheckBox1->setFocusPolicy(Qt::TabFocus);
    f.BitBtn7 = MakeButton(&f, "BitBtn7", QRect(16, 495, 119, 25), QStringLiteral("Экзамен"));
    f.BitBtn9 = MakeButton(&f, "BitBtn9", QRect(144, 495, 119, 25), QString());
    f.CheckBox2 = Make<QCheckBox>(&f, "CheckBox2", QRect(17, 524, 119, 17));
    f.CheckBox2->setText(QStringLiteral("Скрамбл для куба"));
    f.CheckBox2->setFocusPolicy(Qt::TabFocus);
    // On the row of the Groups button, which the 2-side box takes in PLL at
    // the Hard level (app/captions.cpp: ShowLevel).
    f.CheckBoxSplit = Make<QCheckBox>(&f, "CheckBoxSplit", QRect(17, 464, 180, 17));
    f.CheckBoxSplit->setText(QStringLiteral("Время распознавания"));
    f.CheckBoxSplit->setFocusPolicy(Qt::TabFocus);
    // Under the setup scramble's row, as close as the window's smallest size allows.
    f.CheckBoxNaming = Make<QCheckBox>(&f, "CheckBoxNaming", QRect(17, 542, 180, 15));
    f.CheckBoxNaming->setText(QStringLiteral("Назови случай"));
    f.CheckBoxNaming->setFocusPolicy(Qt::TabFocus);
    f.NamingLabel = MakeLabel(&f, "NamingLabel", QRect(31, 302, 218, 14), QString(), true);
    f.NamingLabel->setAlignment(Qt::AlignCenter);
    f.NamingLabel->hide();
    GreyWhenDisabled(f.CheckBox1);
    GreyWhenDisabled(f.CheckBox2);
    GreyWhenDisabled(f.CheckBoxSplit);
    GreyWhenDisabled(f.CheckBoxNaming);
}

// The setup scramble over the picture frame, large enough to read with a
// cube in the hands, and how to hold the cube for it.
QLabel* MakeScrambleLine(TForm1& f, const char* name, const QRect& bounds, int pixelSize, bool bold)
{
    QLabel* label = MakeLabel(&f, name, bounds, QString());
    label->setFont(InterfaceFont(pixelSize, bold));
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignCenter);
    label->setAttribute(Qt::WA_TransparentForMouseEvents);
    label->hide();
    return label;
}

void BuildScrambleLines(TForm1& f)
{
    // The turns fill the frame above the caption, in the bold interface face
    // spaced for turns (window/scrambletext.h).
    auto* turns = Make<ScrambleText>(&f, "ScrambleLabel", QRect(36, 18, 208, 174));
    turns->setFont(InterfaceFont(22, true));
    turns->setAttribute(Qt::WA_TransparentForMouseEvents);
    turns->hide();
    f.ScrambleLabel = turns;
    f.ScrambleHold = MakeScrambleLine(f, "ScrambleHold", QRect(36, 192, 208, 38), 13, false);
}

// The list of the exam's cases, hidden; the draw reads it.
void BuildExamList(TForm1& f)
{
    f.exdone = MakeHiddenList(&f, "exdone", QRect(160, 576, 121, 257), QStringList());
}

// The controls laid out hidden that nothing shows or reads at start-up: the
// countdown field, which lays its text out as it is made, and the lists of
// the built-in hints. The program a user starts makes them just after the
// first frame; until then they are null.
void BuildUnseenControls(TForm1& f)
{
    f.Edit1 = Make<QLineEdit>(&f, "Edit1", QRect(104, 3, 25, 21));
    f.Edit1->hide();
    f.Edit1->setEnabled(f.UpDown1->isEnabled());   // the countdown controls go together
    f.UpDown1->SetBuddy(f.Edit1);                   // its text: the up-down's position
    f.OLLhints = MakeHiddenList(&f, "OLLhints", QRect(-8, 216, 73, 113), BuiltInOllHints());
    f.PLLhints = MakeHiddenList(&f, "PLLhints", QRect(16, 120, 49, 97), BuiltInPllHints());
}

void BuildTileArea(TForm1& f, TForm1::Making making)
{
    f.ScrollBox1 = Make<QScrollArea>(&f, "ScrollBox1", QRect(296, 0, 504, 543));
    f.ScrollBox1->setFrameShape(QFrame::NoFrame);
    f.ScrollBox1->setFocusPolicy(Qt::NoFocus);
    f.ScrollBox1->setWidgetResizable(false);
    SetBackground(f.ScrollBox1, Qt::white);
    SetBackground(f.ScrollBox1->viewport(), Qt::white);
    f.tileContent = new QWidget;
    f.tileContent->setObjectName(QStringLiteral("tileContent"));
    SetBackground(f.tileContent, Qt::white);
    // In its place before the tiles are made: each then takes the window's
    // font and the white background as it is made, instead of some 700
    // controls being told of a new parent's font and palette afterwards.
    f.ScrollBox1->setWidget(f.tileContent);
    // Before the first layout the tiles stand in the widest grid, which a
    // window too wide for the layout keeps.
    f.tileGrid = ComputeTileGrid(10 * kColumnPitch + kColumnPitch - 1).value_or(TileGrid{1, 0});
    if (making == TForm1::Making::AllNow)
        MakeTiles(f, kMaxCases);
}

void BuildStatusBar(TForm1& f)
{
    f.StatusBar1 = Make<PanelStatusBar>(&f, "StatusBar1", QRect(0, 543, 800, 19));
}

void BuildTimersAndMenu(TForm1& f)
{
    f.Timer1 = new QTimer(&f);
    f.Timer1->setObjectName(QStringLiteral("Timer1"));
    f.Timer1->setInterval(10);
    f.Timer1->setTimerType(Qt::PreciseTimer);
    f.Timer2 = new QTimer(&f);
    f.Timer2->setObjectName(QStringLiteral("Timer2"));
    f.Timer2->setInterval(1000);
    f.PopupMenu1 = new QMenu(&f);
    f.PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    f.PopupMenu1->setFont(InterfaceFont(11));   // a pop-up is a window of its own: it inherits no font
    f.N1 = f.PopupMenu1->addAction(EmbeddedIcon("GlyphCursor"), QStringLiteral("Изменить алгоритм"));
    f.N1->setObjectName(QStringLiteral("N1"));
}

void BuildTabOrder(TForm1& f)
{
    // Tab order of the controls that take the focus; the panel and the tile
    // area take none.
    // The controls not made yet are left out until they are (BuildUnseenControls).
    QList<QWidget*> order = {f.BitBtn1, f.BitBtn2,  f.BitBtn3, f.Edit1,   f.UpDown1,
                             f.BitBtn4, f.BitBtn5,  f.BitBtn6, f.OLLhints, f.PLLhints,
                             f.BitBtn9, f.BitBtn7,  f.exdone,  f.BitBtn10, f.CheckBox1, f.CheckBox2};
    order.removeAll(nullptr);
    for (qsizetype i = 1; i < order.size(); ++i)
        QWidget::setTabOrder(order[i - 1], order[i]);
    QWidget::setTabOrder(f.CheckBox2, f.ComboBox1);   // the draw choice, last in the column
    QWidget::setTabOrder(f.ComboBox1, f.GroupsButton);
}

// Starts decoding the thumbnails of the set Settings.ini makes active, on a
// thread of their own, while start-up builds the window.
void PrefetchActiveSetThumbnails(TForm1& form)
{
    const CaseSet set = ActiveSetIn(SettingsFile(SettingsPath(form)));
    QStringList paths;
    for (int n = 1; n <= CaseCount(set); ++n)
        paths << form.env.files.FindPicture(EasyPicturePath(set, n));
    form.thumbnails.Prefetch(paths);
}

// Every control, in its place. The tile area is made before the controls
// with text, while the font database fills on its own thread; it is then put
// back in its place among the window's controls (above the column, under the
// status bar).
void BuildControls(TForm1& form, TForm1::Making making)
{
    BuildWindowFrame(form);
    BuildPictureFrame(form);
    BuildTileArea(form, making);
    BuildCountdownAndBulk(form);
    BuildStopwatch(form);
    BuildCycleButtons(form);
    BuildModeAndLevelLines(form);
    BuildScrambleLines(form);
    BuildAnotherScrambleButton(form);
    BuildDrawChoice(form);
    WireNamingDrill(form);
    BuildGroupsButton(form);
    BuildExamList(form);
    if (making == TForm1::Making::AllNow)
        BuildUnseenControls(form);
    form.ScrollBox1->raise();
    BuildStatusBar(form);
    BuildTimersAndMenu(form);
    BuildTabOrder(form);
}

}   // namespace

// ---- TForm1 -------------------------------------------------------------------

TForm1::TForm1(Environment environment, QWidget* parent, Making making)
    : QWidget(parent), session(environment.clock, environment.random), env(std::move(environment))
{
    // The thumbnails are decoded on a thread of their own while the fonts
    // and controls are made; the records' load takes them.
    std::future<QImage> icon = StartDecodingWindowIcon();
    PrefetchActiveSetThumbnails(*this);
    RegisterInterfaceFonts();
    BuildControls(*this, making);
    // From here on a tile is made as it comes into view or is asked for; one
    // made before the start-up has loaded the set is filled by that load.
    if (making == Making::FirstFrameFirst)
        makeTilesUpTo = [this](int upTo) { MakeFilledTiles(*this, upTo); };
    const QImage decodedIcon = icon.get();
    if (!decodedIcon.isNull())
        setWindowIcon(QIcon(QPixmap::fromImage(decodedIcon)));
    WireEvents();
    FormCreate();
}

void CompleteAfterFirstFrame(TForm1& form)
{
    MakeRemainingTiles(form);
    if (!form.Edit1) {
        BuildUnseenControls(form);
        BuildTabOrder(form);
    }
}

void AttachDialogs(TForm1& form, TForm2* form2, TfrmGL* gl, TForm3* form3)
{
    form.Form2 = form2;
    form.frmGL = gl;
    form.Form3 = form3;
}

void TForm1::WireEvents()
{
    // Every handler runs guarded: an error it raises ends the user action and
    // is shown with its own text.
    const auto run = [this](void (TForm1::*handler)()) { return [this, handler] { Guarded([&] { (this->*handler)(); }); }; };
    connect(BitBtn1, &QPushButton::clicked, this, run(&TForm1::BitBtn1Click));
    connect(BitBtn2, &QPushButton::clicked, this, run(&TForm1::BitBtn2Click));
    connect(BitBtn3, &QPushButton::clicked, this, run(&TForm1::BitBtn3Click));
    connect(BitBtn4, &QPushButton::clicked, this, run(&TForm1::EnableAllCases));
    connect(BitBtn5, &QPushButton::clicked, this, run(&TForm1::DisableAllCases));
    connect(BitBtn6, &QPushButton::clicked, this, run(&TForm1::BitBtn6Click));
    connect(BitBtn7, &QPushButton::clicked, this, run(&TForm1::BitBtn7Click));
    connect(BitBtn8, &QToolButton::clicked, this, run(&TForm1::BitBtn8Click));
    connect(BitBtn9, &QPushButton::clicked, this, run(&TForm1::BitBtn9Click));
    connect(BitBtn10, &QPushButton::clicked, this, run(&TForm1::BitBtn10Click));
    connect(CheckBox2, &QCheckBox::clicked, this, run(&TForm1::CheckBox2Click));
    connect(Timer1, &QTimer::timeout, this, run(&TForm1::Timer1Timer));
    connect(Timer2, &QTimer::timeout, this, run(&TForm1::Timer2Timer));
    connect(Image1, &PictureBox::Clicked, this, run(&TForm1::Image1Click));
    connect(PopupMenu1, &QMenu::aboutToShow, this, run(&TForm1::PopupMenu1Popup));
    connect(N1, &QAction::triggered, this, run(&TForm1::N1Click));
    connect(static_cast<ResultLabel*>(res), &ResultLabel::MouseDown, this,
            [this](Qt::MouseButton button, const QPoint& globalPos) {
                Guarded([&] { resMouseDown(button, globalPos); });
            });
    // The window paints what the session says (the tiles' presses are wired
    // as each tile is made: app/tilemaking.cpp).
    connect(&session, &TrainingSession::RecordChanged, this, [this](int caseNumber) { ShowRecordOnTile(*this, caseNumber); });
    connect(&session, &TrainingSession::CaseEnabledChanged, this,
            [this](int caseNumber) { ShowEnabledOnTile(*this, caseNumber); });
    connect(&session, &TrainingSession::DrawChanged, this, [this] { ShowDrawProgress(*this); });
    connect(this, &TForm1::BoardRefreshed, this, [this] {
        DrawInAdvance(*this);
        ShowDrawProgress(*this);
    });
    new TileAreaEvents(this);
    qApp->installEventFilter(this);   // key preview
}
