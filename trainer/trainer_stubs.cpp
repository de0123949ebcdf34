// Empty bodies still to be written. Move each function out as it is built.
#include "window/tform1.h"

void TForm1::BitBtn1Click() {}
void TForm1::Timer2Timer() {}
void TForm1::Timer1Timer() {}
void TForm1::BitBtn2Click() {}
void TForm1::BitBtn3Click() {}
void TForm1::Image1Click() {}
void TForm1::AbortAttempt() {}
bool TForm1::DrawCase() { return false; }
bool TForm1::ExamDraw() { return false; }
bool TForm1::LoadQuestionPicture() { return false; }
bool TForm1::ListCasePictures(const QString&) { return false; }
bool TForm1::LoadAnswerPicture() { return false; }
void TForm1::FormKeyDown(int, Qt::KeyboardModifiers) {}
void TForm1::FormKeyPress(QChar) {}
bool TForm1::Edit1KeyPress(QChar) { return true; }
void TForm1::BitBtn7Click() {}
int TForm1::CountdownFieldValue() const { return 2; }
void TForm1::EnableCycleControls(bool) {}
void TForm1::SetModeControlsEnabled(bool) {}
void TForm1::SetBulkButtonsEnabled(bool) {}
void TForm1::SetCountdownControlsEnabled(bool) {}
bool TForm1::eventFilter(QObject* watched, QEvent* event) { return QWidget::eventFilter(watched, event); }
