#pragma once
// The main window: the view of the training session (core/trainingsession.h),
// whose state, draw and records it paints. Its handlers live with the
// subsystem that owns them, each folder above the ones it calls:
//   window/   resize, tile layout, mouse wheel; the pictures
//   board/    RefreshBoard, tile presses, hints, bulk operations, clearing
//   trainer/  Start/Stop, countdown, stopwatch, accept/discard, keyboard, exam
//   app/      the controls built and wired (composition), start-up,
//             shut-down, set and level switches, captions
//   about/    the About button

#include "window/thumbnailcache.h"
#include "core/trainingsession.h"
#include "core/setupscramble.h"
#include "settings/defaults.h"
#include "core/catalogue.h"
#include "core/draw.h"
#include "core/errors.h"
#include "core/seams.h"
#include "window/controls.h"
#include "window/layout.h"

#include <QImage>
#include <QWidget>
#include <array>
#include <functional>
#include <optional>

class QCheckBox;
class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QAction;
class QPushButton;
class QScrollArea;
class QTimer;
class QToolButton;
class SettingsFile;
class TForm2;
class TForm3;
class TfrmGL;
class ProgressHub;

class TForm1 : public QWidget {
    Q_OBJECT
public:
    // What the first frame does not show is made with the rest, or, for the
    // program a user starts (app/program.cpp), later: each case tile when it
    // first comes into the tile area's view, the rest of the tiles and the
    // hidden controls nothing shows just after the first frame
    // (CompleteAfterFirstFrame).
    enum class Making { AllNow, FirstFrameFirst };
    // Builds the controls and runs FormCreate.
    explicit TForm1(Environment environment, QWidget* parent = nullptr, Making making = Making::AllNow);
    ~TForm1() override;

    // The training session: the state, the draw and the records this window
    // paints (core/trainingsession.h). The references keep the old names.
    TrainingSession session;
    TrainerState& state = session.state;
    CaseDraw& caseDraw = session.draw;   // the draw rule and its rounds (core/draw.h)
    ScramblePool& scramblePool = session.scramblePool;   // the embedded pool
    TuningColours tuning;
    Environment env;

    // ---- controls (object names as given) --------------------------------
    PictureBox* Image1 = nullptr;
    QFrame* Bevel1 = nullptr;
    QFrame* Bevel2 = nullptr;
    QFrame* Bevel3 = nullptr;
    QFrame* Bevel4 = nullptr;
    QLabel* Label2 = nullptr;          // countdown caption
    QLineEdit* Edit1 = nullptr;        // countdown seconds (hidden; see Making)
    UpDown* UpDown1 = nullptr;
    QPushButton* BitBtn4 = nullptr;    // enable all
    QPushButton* BitBtn5 = nullptr;    // disable all
    SunkenPanel* RzPanel1 = nullptr;   // stopwatch panel
    StopwatchLabel* Label3 = nullptr;  // unlit "88,888" backdrop
    StopwatchLabel* Label1 = nullptr;  // stopwatch text
    QLabel* res = nullptr;             // result line; Tag: -1 result message, n hint of case n
    QPushButton* BitBtn1 = nullptr;    // Start / Stop
    QPushButton* BitBtn2 = nullptr;    // Accept
    QPushButton* BitBtn3 = nullptr;    // Discard
    QLabel* Label4 = nullptr;          // "Mode:"
    QLabel* Label6 = nullptr;          // "OLL" / "PLL"
    QPushButton* BitBtn6 = nullptr;    // set switch
    QToolButton* BitBtn8 = nullptr;    // clear results (glyph, no focus)
    QLabel* Label5 = nullptr;          // "Level:"
    QLabel* Label7 = nullptr;          // "Easy" / "Hard"
    QPushButton* BitBtn10 = nullptr;   // level switch
    QPushButton* GroupsButton = nullptr;   // the Groups dialog (board/groups.cpp)
    QCheckBox* CheckBox1 = nullptr;    // 2-side recognition
    QPushButton* BitBtn7 = nullptr;    // exam
    QPushButton* BitBtn9 = nullptr;    // About
    QCheckBox* CheckBox2 = nullptr;    // setup scramble for a real cube
    QCheckBox* CheckBoxSplit = nullptr;   // time recognition (trainer/recognitionsplit.cpp)
    QLabel* SplitLabel = nullptr;      // the recognition mark under the stopwatch
    QCheckBox* CheckBoxNaming = nullptr;   // "Name the case" (trainer/namedrill.cpp)
    QLabel* NamingLabel = nullptr;     // the answer typed so far, under the stopwatch
    QLabel* ScrambleLabel = nullptr;   // the setup scramble, over the picture frame
    QLabel* ScrambleHold = nullptr;    // how to hold the cube for it
    QPushButton* AnotherScramble = nullptr;   // a new setup for the waiting case (trainer/anotherscramble.cpp)
    QComboBox* ComboBox1 = nullptr;    // how the next case is drawn (trainer/drawchoice.cpp)
    QListWidget* OLLhints = nullptr;   // built-in hints (hidden; see Making)
    QListWidget* PLLhints = nullptr;
    QListWidget* exdone = nullptr;     // exam done list (hidden)
    QScrollArea* ScrollBox1 = nullptr; // tile area
    QWidget* tileContent = nullptr;    // ScrollBox1's content widget holding the tiles
    PanelStatusBar* StatusBar1 = nullptr;
    QTimer* Timer1 = nullptr;          // stopwatch, 10 ms
    QTimer* Timer2 = nullptr;          // countdown, 1000 ms
    QMenu* PopupMenu1 = nullptr;
    QAction* N1 = nullptr;
    std::array<CaseTile*, kMaxCases> tiles{};   // tiles[n-1] is oll<n>; made in case order, null until made
    std::array<QString, kMaxCases> hints;      // hints[n-1]: the hint of case n in the active set
    TileGrid tileGrid;                 // where the tiles stand (the last grid the area's width gave)
    int tilesShown = kMaxCases;        // tiles 1..tilesShown are shown: the active set's cases
    ThumbnailCache thumbnails;         // both sets' decoded Easy pictures (app/records.cpp)

