// Empty bodies still to be written. Move each function out as it is built.
#include "board/tform2.h"
#include "board/tform3.h"
#include "window/tform1.h"

TForm2::TForm2(QWidget* parent) : QDialog(parent) {}
TForm3::TForm3(QWidget* parent) : QDialog(parent) {}
void TForm1::RefreshBoard() {}
void TForm1::ApplyTileStyle(int, bool) {}
void TForm1::ioll1MouseDown(CaseTile*, Qt::MouseButton) {}
void TForm1::bioll1MouseDown(CaseTile*, Qt::MouseButton) {}
void TForm1::SetCaseEnabled(int) {}
void TForm1::ShowCaseHint(int) {}
void TForm1::resMouseDown(Qt::MouseButton, const QPoint&) {}
void TForm1::PopupMenu1Popup() {}
void TForm1::N1Click() {}
void TForm1::EnableAllCases() {}
void TForm1::DisableAllCases() {}
void TForm1::BitBtn8Click() {}
void TForm1::ClearResults(bool) {}
