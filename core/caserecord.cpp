#include "core/caserecord.h"

#include "core/errors.h"
#include "core/timetext.h"

#include <limits>

CaseRecord::CaseRecord()
    : averageText_(ZeroTimeText()), bestText_(ZeroTimeText()), countText_(QStringLiteral("0")), average_(0.0),
      best_(0.0), count_(0)
{
}

CaseRecord CaseRecord::FromTexts(const QString& average, const QString& best, const QString& count)
{
    CaseRecord record;
    record.averageText_ = average;
    record.bestText_ = best;
    record.countText_ = count;
    record.average_ = ParseTimeText(average);
    record.best_ = ParseTimeText(best);
    record.count_ = ParseCount(count);
    return record;
}

CaseRecord CaseRecord::WithTime(double seconds) const
{
    if (!average_)
        ParseTimeTextOrThrow(averageText_);
    if (!count_ || *count_ < 0)
        throw TesseloError(QStringLiteral("'%1' is not a valid integer value").arg(countText_));
    if (!best_)
        ParseTimeTextOrThrow(bestText_);
    const qint64 count = *count_;
    const long double mean = (static_cast<long double>(*average_) * count + seconds) / (count + 1);
    CaseRecord folded = *this;
    folded.averageText_ = MakeTimeText(static_cast<double>(mean));
    folded.average_ = RoundedTimeValue(static_cast<double>(mean));
    if (*best_ == 0 || seconds < *best_) {
        folded.bestText_ = MakeTimeText(seconds);
        folded.best_ = RoundedTimeValue(seconds);
    }
    folded.countText_ = QString::number(count + 1);
    folded.count_ = count + 1 <= std::numeric_limits<int>::max() ? std::optional<int>(int(count + 1)) : std::nullopt;
    return folded;
}

CaseRecord CaseRecord::Cleared(bool keepBest) const
{
    const CaseRecord empty;
    return FromTexts(empty.averageText_, keepBest ? bestText_ : empty.bestText_, empty.countText_);
}
