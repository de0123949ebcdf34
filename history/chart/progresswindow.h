#pragma once
// The Progress window: every recorded time of one case as a chart with its
// figures, or the whole set as bars of the recent mean per case. A tool
// window of the main window: it stays above it and never keeps the keyboard;
// Space, Enter and Escape go on to the main window, so the training cycle
// runs whichever window is in front.

#include "history/progressstats.h"
#include "history/progressview.h"

#include <QWidget>

class CaseChart;
class QCheckBox;
class QComboBox;
class QLabel;
class QListWidget;
class QProgressBar;
class QPushButton;
class QScrollArea;
class QStackedWidget;
class SecondsRuler;
class SetBars;

class ProgressWindow : public QWidget, public ProgressView {
    Q_OBJECT
public:
    explicit ProgressWindow(const ProgressWindowContext& context);

    QWidget* Widget() override { return this; }
    void ShowCase(CaseSet set, int caseNumber) override;
    void ShowSet(CaseSet set) override;
    void Refresh() override;
    void AddAttempt(const Attempt& attempt) override;
    void SetDrawShares(const QHash<int, double>& shareByCase) override;
    void ShowReadingShare(double share) override;
    bool ShowingCase() const override { return caseNumber_ > 0; }
    bool ShowingRecognition() const { return recognition_; }
    // The naming drill's figures of the set's cases, the worst named first.
    void ShowRecognition(CaseSet set);
    int CaseNumber() const override { return caseNumber_; }
    CaseSet Set() const override { return set_; }

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;

private:
    enum Page { CasePage, SetPage, ReadingPage, RecognitionPage };
    QFont Font(int pixels, bool bold = false) const;
    void BuildControls();
    void BuildCasePage();
    void BuildSetPage();
    void BuildReadingPage();
    void BuildRecognitionPage();
    AttemptFilter Filter() const;
    QString FilterName() const;
    void ShowFilters();
    void ShowSkippedNote();
    QString CaseTitleOf(CaseSet set, int caseNumber) const;   // "OLL 27 Sune"
    void DrawCase();
    void ShowFigures();
    void DrawSet();
    void DrawRecognition();
    QString NamingLine(const NamingFigures& figures) const;
    bool ForwardToMainWindow(QKeyEvent* event);

    ProgressWindowContext context_;
    const HistoryStore& store_;
    bool russian_;
    CaseSet set_ = CaseSet::OLL;
    int caseNumber_ = 0;                    // 0: the set view or the recognition view
    bool recognition_ = false;              // the recognition view

    QComboBox* levelFilter_ = nullptr;
    QComboBox* recognitionFilter_ = nullptr;
    QCheckBox* examBox_ = nullptr;
    QPushButton* setButton_ = nullptr;      // from a case to its whole set
    QPushButton* recognitionButton_ = nullptr;
    QLabel* skippedNote_ = nullptr;         // damaged lines of the file
    QStackedWidget* pages_ = nullptr;
    QLabel* casePicture_ = nullptr;
    QLabel* caseTitle_ = nullptr;
    QLabel* figures_ = nullptr;
    QStackedWidget* caseChartOrNone_ = nullptr;
    CaseChart* caseChart_ = nullptr;
    QLabel* noTimes_ = nullptr;
    QLabel* setTitle_ = nullptr;
    QScrollArea* setScroll_ = nullptr;
    SetBars* setBars_ = nullptr;
    SecondsRuler* ruler_ = nullptr;
    QLabel* withoutTimes_ = nullptr;
    QProgressBar* readingBar_ = nullptr;
    QLabel* recognitionTitle_ = nullptr;
    QListWidget* recognitionList_ = nullptr;
    QLabel* neverNamed_ = nullptr;
};
