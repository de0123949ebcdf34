#pragma once
// Joins History.csv and the Progress window to the main window: every
// accepted time is appended, the tile's popup menu and Ctrl+H open the
// window, and the window follows new times while it is open.

#include "history/historystore.h"

#include <QEvent>
#include <QHash>
#include <QObject>
#include <optional>

class QAction;
class QTimer;
class ProgressView;
class TForm1;

class ProgressHub : public QObject {
    Q_OBJECT
public:
    // Adds the popup menu item and the shortcut to the main window.
    explicit ProgressHub(TForm1& form);

    // Accept recorded a time (in seconds) for the current case, timed under
    // the setup scramble given (empty without one). Gives the text of a
    // refused write to show (once a run), else an empty text.
    // splitMs: the recognition mark, when one was made.
    QString RecordAccepted(double seconds, bool exam, const QString& scramble = QString(),
                           std::optional<qint64> splitMs = std::nullopt);
    // The naming drill judged an answer: its line, as the session made it.
    QString RecordNamed(const Attempt& line, const QString& scramble, const AttemptDetail& detail);
    // The countdown drew a case.
    void NoteDrawnCase(CaseSet set, int caseNumber);
    // Hands the open window each enabled case of the set's share of the weak
    // draw (empty with another rule), for the set view to show beside the
    // bars of that set.
    void ShowDrawShares(CaseSet set, const QHash<int, double>& shareByCase);

    void OpenCase(CaseSet set, int caseNumber);
    void OpenSet(CaseSet set);
    // Ctrl+H: the last drawn case, or the whole set before the first draw.
    void OpenFromShortcut();
    // Each case's share of the draw, shown in the set view beside the case's
    // bar; empty: nothing shown.
    void SetDrawShares(const QHash<int, double>& shareByCase);

    HistoryStore& Store() { return store_; }
    bool WindowMade() const { return view_ != nullptr; }
    ProgressView* Window() const { return view_; }
    QAction* menuItem = nullptr;     // "Progress…" under "Edit algorithm"

signals:
    // The window wants the draw's shares anew (it opened, or History.csv was read).
    void DrawSharesWanted();

protected:
    // Ctrl+H, seen before any control of the main or the Progress window;
    // the Progress window's closing and showing.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool IsCtrlH(QObject* watched, const QEvent* event) const;
    ProgressView* PreparedWindow();
    void ShowWindow();
    void PlaceFirstTime();
    void FollowReading();
    void FollowWindow(QEvent::Type type);

    TForm1& form_;
    HistoryStore store_;
    ProgressView* view_ = nullptr;   // made at the first opening, a child of the main window
    QTimer* readingTicker_ = nullptr;
    QHash<int, double> drawShares_;
    CaseSet drawnSet_ = CaseSet::OLL;
    int drawnCase_ = 0;              // 0: nothing drawn in this run
    bool placed_ = false;            // the first opening placed the window
    bool pluginFailureShown_ = false;
};

// Creates the hub for the main window.
void InstallProgress(TForm1& form);
