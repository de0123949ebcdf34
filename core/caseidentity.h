#pragma once
// The cases by the names cubers use: for each of the program's cases, the
// standard OLL number or PLL name, the nickname and the shape group, read
// from the table the program carries (resources/cases.csv). Nicknames and
// PLL names are the same in both languages; group names are translated.

#include "core/catalogue.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <vector>

struct CaseIdentity {
    CaseSet set = CaseSet::OLL;
    int caseNumber = 0;   // the program's own number, as History.csv keeps it
    QString standard;     // "27" or "Ub"
    QString name;         // "Sune" or "Ub"
    QString group;        // "Cross", "G perms", ... (English, as in the table)
};

class CaseIdentityTable {
public:
    // The table from its CSV text. An empty table, with the reason in *why,
    // unless every case of both sets is there exactly once with a known group.
    static CaseIdentityTable Parse(const QByteArray& csv, QString* why = nullptr);

    bool IsEmpty() const { return cases_.empty(); }
    const CaseIdentity* Find(CaseSet set, int caseNumber) const;  // null when unknown
    // "OLL 27 Sune", "PLL Ub"; "OLL 36" when the case is not in the table.
    QString Title(CaseSet set, int caseNumber) const;
    // The set's groups that have cases, in the order cubers learn them.
    QStringList Groups(CaseSet set) const;
    // The program's numbers of the group's cases, ascending.
    QList<int> CasesOf(CaseSet set, const QString& group) const;

private:
    std::vector<CaseIdentity> cases_;
};

// Every group of a set, in the order the Groups dialog lists them.
const QStringList& KnownGroups(CaseSet set);
// A group's name for the interface: Russian terms where cubers use them.
QString GroupName(const QString& group, bool russian);

// The table the program carries (empty only if the executable lacks it).
const CaseIdentityTable& CaseIdentities();
// Shorthand for CaseIdentities().Title(set, caseNumber).
QString CaseTitle(CaseSet set, int caseNumber);
