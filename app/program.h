#pragma once
// The program's four windows, created in their fixed order: the main window,
// the clear dialog, the About window and the hint editor.

#include "core/seams.h"

#include <QString>
#include <functional>
#include <memory>

class TForm1;
class TForm2;
class TForm3;
class TfrmGL;
class TerminationSignals;
class ProgramFolderLock;
class RaiseRequests;

struct Program {
    // Fills in what the environment leaves empty (message boxes over the main
    // window). SIGTERM, SIGHUP and SIGINT are caught before anything is
    // written: one during the start-up ends the program without writing
    // anything back (app/sessionend.cpp).
    // Another copy running from the same folder is told to come to the front
    // instead, the user is told so, and nothing is made: form1 stays null and
    // the program is to end (app/singlecopy.h).
    //
    // The three dialogs and the tiles below the tile area's view are nowhere
    // in the main window's first frame: the program made FirstFrameFirst
    // makes them just after that frame (window/firstframe.h), before the user
    // can ask for any of them; until then form2, frmGL and form3 are empty,
    // and a tile is made when it comes into view or is asked for.
    enum class Making { AllNow, FirstFrameFirst };
    explicit Program(Environment environment, Making making = Making::AllNow);
    ~Program();
    bool Started() const { return form1 != nullptr; }
    // SIGTERM, SIGHUP, SIGINT and the end of the desktop session save the
    // run as closing the main window does (app/sessionend.cpp).
    void FollowTheSession();
    std::unique_ptr<TForm1> form1;
    std::unique_ptr<TForm2> form2;
    std::unique_ptr<TfrmGL> frmGL;
    std::unique_ptr<TForm3> form3;
    std::unique_ptr<TerminationSignals> terminationSignals;

private:
    void MakeDialogs();
    void EndDuringStartUp();
    void DeferToTheRunningCopy(const Environment& environment);
    std::unique_ptr<ProgramFolderLock> folderLock_;
    std::unique_ptr<RaiseRequests> raiseRequests_;
    FileLocations files_;
    bool startingUp_ = true;
};

// The application title used by the task bar and the message boxes.
inline constexpr const char* kApplicationTitle = "Tesselo";

// The program with its windows, from the first line of main to the end of its
// message loop: the application, the program, the main window shown. `beforeShow`
// sees the main window just before it is shown (the start-up benchmark watches
// for its first frame there, so that it measures this very path).
int RunWindowedProgram(int& argc, char* argv[], const std::function<void(TForm1&)>& beforeShow = {});
