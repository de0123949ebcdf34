// Empty bodies still to be written. Move each function out as it is built.
#include "about/tfrmgl.h"
#include "window/tform1.h"

TfrmGL::TfrmGL(TForm1*, QWidget* parent) : QDialog(parent) {}
void TForm1::BitBtn9Click() {}
