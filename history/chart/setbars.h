#pragma once
// The set view: one bar of fixed height per case, the slowest on top, each
// labelled "OLL 27 Sune · 3,151", and a seconds ruler that stays in view below the
// scrolled bars. Painted directly: a few dozen bars need no chart library.

#include "history/progressstats.h"

#include <QHash>
#include <functional>
#include <QWidget>

class SetBars : public QWidget {
    Q_OBJECT
    Q_PROPERTY(QStringList labels READ Labels)
public:
    static constexpr int kBarPixels = 22;

    SetBars(const QFont& font, QWidget* parent);

    void Show(CaseSet set, const std::vector<CaseMean>& slowestFirst);
    void SetShares(const QHash<int, double>& shareByCase);
    // How a bar names its case ("OLL 27 Sune"); unset: "OLL 4".
    void SetCaseTitles(std::function<QString(CaseSet, int)> title) { caseTitle_ = std::move(title); }

    const QStringList& Labels() const { return labels_; }
    int CaseAt(int y) const;          // 0: no bar there
    double ScaleSeconds() const { return scaleSeconds_; }
    int BarLeft() const { return labelWidth_; }
    int BarWidth() const;
    QSize sizeHint() const override;

signals:
    void CaseClicked(int caseNumber);
    void ScaleChanged();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void Relabel();

    CaseSet set_ = CaseSet::OLL;
    std::vector<CaseMean> rows_;
    QHash<int, double> shares_;
    std::function<QString(CaseSet, int)> caseTitle_;
    QStringList labels_;
    int labelWidth_ = 0;
    double scaleSeconds_ = 5;
};

// The seconds below the bars, at the bars' scale.
class SecondsRuler : public QWidget {
    Q_OBJECT
public:
    SecondsRuler(const SetBars& bars, const QString& title, const QFont& font, QWidget* parent);
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    const SetBars& bars_;
    QString title_;
};
