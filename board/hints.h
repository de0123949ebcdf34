#pragma once
// Names and texts of the tile preview and the hint editor. No widgets.

#include "trainer/catalogue.h"
#include <QString>

// "OLL hints" or "PLL hints": the section of Settings.ini holding the set's hints.
QString HintSection(CaseSet set);
// "hint15": the key of a case's hint.
QString HintKey(int caseNumber);

// "Images/OLL/5.gif": the Easy picture of a case, relative to the program folder.
QString EasyPictureRelativePath(CaseSet set, int caseNumber);

// The preview's message for a missing Easy picture, quoting the path as
// "\Images\OLL\5.gif" (one blank after "Image" in English).
QString PreviewPictureMissingText(CaseSet set, int caseNumber, bool russian);

// "Edit algorithm 15" / "Изменение алгоритма 15".
QString HintEditorTitle(int caseNumber, bool russian);
