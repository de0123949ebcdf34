#include "core/nameanswer.h"

#include <QSet>

namespace {

constexpr int kLongestOllNumber = 2;

// "a" or "G" as a PLL name spells it: the first letter capital, the second small.
QString Spelled(const QString& text, QChar latin)
{
    return text + (text.isEmpty() ? latin.toUpper() : latin.toLower());
}

} // namespace

QStringList NameAnswer::StandardsStartingWith(const QString& text) const
{
    QStringList found;
    for (int n = 1; n <= CaseCount(set_); ++n)
        if (const CaseIdentity* identity = table_.Find(set_, n); identity && identity->standard.startsWith(text))
            found << identity->standard;
    return found;
}

NameAnswer::Step NameAnswer::Key(QChar latin)
{
    if (set_ == CaseSet::OLL) {
        if (!latin.isDigit() || text_.size() >= kLongestOllNumber || (text_.isEmpty() && latin == u'0'))
            return Step::Ignored;
        text_ += latin;
        return Step::Typed;
    }
    if (!latin.isLetter() || latin.unicode() > 0x7F)
        return Step::Ignored;
    const QString typed = Spelled(text_, latin);
    const QStringList standards = StandardsStartingWith(typed);
    if (standards.isEmpty())
        return Step::Ignored;
    text_ = typed;
    return standards == QStringList{typed} ? Step::Whole : Step::Typed;
}

NameAnswer::Step NameAnswer::Enter()
{
    if (set_ == CaseSet::OLL && CaseNumber())
        return Step::Whole;
    return Step::Ignored;
}

std::optional<int> NameAnswer::CaseNumber() const
{
    for (int n = 1; n <= CaseCount(set_); ++n)
        if (const CaseIdentity* identity = table_.Find(set_, n); identity && identity->standard == text_)
            return n;
    return std::nullopt;
}

QString FirstSharedStandardIdentity(const CaseIdentityTable& table)
{
    for (const CaseSet set : {CaseSet::OLL, CaseSet::PLL}) {
        QSet<QString> seen;
        for (int n = 1; n <= CaseCount(set); ++n) {
            const CaseIdentity* identity = table.Find(set, n);
            if (!identity)
                continue;
            if (seen.contains(identity->standard))
                return SetName(set) + QLatin1Char(' ') + identity->standard;
            seen.insert(identity->standard);
        }
    }
    return {};
}
