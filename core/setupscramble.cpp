#include "core/setupscramble.h"

#include "core/seams.h"

#include <QRegularExpression>

#include <algorithm>

namespace {

QString PoolKey(const QString& setName, int caseNumber)
{
    return setName + QLatin1Char(' ') + QString::number(caseNumber);
}

bool IsTurn(const QString& token)
{
    static const QRegularExpression turn(QStringLiteral("^[RUFLBD]['2]?$"));
    return turn.match(token).hasMatch();
}

// Quarter turns clockwise of a turn's suffix: none 1, "2" 2, "'" 3.
int QuarterTurns(const QString& token)
{
    if (token.endsWith(QLatin1Char('2')))
        return 2;
    return token.endsWith(QLatin1Char('\'')) ? 3 : 1;
}

QString UTurnText(int quarterTurns)
{
    static const QString kTexts[] = {QString(), QStringLiteral("U"), QStringLiteral("U2"), QStringLiteral("U'")};
    return kTexts[quarterTurns % 4];
}

}  // namespace

ScramblePool ScramblePool::Parse(const QByteArray& text)
{
    ScramblePool pool;
    for (const QByteArray& rawLine : text.split('\n')) {
        const QStringList fields = QString::fromLatin1(rawLine).split(QLatin1Char(' '), Qt::SkipEmptyParts);
        if (fields.size() < 3 || (fields[0] != QLatin1String("OLL") && fields[0] != QLatin1String("PLL")))
            continue;
        bool ok = false;
        const int caseNumber = fields[1].toInt(&ok);
        const QStringList turns = fields.mid(2);
        if (!ok || !std::all_of(turns.begin(), turns.end(), IsTurn))
            continue;
        pool.setups_[PoolKey(fields[0], caseNumber)] << turns.join(QLatin1Char(' '));
    }
    return pool;
}

QStringList ScramblePool::Setups(CaseSet set, int caseNumber) const
{
    return setups_.value(PoolKey(SetName(set), caseNumber));
}

QString TurnedAboutVertical(const QString& turns, int quarterTurns)
{
    static const QString kRing = QStringLiteral("RFLB");
    QString turned = turns;
    for (QChar& c : turned) {
        const qsizetype place = kRing.indexOf(c);
        if (place >= 0)
            c = kRing.at((place + quarterTurns) % 4);
    }
    return turned;
}

QString WithFinalUTurns(const QString& turns, int quarterTurns)
{
    QStringList tokens = turns.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    int total = quarterTurns % 4;
    if (!tokens.isEmpty() && tokens.last().startsWith(QLatin1Char('U')))
        total = (total + QuarterTurns(tokens.takeLast())) % 4;
    if (total != 0)
        tokens << UTurnText(total);
    return tokens.join(QLatin1Char(' '));
}

QString DrawSetupScramble(const ScramblePool& pool, CaseSet set, int caseNumber, RandomSource& random)
{
    const QStringList setups = pool.Setups(set, caseNumber);
    if (setups.isEmpty())
        return {};
    const QString setup = setups.at(random.Uniform(static_cast<int>(setups.size())));
    const QString turned = TurnedAboutVertical(setup, random.Uniform(4));
    return set == CaseSet::PLL ? WithFinalUTurns(turned, random.Uniform(4)) : turned;
}
