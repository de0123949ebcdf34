// The main window's About button.
#include "about/tfrmgl.h"
#include "window/tform1.h"

#include <QPushButton>

void TForm1::BitBtn9Click()
{
    if (!frmGL)
        return;
    frmGL->ApplyLanguage(state.russianInterface);
    frmGL->PrepareCubeView();   // its report, if any, comes before the window
    const int result = frmGL->exec();
    // Back at the main window, Start is ready for the keyboard.
    if (result == QDialog::Accepted && BitBtn1 && BitBtn1->isEnabled())
        BitBtn1->setFocus();
}
