#pragma once
// "Name the case": the window's side of the naming drill (core/namingdrill.h).
// With the box ticked, Start draws and shows a case with the clock running;
// the cuber types its name (PLL letters, the OLL number and Enter) or clicks
// its tile. The verdict stays on screen in Idle until the next Start.
//
// The hooks the rest of the cycle calls do nothing while the box is clear.

#include <vector>

class QKeyEvent;
class TForm1;
struct Attempt;

// The box's click and the drill's lines to History.csv.
void WireNamingDrill(TForm1& form);
void SetNamingDrillCaption(TForm1& form);   // both languages, with the other captions
bool NamingDrillOn(const TForm1& form);
// Leaves the drill (the exam is starting).
void LeaveNamingDrill(TForm1& form);

// The picture is up and the clock runs: the question waits for its answer.
void AskNamingQuestion(TForm1& form);
// A key while the question waits: true when the drill took it (a letter or
// digit of the answer, Enter, any other key but Space and Escape, which
// are left to Stop and give up).
bool AnswerNamingByKey(TForm1& form, const QKeyEvent& key);
// A left click on a tile while the question waits: true when it answered.
bool AnswerNamingByTile(TForm1& form, int caseNumber);
// Stop, Escape or a click on the picture while the question waits: the
// case is given up; true when it was.
bool GiveUpNamingQuestion(TForm1& form);

// The verdict taken off the training column (a tile's preview is wanted).
void PutAwayNamingVerdict(TForm1& form);
