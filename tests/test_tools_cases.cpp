// The case identity table: derived again from the built-in hints and the
// standard list, it must equal what the program carries and what the README
// shows, and the derivation must refuse a list that does not match one to one.

#include "core/caseidentity.h"
#include "resources/resources.h"
#include "tools/casetable.h"

#include <QFile>
#include <QtTest>
#include <stdexcept>

namespace {

QByteArray SourceFile(const char* relative)
{
    QFile file(QStringLiteral(TESSELO_SOURCE_DIR "/") + QLatin1String(relative));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

std::vector<cube::StandardCase> StandardList() { return cube::ParseStandardCases(SourceFile("tools/ll-cases.csv").toStdString()); }

cube::StandardCase& Standard(std::vector<cube::StandardCase>& list, cube::HintSet set, const std::string& standard)
{
    for (auto& c : list)
        if (c.set == set && c.standard == standard)
            return c;
    throw std::logic_error("not in the list: " + standard);
}

bool DerivationFails(const std::vector<cube::StandardCase>& list)
{
    try {
        cube::DeriveCaseTable(list);
        return false;
    } catch (const std::runtime_error&) {
        return true;
    }
}

}  // namespace

class CaseTableTest : public QObject {
    Q_OBJECT

private slots:
    void tableCarriedAndShownIsTheDerivedOne()
    {
        const auto rows = cube::DeriveCaseTable(StandardList());
        QCOMPARE(rows.size(), std::size_t(78));
        const QByteArray derived = QByteArray::fromStdString(cube::CaseTableCsv(rows));
        QCOMPARE(SourceFile("resources/cases.csv"), derived);
        QCOMPARE(EmbeddedResource(QStringLiteral("CaseTable")), derived);
        const std::string readme = SourceFile("README.md").toStdString();
        QCOMPARE(QString::fromStdString(cube::WithReadmeCaseTable(readme, rows)), QString::fromStdString(readme));
        // The contact sheets read the table back.
        QCOMPARE(QByteArray::fromStdString(cube::CaseTableCsv(cube::ParseCaseTableCsv(derived.toStdString()))), derived);
    }

    // Facts known apart from the cube model: Tesselo's OLL 1 is Headlights,
    // its OLL 4 the Sune, and OLL 17 is the one number it shares.
    void knownCasesHaveTheirStandardNumbers()
    {
        QString why;
        const auto table = CaseIdentityTable::Parse(EmbeddedResource(QStringLiteral("CaseTable")), &why);
        QVERIFY2(!table.IsEmpty(), qPrintable(why));
        QCOMPARE(table.Title(CaseSet::OLL, 1), QStringLiteral("OLL 23 Headlights"));
        QCOMPARE(table.Title(CaseSet::OLL, 4), QStringLiteral("OLL 27 Sune"));
        QCOMPARE(table.Find(CaseSet::OLL, 17)->standard, QStringLiteral("17"));
        QCOMPARE(table.Title(CaseSet::PLL, 1), QStringLiteral("PLL Ub"));
        QCOMPARE(table.Groups(CaseSet::OLL), KnownGroups(CaseSet::OLL));
        QCOMPARE(table.Groups(CaseSet::PLL), KnownGroups(CaseSet::PLL));
        QCOMPARE(table.CasesOf(CaseSet::PLL, QStringLiteral("G perms")).size(), 4);
        int sum = 0;
        for (const QString& group : table.Groups(CaseSet::OLL))
            sum += int(table.CasesOf(CaseSet::OLL, group).size());
        QCOMPARE(sum, 57);
    }

    // Every group has its Russian name; the English one is the table's own.
    void groupNamesInBothLanguages()
    {
        QSet<QString> russian;
        for (CaseSet set : {CaseSet::OLL, CaseSet::PLL})
            for (const QString& group : KnownGroups(set)) {
                QCOMPARE(GroupName(group, false), group);
                QVERIFY2(GroupName(group, true) != group, qPrintable(group));
                russian.insert(GroupName(group, true));
            }
        QCOMPARE(russian.size(), int(KnownGroups(CaseSet::OLL).size() + KnownGroups(CaseSet::PLL).size()));
        QCOMPARE(GroupName(QStringLiteral("Dot"), true), QStringLiteral("Точка"));
    }

    void derivationRefusesWhatIsNotOneToOne()
    {
        auto twice = StandardList();  // two standard cases with the Sune's algorithm
        Standard(twice, cube::HintSet::Oll, "26").algorithm = Standard(twice, cube::HintSet::Oll, "27").algorithm;
        QVERIFY(DerivationFails(twice));

        auto missing = StandardList();
        missing.erase(missing.begin() + 60);  // a PLL case
        QVERIFY(DerivationFails(missing));

        auto notLastLayer = StandardList();
        Standard(notLastLayer, cube::HintSet::Pll, "T").algorithm = "R U R' F";
        QVERIFY(DerivationFails(notLastLayer));

        auto unknownGroup = StandardList();
        Standard(unknownGroup, cube::HintSet::Oll, "45").group = "Triangle";
        QVERIFY(DerivationFails(unknownGroup));

        QVERIFY(!DerivationFails(StandardList()));
    }

    void damagedTableIsRefused()
    {
        const QByteArray good = SourceFile("resources/cases.csv");
        QString why;
        QVERIFY(CaseIdentityTable::Parse(good.left(good.lastIndexOf("PLL,21")), &why).IsEmpty());
        QVERIFY(!why.isEmpty());
        QByteArray renamed = good;
        QVERIFY(CaseIdentityTable::Parse(renamed.replace(",Fish\n", ",Shark\n")).IsEmpty());
        const auto empty = CaseIdentityTable::Parse(QByteArray());
        QCOMPARE(empty.Title(CaseSet::OLL, 36), QStringLiteral("OLL 36"));
    }
};

QTEST_GUILESS_MAIN(CaseTableTest)
#include "test_tools_cases.moc"
