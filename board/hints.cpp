#include "board/hints.h"

#include "core/language.h"

QString HintSection(CaseSet set)
{
    return SetName(set) + QStringLiteral(" hints");
}

QString HintKey(int caseNumber)
{
    return QStringLiteral("hint%1").arg(caseNumber);
}

QString HintEditorTitle(int caseNumber, bool russian)
{
    return Tr(russian, QStringLiteral("Изменение алгоритма "), QStringLiteral("Edit algorithm "))
           + QString::number(caseNumber);
}
