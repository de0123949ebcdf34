#pragma once
// The Progress window: every recorded time of one case as a chart with its
// figures, or the whole set as bars of the recent mean per case. It never
// keeps the keyboard: Space, Enter and Escape go on to the main window, so
// the training cycle runs whichever window is in front.

#include "history/historystore.h"
#include "history/progressstats.h"

#include <QWidget>

class QChart;
class QChartView;
class QLineSeries;
class QValueAxis;
class QComboBox;
class QLabel;
class QPushButton;
class QScrollArea;
class QStackedWidget;

class ProgressWindow : public QWidget {
    Q_OBJECT
public:
    ProgressWindow(const HistoryStore& store, QString programFolder, bool russian, QWidget* mainWindow);

    void ShowCase(CaseSet set, int caseNumber);
    void ShowSet(CaseSet set);
    // Draws the shown view again from the store (after a new time).
    void Refresh();

    bool ShowingCase() const { return caseNumber_ > 0; }
    int CaseNumber() const { return caseNumber_; }
    CaseSet Set() const { return set_; }

    QComboBox* levelFilter = nullptr;
    QComboBox* recognitionFilter = nullptr;
    QPushButton* setButton = nullptr;      // from a case to its whole set
    QLabel* skippedNote = nullptr;         // damaged lines of the file
    QStackedWidget* pages = nullptr;
    // case view
    QLabel* casePicture = nullptr;
    QLabel* caseTitle = nullptr;
    QLabel* figures = nullptr;
    QChartView* caseChart = nullptr;
    // set view
    QLabel* setTitle = nullptr;
    QScrollArea* setScroll = nullptr;
    QChartView* setChart = nullptr;
    QLabel* withoutTimes = nullptr;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;

private:
    void BuildControls();
    void BuildCasePage();
    QChart* BuildCaseChart();
    void BuildSetPage();
    AttemptFilter Filter() const;
    void ShowFilters();
    void ShowSkippedNote();
    void DrawCase();
    void DrawSet();
    void ReplaceChart(QChartView* view, QChart* chart);
    bool ForwardToMainWindow(QKeyEvent* event);

    const HistoryStore& store_;
    QString programFolder_;
    bool russian_;
    QWidget* mainWindow_;
    CaseSet set_ = CaseSet::OLL;
    int caseNumber_ = 0;                    // 0: the set view
    QValueAxis* caseAxisX_ = nullptr;
    QValueAxis* caseAxisY_ = nullptr;
    QLineSeries* singles_ = nullptr;
    QLineSeries* ao5_ = nullptr;
    QLineSeries* ao12_ = nullptr;
    QLineSeries* best_ = nullptr;
    std::vector<int> barCases_;             // the case of each bar, in the bar set's order
};
