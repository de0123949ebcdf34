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

namespace {

// The dialog's outer size. Before its first showing the system has not told
// us its frame yet; the main window's frame is the best guess then.
QSize OuterSize(const QWidget* dialog, const QWidget* mainWindow)
{
    const QSize frame = dialog->frameGeometry().size();
    if (frame != dialog->size())
        return frame;
    return dialog->size() + (mainWindow->frameGeometry().size() - mainWindow->size());
}

}  // namespace

void CentreDialogOn(QWidget* dialog, const QWidget* mainWindow)
{
    const QRect main = mainWindow->frameGeometry();
    const QSize own = OuterSize(dialog, mainWindow);
    // Integer division truncates towards zero, as the placement asks.
    dialog->move(main.left() + main.width() / 2 - own.width() / 2,
                 main.top() + main.height() / 2 - own.height() / 2);
}
