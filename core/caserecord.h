#pragma once
// One case's record: the average and the best time in seconds and the number
// of times. Settings.ini keeps them as three-decimal texts ("1,470"), and the
// running mean has always been taken from the three-decimal average, so the
// record keeps both: the numbers it computes with, and the texts it shows
// and stores (a text loaded from the file is shown as it was written until a
// new time replaces it).

#include <QString>
#include <optional>

class CaseRecord {
public:
    // A case without times: "0,000", "0,000", "0".
    CaseRecord();
    // As Settings.ini holds it; a text that does not read is kept as it is,
    // and a time cannot be added to it.
    static CaseRecord FromTexts(const QString& average, const QString& best, const QString& count);

    const QString& AverageText() const { return averageText_; }
    const QString& BestText() const { return bestText_; }
    const QString& CountText() const { return countText_; }
    // None when the stored text does not read. A time of 0 means none yet.
    std::optional<double> Average() const { return average_; }
    std::optional<double> Best() const { return best_; }
    // The count as its text reads, negative too (no time can be added to a
    // negative count, but the board's summary has always summed it).
    std::optional<int> Count() const { return count_; }

    // The record after one more time: the mean over the three-decimal
    // average, rounded to three decimals again, and the best. Throws
    // TesseloError naming the first stored text that does not read (the
    // average, the count, then the best).
    CaseRecord WithTime(double seconds) const;
    // Cleared results: no average and count; the best kept on request.
    CaseRecord Cleared(bool keepBest) const;

    bool operator==(const CaseRecord& other) const = default;

private:
    QString averageText_;
    QString bestText_;
    QString countText_;
    std::optional<double> average_;
    std::optional<double> best_;
    std::optional<int> count_;   // none when it does not read
};
