#pragma once
// Where a case's hint is stored and the hint editor's title. No widgets.

#include "core/catalogue.h"
#include <QString>

// "OLL hints" or "PLL hints": the section of Settings.ini holding the set's hints.
QString HintSection(CaseSet set);
// "hint15": the key of a case's hint.
QString HintKey(int caseNumber);

// "Edit algorithm 15" / "Изменение алгоритма 15".
QString HintEditorTitle(int caseNumber, bool russian);
