#pragma once
// The main window: the view of the training session (core/trainingsession.h),
// whose state, draw and records it paints. Its controls are built in
// window/composition.cpp; its handlers live with the subsystem that owns them:
//   window/   composition, resize, tile layout, mouse wheel
//   trainer/  Start/Stop, countdown, stopwatch, accept/discard, pictures,
//             keyboard, exam
//   board/    RefreshBoard, tile presses, hints, bulk operations, clearing
//   app/      start-up, shut-down, set and level switches, captions
//   about/    the About button

#include "app/thumbnailcache.h"
#include "core/trainingsession.h"
#include "scramble/setupscramble.h"
#include "settings/defaults.h"
#include "trainer/catalogue.h"
#include "trainer/draw.h"
#include "trainer/errors.h"
#include "trainer/seams.h"
#include "window/controls.h"

#include <QImage>
#include <QWidget>
#include <array>
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
    // Builds the controls and runs FormCreate.
    explicit TForm1(Environment environment, QWidget* parent = nullptr);
    ~TForm1() override;

    // The dialogs the program entry creates after the main window.
    void AttachDialogs(TForm2* form2, TfrmGL* frmGL, TForm3* form3);

    // The training session: the state, the draw and the records this window
    // paints (core/trainingsession.h). The references keep the old names.
    TrainingSession session;
    TrainerState& state = session.state;
    CaseDraw& caseDraw = session.draw;   // the draw rule and its rounds (trainer/draw.h)
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
    QLineEdit* Edit1 = nullptr;        // countdown seconds
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
    QLabel* ScrambleLabel = nullptr;   // the setup scramble, over the picture frame
    QLabel* ScrambleHold = nullptr;    // how to hold the cube for it
    QComboBox* ComboBox1 = nullptr;    // how the next case is drawn (trainer/drawchoice.cpp)
    QListWidget* OLLhints = nullptr;   // built-in hints (hidden)
    QListWidget* PLLhints = nullptr;
    QListWidget* exdone = nullptr;     // exam done list (hidden)
    QScrollArea* ScrollBox1 = nullptr; // tile area
    QWidget* tileContent = nullptr;    // ScrollBox1's content widget holding the tiles
    PanelStatusBar* StatusBar1 = nullptr;
    QTimer* Timer1 = nullptr;          // stopwatch, 10 ms
    QTimer* Timer2 = nullptr;          // countdown, 1000 ms
    QMenu* PopupMenu1 = nullptr;
    QAction* N1 = nullptr;
    std::array<CaseTile*, kMaxCases> tiles{};   // tiles[n-1] is oll<n>
    ThumbnailCache thumbnails;         // both sets' decoded Easy pictures (app/records.cpp)

    CaseTile* Tile(int caseNumber) const { return tiles[caseNumber - 1]; }
    QLabel* ExamLabel(int caseNumber) const;   // exl<n>, or nullptr outside an exam

    // ---- window/ ----------------------------------------------------------
    void FormResize();
    void ScrollBox1Resize();
    void FormMouseWheel(int delta, const QPoint& globalPos);

    // ---- trainer/ ---------------------------------------------------------
    void BitBtn1Click();               // Start/Stop action
    void Timer2Timer();                // countdown tick
    void Timer1Timer();                // stopwatch tick
    void BitBtn2Click();               // Accept
    void BitBtn3Click();               // Discard
    void Image1Click();                // give-up (with Time recognition: the first click marks)
    // Time recognition (trainer/recognitionsplit.cpp).
    bool RecognitionTimed() const;
    bool MarkRecognition();            // true when this marked the attempt
    void MarkRecognitionByKey(int key);
    void ShowRecognitionSplit();
    void HideRecognitionSplit();
    void AbortAttempt();
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

    // Setup scrambles (trainer/scramblecycle.cpp): with CheckBox2 on, the next
    // case is drawn in Idle and its scramble shown; the stopwatch then times
    // the cube in the user's hands.
    void CheckBox2Click();
    QImage scrambleAnswer;             // the timed case's Easy picture, shown at Stop

    // ---- board/ -----------------------------------------------------------
    void RefreshBoard();
    void ioll1MouseDown(CaseTile* tile, Qt::MouseButton button);
    void bioll1MouseDown(CaseTile* tile, Qt::MouseButton button);
    void SetCaseEnabled(int caseNumber);
    void ShowCaseHint(int caseNumber);
    void resMouseDown(Qt::MouseButton button, const QPoint& globalPos);
    void PopupMenu1Popup();
    void N1Click();                    // EditCaseHint
    void EnableAllCases();             // BitBtn4Click
    void DisableAllCases();            // BitBtn5Click
    void BitBtn8Click();               // opens the clear dialog

    // ---- app/ -------------------------------------------------------------
    void FormCreate();
    void FormClose();
    bool ShutDownUnasked();            // FormClose for a program ended from outside; false when unsaved
    void SaveForSessionEnd();          // the desktop session ends: write what FormClose writes
    void EndWithoutSaving();           // a signal during start-up: release, write nothing
    void LoadSetRecords(SettingsFile& file, CaseSet set);
    void SaveSetRecords(SettingsFile& file, CaseSet set);
    void BitBtn6Click();               // set switch
    void BitBtn10Click();              // level switch
    void ShowLevel();
    void ClearTrainingDisplay();
    void SetStartupCaptions();
    void SetModeCaptions();            // BitBtn6, Label4, Label6 and the title
    QString SettingsPath() const;

    // ---- about/ -----------------------------------------------------------
    void BitBtn9Click();

    // Runs a user action; an error it raises is shown with its own text.
    template <typename Action> void Guarded(Action&& action);

    TForm2* Form2 = nullptr;
    TfrmGL* frmGL = nullptr;
    TForm3* Form3 = nullptr;
    ProgressHub* progress = nullptr;   // History.csv and the Progress window (history/)

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;   // key preview (trainer/)
    bool focusNextPrevChild(bool next) override;                  // focus of a disabled control (trainer/)

private:
    void BuildControls();              // window/composition.cpp
    void WireEvents();                 // window/composition.cpp
    bool closed_ = false;              // shut-down ran (a second close must not repeat it)
    void ReleaseAtShutdown();          // app/shutdown.cpp
    int fontId_ = -1;                  // the registered stopwatch font
    QString fontFamily_;               // its face name
    friend class KeyPreview;
};

// ---- view helpers: what the handlers share, outside the window class ----------
// trainer/cycle.cpp
bool DrawCase(TForm1& form);                        // false when the attempt was aborted
int CountdownFieldValue(const TForm1& form);
void EnableCycleControls(TForm1& form, bool enabled);   // bulk buttons, exam button, mode controls
void SetModeControlsEnabled(TForm1& form, bool enabled);
void SetBulkButtonsEnabled(TForm1& form, bool enabled);
void SetCountdownControlsEnabled(TForm1& form, bool enabled);
// trainer/clockstart.cpp
void StartClockWhenShown(TForm1& form);             // the question's frame handed to the window system, then the clock
// trainer/picture_loading.cpp
bool LoadQuestionPicture(TForm1& form);             // false when the attempt was aborted
bool ListCasePictures(TForm1& form, const QString& folder);
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

template <typename Action> void TForm1::Guarded(Action&& action)
{
    try {
        action();
    } catch (const TesseloError& error) {
        env.messages->ShowError(error.text());
    }
}
