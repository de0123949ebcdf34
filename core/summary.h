#pragma once
// The statistics board's arithmetic: the five summary values, bar levels and
// the status bar texts. No widgets.

#include "core/caserecord.h"

#include <QString>
#include <QStringList>
#include <QVector>

struct CaseTimes {      // one case's stored texts
    QString average;
    QString best;
    QString count;
};

struct BoardSummary {
    double maxAverage = 0;
    double minAverage = 1000;   // sentinel: none
    double bestTime = 1000;     // sentinel: none
    double totalSeconds = 0;
    qint32 attemptCount = 0;
};

// From the records' numbers: a stored text that does not read counts as 0.
BoardSummary ComputeSummary(const QVector<CaseRecord>& records);
// The same over the texts as Settings.ini holds them.
BoardSummary ComputeSummary(const QVector<CaseTimes>& cases);

// Level 0..100 of a bar: value*100/max rounded half to even, raised to 10;
// 0 when value is 0.
int BarLevel(double value, double maxValue);

// Lit segments of a bar of 10: floor(level * 10 / 100).
int LitSegments(int level);

// "01:02:05"; hours beyond 23 shown in full ("25:00:00").
QString TotalTimeText(double totalSeconds);

// The five panel texts in the interface language.
QStringList StatusTexts(const BoardSummary& summary, bool russian);

// "3 times not yet written to History.csv", "Не записано в History.csv: 3";
// empty when none wait. Shown in the total time's panel, between the
// round's note and the total.
QString UnwrittenTimesText(int count, bool russian);
constexpr int kUnwrittenTimesPanel = 3;
