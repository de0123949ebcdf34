#pragma once
// Pieces of the training cycle shared between its source files.

#include <QColor>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

class QLabel;
class QWidget;
class TForm1;

namespace cycle {

// Font heights of the result line and the exam labels (sizes 8, 10 and 16
// at 96 dots per inch).
constexpr int kResultPixelSize = 11;
constexpr int kHintPixelSize = 13;
constexpr int kExamLabelPixelSize = 21;

constexpr int kResultTop = 312;
constexpr int kHintTop = 264;
constexpr int kResultMessageTag = -1;

inline const QString kExamDash = QStringLiteral("\u2014");

void SetStartCaption(TForm1& form);
void SetFontPixelSize(QWidget* widget, int pixelSize);
void StyleResultLine(QLabel* line, int pixelSize, const QColor& colour, int top);

// Stops both timers and returns the training column to its idle look,
// without touching any record: the first steps of AbortAttempt.
void HaltAttempt(TForm1& form);

// The end of Accept and Discard: Idle, RefreshBoard, the focus on Start.
void BackToIdle(TForm1& form);

// Branches of the Start/Stop action that live with the stopwatch. StopAtPress
// is Stop while the stopwatch runs: it freezes the time of the press (the
// clock's reading in microseconds), then StopAttempt shows the result.
void StopAtPress(TForm1& form, qint64 pressUs);
void StopAttempt(TForm1& form);
void EndAfterAnswer(TForm1& form);

// Shows why the answer picture of the drawn case could not be shown.
void ReportAnswerProblem(TForm1& form);

// The exam's result box; the exam stays until its button is pressed again.
void ShowExamResult(TForm1& form);

// The cases the next draw may give: the enabled ones, during an exam those
// of them not drawn yet.
QStringList CasesThatCanBeDrawn(const TForm1& form);
// The exam's cases drawn so far (its done list).
std::vector<int> ExamDrawnCases(const TForm1& form);

// Setup scrambles (trainer/scramblecycle.cpp): the case drawn in advance,
// taken for the attempt with its scramble (none when it can no longer be
// drawn), and the scramble taken off the picture frame.
std::optional<int> TakeCaseDrawnInAdvance(TForm1& form);
void HideScramble(TForm1& form);

} // namespace cycle
