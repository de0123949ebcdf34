#include "board/dialogs.h"

#include <QWidget>

QFont TahomaPixels(int pixelSize)
{
    QFont font(QStringLiteral("Tahoma"));
    font.setPixelSize(pixelSize);
    return font;
}

void MakeFixedSizeDialog(QWidget* dialog, int clientWidth, int clientHeight)
{
    dialog->setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint
                           | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    dialog->setFixedSize(clientWidth, clientHeight);
}

void CentreDialogOn(QWidget* dialog, const QWidget* mainWindow)
{
    const QRect main = mainWindow->frameGeometry();
    const QRect own = dialog->frameGeometry();
    // Integer division truncates towards zero, as the placement asks.
    dialog->move(main.left() + main.width() / 2 - own.width() / 2,
                 main.top() + main.height() / 2 - own.height() / 2);
}
