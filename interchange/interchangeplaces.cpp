#include "interchange/interchangeplaces.h"

#include "window/progresshub.h"
#include "window/tform1.h"

#include <QDir>
#include <QStandardPaths>

QString DialogStartFolder()
{
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return QDir(documents).exists() ? documents : QDir::homePath();
}

QString HistoryPathOf(const TForm1& form)
{
    return form.progress ? form.progress->Store().Path() : form.env.files.HistoryPath();
}
