#include "board/hints.h"

#include "app/language.h"

QString HintSection(CaseSet set)
{
    return SetName(set) + QStringLiteral(" hints");
}

QString HintKey(int caseNumber)
{
    return QStringLiteral("hint%1").arg(caseNumber);
}

QString EasyPictureRelativePath(CaseSet set, int caseNumber)
{
    return QStringLiteral("Images/%1/%2.gif").arg(SetName(set)).arg(caseNumber);
}

QString PreviewPictureMissingText(CaseSet set, int caseNumber, bool russian)
{
    const QString quoted = QStringLiteral("\"\\Images\\%1\\%2.gif\"").arg(SetName(set)).arg(caseNumber);
    return Tr(russian, QStringLiteral("Файл изображения ") + quoted + QStringLiteral(" не найден"),
              QStringLiteral("Image ") + quoted + QStringLiteral(" not found"));
}

QString HintEditorTitle(int caseNumber, bool russian)
{
    return Tr(russian, QStringLiteral("Изменение алгоритма "), QStringLiteral("Edit algorithm "))
           + QString::number(caseNumber);
}
