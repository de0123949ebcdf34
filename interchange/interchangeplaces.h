#pragma once
// The places the "Export…" and "Import…" menu items share: where their file
// dialog opens, and the History.csv they read or write.

#include <QString>

class TForm1;

// Documents, or the home folder when there is none.
QString DialogStartFolder();

// The History.csv of the window's store (the one Accept appends to).
QString HistoryPathOf(const TForm1& form);
