#include "core/catalogue.h"

int CaseCount(CaseSet set) { return set == CaseSet::OLL ? kOllCases : kPllCases; }

QString SetName(CaseSet set) { return set == CaseSet::OLL ? QStringLiteral("OLL") : QStringLiteral("PLL"); }

CaseSet OtherSet(CaseSet set) { return set == CaseSet::OLL ? CaseSet::PLL : CaseSet::OLL; }
