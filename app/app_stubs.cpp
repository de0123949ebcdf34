// Empty bodies still to be written. Move each function out as it is built.
#include "window/tform1.h"

#include <QCloseEvent>

void TForm1::FormCreate() {}
void TForm1::FormClose() {}
void TForm1::LoadSetRecords(SettingsFile&, CaseSet) {}
void TForm1::SaveSetRecords(SettingsFile&, CaseSet) {}
void TForm1::BitBtn6Click() {}
void TForm1::BitBtn10Click() {}
void TForm1::ShowLevel() {}
void TForm1::ClearTrainingDisplay() {}
void TForm1::SetStartupCaptions() {}
void TForm1::SetModeCaptions() {}
QString TForm1::SettingsPath() const { return InFolder(env.programFolder, QStringLiteral("Settings.ini")); }
void TForm1::closeEvent(QCloseEvent* event) { FormClose(); event->accept(); }
