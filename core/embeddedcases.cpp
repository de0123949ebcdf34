// The table the executable carries; apart from core/caseidentity.cpp so that
// plain-logic code and tests that never ask for it need no resources.

#include "core/caseidentity.h"
#include "resources/resources.h"

const CaseIdentityTable& CaseIdentities()
{
    static const CaseIdentityTable table = CaseIdentityTable::Parse(EmbeddedResource(QStringLiteral("CaseTable")));
    return table;
}

QString CaseTitle(CaseSet set, int caseNumber) { return CaseIdentities().Title(set, caseNumber); }
