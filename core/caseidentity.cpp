#include "core/caseidentity.h"

#include <QHash>
#include <QSet>
#include <algorithm>

namespace {

CaseIdentityTable Failed(QString* why, const QString& reason)
{
    if (why)
        *why = reason;
    return {};
}

}  // namespace

const QStringList& KnownGroups(CaseSet set)
{
    static const QStringList oll = {
        QStringLiteral("Dot"), QStringLiteral("Square"), QStringLiteral("Lightning"), QStringLiteral("Fish"),
        QStringLiteral("Knight"), QStringLiteral("Cross"), QStringLiteral("Corners oriented"),
        QStringLiteral("Awkward"), QStringLiteral("P"), QStringLiteral("T"), QStringLiteral("C"),
        QStringLiteral("W"), QStringLiteral("L"), QStringLiteral("Line"),
    };
    static const QStringList pll = {
        QStringLiteral("Edges only"), QStringLiteral("Corners only"), QStringLiteral("Adjacent swap"),
        QStringLiteral("G perms"), QStringLiteral("Diagonal swap"),
    };
    return set == CaseSet::OLL ? oll : pll;
}

QString GroupName(const QString& group, bool russian)
{
    if (!russian)
        return group;
    static const QHash<QString, QString> russianNames = {
        {QStringLiteral("Dot"), QStringLiteral("Точка")},
        {QStringLiteral("Square"), QStringLiteral("Квадрат")},
        {QStringLiteral("Lightning"), QStringLiteral("Молния")},
        {QStringLiteral("Fish"), QStringLiteral("Рыба")},
        {QStringLiteral("Knight"), QStringLiteral("Ход конём")},
        {QStringLiteral("Cross"), QStringLiteral("Крест")},
        {QStringLiteral("Corners oriented"), QStringLiteral("Углы ориентированы")},
        {QStringLiteral("Awkward"), QStringLiteral("Неудобные")},
        {QStringLiteral("P"), QStringLiteral("P-образные")},
        {QStringLiteral("T"), QStringLiteral("T-образные")},
        {QStringLiteral("C"), QStringLiteral("C-образные")},
        {QStringLiteral("W"), QStringLiteral("W-образные")},
        {QStringLiteral("L"), QStringLiteral("L-образные")},
        {QStringLiteral("Line"), QStringLiteral("Линия")},
        {QStringLiteral("Edges only"), QStringLiteral("Только рёбра")},
        {QStringLiteral("Corners only"), QStringLiteral("Только углы")},
        {QStringLiteral("Adjacent swap"), QStringLiteral("Соседний обмен")},
        {QStringLiteral("G perms"), QStringLiteral("G-перестановки")},
        {QStringLiteral("Diagonal swap"), QStringLiteral("Диагональный обмен")},
    };
    return russianNames.value(group, group);
}

CaseIdentityTable CaseIdentityTable::Parse(const QByteArray& csv, QString* why)
{
    const QList<QByteArray> lines = csv.trimmed().split('\n');
    if (lines.isEmpty() || lines.front().trimmed() != "set,case,standard,name,group")
        return Failed(why, QStringLiteral("the header is not set,case,standard,name,group"));
    CaseIdentityTable table;
    QSet<QPair<int, int>> seen;
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QStringList f = QString::fromUtf8(lines[i].trimmed()).split(QLatin1Char(','));
        bool numeric = false;
        const int caseNumber = f.size() == 5 ? f[1].toInt(&numeric) : 0;
        const bool oll = f.value(0) == QLatin1String("OLL");
        const CaseSet set = oll ? CaseSet::OLL : CaseSet::PLL;
        if (f.size() != 5 || (!oll && f[0] != QLatin1String("PLL")) || !numeric || caseNumber < 1
            || caseNumber > CaseCount(set) || f[2].isEmpty() || f[3].isEmpty() || !KnownGroups(set).contains(f[4]))
            return Failed(why, QStringLiteral("line %1 is not a case of a known group").arg(i + 1));
        if (seen.contains({int(set), caseNumber}))
            return Failed(why, QStringLiteral("line %1 repeats %2 %3").arg(i + 1).arg(f[0]).arg(caseNumber));
        seen.insert({int(set), caseNumber});
        table.cases_.push_back({set, caseNumber, f[2], f[3], f[4]});
    }
    if (seen.size() != kOllCases + kPllCases)
        return Failed(why, QStringLiteral("%1 cases, not %2").arg(seen.size()).arg(kOllCases + kPllCases));
    return table;
}

const CaseIdentity* CaseIdentityTable::Find(CaseSet set, int caseNumber) const
{
    const auto found = std::find_if(cases_.begin(), cases_.end(), [&](const CaseIdentity& c) {
        return c.set == set && c.caseNumber == caseNumber;
    });
    return found == cases_.end() ? nullptr : &*found;
}

QString CaseIdentityTable::Title(CaseSet set, int caseNumber) const
{
    const CaseIdentity* identity = Find(set, caseNumber);
    if (!identity)
        return SetName(set) + QLatin1Char(' ') + QString::number(caseNumber);
    // An OLL nickname is not unique ("H" names two cases), so its number stays.
    if (set == CaseSet::OLL)
        return QStringLiteral("OLL %1 %2").arg(identity->standard, identity->name);
    return QStringLiteral("PLL ") + identity->name;
}

QStringList CaseIdentityTable::Groups(CaseSet set) const
{
    QStringList groups;
    for (const QString& group : KnownGroups(set))
        if (!CasesOf(set, group).isEmpty())
            groups << group;
    return groups;
}

QList<int> CaseIdentityTable::CasesOf(CaseSet set, const QString& group) const
{
    QList<int> numbers;
    for (const CaseIdentity& c : cases_)
        if (c.set == set && c.group == group)
            numbers << c.caseNumber;
    std::sort(numbers.begin(), numbers.end());
    return numbers;
}