    // Tile n; one not made yet is made first, showing the session as the others do.
    CaseTile* Tile(int caseNumber) const;
    // Tile n when it has been made, else null: for what fills the tiles made so far
    // (a tile made later is filled as it is made).
    CaseTile* MadeTile(int caseNumber) const { return tiles[caseNumber - 1]; }
    // Makes the tiles up to case n that are not made yet (app/tilemaking.cpp);
    // empty while every tile made is filled by the start-up itself.
    std::function<void(int)> makeTilesUpTo;

    // ---- window/ ----------------------------------------------------------
    void ScrollBox1Resize();
    void FormMouseWheel(int delta, const QPoint& globalPos);

    // ---- trainer/ ---------------------------------------------------------
    void BitBtn1Click();               // Start/Stop action
    void Timer2Timer();                // countdown tick
    void Timer1Timer();                // stopwatch tick
    void BitBtn2Click();               // Accept
    void BitBtn3Click();               // Discard
    void Image1Click();                // give-up (with Time recognition: the first click marks)
    void FormKeyDown(int key, Qt::KeyboardModifiers modifiers);
    void FormKeyPress(QChar character);
    bool Edit1KeyPress(QChar character);   // true when the character may reach the field
    void BitBtn7Click();               // exam button
    unsigned heldActionKeys = 0;       // Space/Enter acted on at key-down; their releases are swallowed
    struct KeyRelease {
        int key = 0;
        quint64 timestamp = 0;
        unsigned heldBitCleared = 0;   // the bit of heldActionKeys this release cleared
    };
    KeyRelease lastKeyRelease;         // tells X11's unflagged auto-repeats from real presses
    struct TileAnswer {
        int caseNumber = 0;
        qint64 atUs = 0;
    };
    TileAnswer lastTileAnswer;         // the naming drill's answer by a tile (trainer/namedrill.cpp)

    // Setup scrambles (trainer/scramblecycle.cpp): with CheckBox2 on, the next
    // case is drawn in Idle and its scramble shown; the stopwatch then times
    // the cube in the user's hands.
    void CheckBox2Click();
    QImage scrambleAnswer;             // the timed case's Easy picture, shown at Stop

    // ---- board/ -----------------------------------------------------------
    void ioll1MouseDown(CaseTile* tile, Qt::MouseButton button);
    void bioll1MouseDown(CaseTile* tile, Qt::MouseButton button);
    void resMouseDown(Qt::MouseButton button, const QPoint& globalPos);
    void PopupMenu1Popup();
    void N1Click();                    // EditCaseHint
    void EnableAllCases();             // BitBtn4Click
    void DisableAllCases();            // BitBtn5Click
    void BitBtn8Click();               // opens the clear dialog

    // ---- app/ -------------------------------------------------------------
    void FormCreate();
    void FormClose();
    void BitBtn6Click();               // set switch
    void BitBtn10Click();              // level switch

    // ---- about/ -----------------------------------------------------------
    void BitBtn9Click();

    // Runs a user action; an error it raises is shown with its own text.
    template <typename Action> void Guarded(Action&& action);

