#pragma once
// The draw choice of the main window: its drop-down under the Exam and About
// buttons, the Draw key of Settings.ini, the round shown in the status bar
// and the recorded times the weak rule reads.

#include <QHash>
#include <vector>

class SettingsFile;
class TForm1;
struct Attempt;

// Makes ComboBox1 (empty until the language is known).
void BuildDrawChoice(TForm1& form);
// Fills the drop-down in the interface language and selects the stored rule.
void ReadDrawChoice(TForm1& form, const SettingsFile& file);
// Draw= is written only when what the file holds does not already read as
// the chosen rule: a file that never had it does not get it, and a value
// the program does not know stays while the draw is at random.
void WriteDrawChoice(TForm1& form, SettingsFile& file);

// "Round 3: 5 of 21" in the status bar while rounds are drawn outside an
// exam, and the weak rule's shares in the Progress window while it is open.
void ShowDrawProgress(TForm1& form);

// The enabled cases of the active set as numbers.
std::vector<int> EnabledCaseNumbers(const TForm1& form);

// The recorded times for the weak rule, or nothing while they are not read.
// The only place that decides when History.csv is read for a draw.
const std::vector<Attempt>* HistoryForDraw(TForm1& form);

// Each enabled case's share of the draw under the weak rule; empty with any
// other rule or before the history is read.
QHash<int, double> DrawSharesOfActiveSet(TForm1& form);

// The Progress window asks for the shares through its hub's signal; the
// session's drawn cases and accepted times reach the hub the same way.
void ConnectDrawToProgress(TForm1& form);
