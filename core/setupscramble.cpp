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

namespace {

QString DrawFrom(const QStringList& setups, CaseSet set, RandomSource& random)
{
    if (setups.isEmpty())
        return {};
    const QString setup = setups.at(random.Uniform(static_cast<int>(setups.size())));
    const QString turned = TurnedAboutVertical(setup, random.Uniform(4));
    return set == CaseSet::PLL ? WithFinalUTurns(turned, random.Uniform(4)) : turned;
}

QString WithoutEndUTurns(const QString& turns)
{
    QStringList tokens = turns.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    while (!tokens.isEmpty() && tokens.last().startsWith(QLatin1Char('U')))
        tokens.removeLast();
    while (!tokens.isEmpty() && tokens.first().startsWith(QLatin1Char('U')))
        tokens.removeFirst();
    return tokens.join(QLatin1Char(' '));
}

// Whether the scramble shown was drawn from this pool entry.
bool ShowsSetup(const QString& shown, const QString& setup)
{
    const QString core = WithoutEndUTurns(shown);
    for (int side = 0; side < 4; ++side) {
        if (WithoutEndUTurns(TurnedAboutVertical(setup, side)) == core)
            return true;
    }
    return false;
}

}  // namespace

QString DrawSetupScramble(const ScramblePool& pool, CaseSet set, int caseNumber, RandomSource& random)
{
    return DrawFrom(pool.Setups(set, caseNumber), set, random);
}

QString DrawAnotherSetupScramble(const ScramblePool& pool, CaseSet set, int caseNumber, const QString& shown,
                                 RandomSource& random)
{
    const QStringList setups = pool.Setups(set, caseNumber);
    QStringList others;
    for (const QString& setup : setups)
        if (!ShowsSetup(shown, setup))
            others << setup;
    const QString drawn = DrawFrom(others.isEmpty() ? setups : others, set, random);
    // The case's only setup: at least from another side.
    return drawn == shown ? TurnedAboutVertical(drawn, 1 + random.Uniform(3)) : drawn;
}