    TForm2* Form2 = nullptr;
    TfrmGL* frmGL = nullptr;
    TForm3* Form3 = nullptr;
    ProgressHub* progress = nullptr;   // History.csv and the Progress window (history/)

signals:
    // The tiles, bars and status line show the session anew (RefreshBoard):
    // what can be drawn may have changed, the draw's views follow.
    void BoardRefreshed();

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;   // key preview (trainer/)
    bool focusNextPrevChild(bool next) override;                  // focus of a disabled control (trainer/)

private:
    void WireEvents();                 // app/composition.cpp
    bool closed_ = false;              // shut-down ran (a second close must not repeat it)
    int fontId_ = -1;                  // the registered stopwatch font
    QString fontFamily_;               // its face name
    friend class KeyPreview;
    // app/shutdown.cpp: the shut-down runs once.
    friend void ReleaseAtShutdown(TForm1& form);
    friend bool ShutDownUnasked(TForm1& form);
    friend void SaveForSessionEnd(TForm1& form);
    friend void EndWithoutSaving(TForm1& form);
};

// ---- view helpers: what the handlers share, outside the window class ----------
inline QString SettingsPath(const TForm1& form) { return form.env.files.SettingsPath(); }
// trainer/cycle.cpp
bool DrawCase(TForm1& form);                        // false when the attempt was aborted
void AbortAttempt(TForm1& form);                    // the attempt stops and is discarded
int CountdownFieldValue(const TForm1& form);
void EnableCycleControls(TForm1& form, bool enabled);   // bulk buttons, exam button, mode controls
void SetModeControlsEnabled(TForm1& form, bool enabled);
void SetBulkButtonsEnabled(TForm1& form, bool enabled);
void SetCountdownControlsEnabled(TForm1& form, bool enabled);
// trainer/recognitionsplit.cpp: Time recognition
bool RecognitionTimed(const TForm1& form);
bool MarkRecognition(TForm1& form);                 // true when this marked the attempt
void MarkRecognitionByKey(TForm1& form, int key);
void ShowRecognitionSplit(TForm1& form);
void HideRecognitionSplit(TForm1& form);
// trainer/clockstart.cpp
void StartClockWhenShown(TForm1& form);             // the question's frame handed to the window system, then the clock
// trainer/picture_loading.cpp
// The question on screen, or why it cannot be: the attempt is then to be
// aborted, and the problem told after (none for a picture that does not decode).
struct QuestionPicture {
    bool shown = true;
    QString problem;
};
QuestionPicture LoadQuestionPicture(TForm1& form);
bool LoadAnswerPicture(TForm1& form);               // false when the answer file is missing
// trainer/exam.cpp
bool ExamDraw(TForm1& form);                        // false when the exam ended instead
// trainer/scramblecycle.cpp: with CheckBox2 on, the next case is drawn in
// Idle and its scramble shown; the stopwatch then times the cube in the hands.
bool ScrambleMode(const TForm1& form);
void DrawInAdvance(TForm1& form);                   // keeps a drawn case that can still be drawn
// board/
void ApplyTileStyle(TForm1& form, int caseNumber, bool enabled);
void ClearResults(TForm1& form, bool keepBests);
void RefreshBoard(TForm1& form);                    // tiles, bars and status line from the session (board/refresh.cpp)
void RefreshTileBars(TForm1& form);                 // the bars of the tiles made, as RefreshBoard leaves them
void ToggleCaseOnBoard(TForm1& form, int caseNumber);   // a tile press: the case enabled or disabled (board/tiles.cpp)
// A left press enables or disables the case, any other button previews it (board/tiles.cpp).
void PressTileOnBoard(TForm1& form, const CaseTile* tile, Qt::MouseButton button);
void ShowCaseHint(TForm1& form, int caseNumber);    // the hint line and the preview, or hides them when shown
// app/composition.cpp
void CompleteAfterFirstFrame(TForm1& form);         // the rest of the tiles and the hidden controls (Making)
void AttachDialogs(TForm1& form, TForm2* form2, TfrmGL* frmGL, TForm3* form3);   // the dialogs made after the window
// app/captions.cpp
void SetStartupCaptions(TForm1& form);
void SetModeCaptions(TForm1& form);                 // BitBtn6, Label4, Label6 and the title
void ShowLevel(TForm1& form);
void ClearTrainingDisplay(TForm1& form);
// app/records.cpp: the set's enabled flags, hints and records between Settings.ini and the session
void LoadSetRecords(TForm1& form, SettingsFile& file, CaseSet set);
void SaveSetRecords(const TForm1& form, SettingsFile& file, CaseSet set);
// app/shutdown.cpp
bool ShutDownUnasked(TForm1& form);                 // FormClose for a program ended from outside; false when unsaved
void SaveForSessionEnd(TForm1& form);               // the desktop session ends: write what FormClose writes
void EndWithoutSaving(TForm1& form);                // a signal during start-up: release, write nothing
// window/tilearea.cpp
void LayOutWindow(TForm1& form);                    // the tile area and the status bar fitted to the window's size
QLabel* ExamLabel(const TForm1& form, int caseNumber);   // exl<n> on the tile, or nullptr outside an exam

template <typename Action> void TForm1::Guarded(Action&& action)
{
    try {
        action();
    } catch (const TesseloError& error) {
        env.messages->ShowError(error.text());
    }
}
