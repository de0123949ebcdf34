#pragma once
// The case's name in the training column ("OLL 27 Sune", "PLL Ub"): a title
// line above the algorithm a right click shows, and a line under the cycle
// buttons while a stopped time waits for Accept or Discard. The texts the
// result line shows stay as they are; the name is a line of its own.

#include <QString>

class TForm1;

// Above the hint line; hidden with it.
void ShowCaseNameAboveHint(TForm1& form, int caseNumber);
// Under Start, Accept and Discard; hidden when Accept is disabled again.
void ShowCaseNameAfterStop(TForm1& form, int caseNumber);

// What the exam's result adds below its own text: the slowest case done (of
// two or more) and the cases not completed, by name; empty when neither.
QString ExamCaseNames(const TForm1& form);
