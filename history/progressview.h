#pragma once
// What the main window knows of the Progress window. The window itself, and
// with it the chart library, lives in a plugin beside the executable that is
// loaded when the window is first opened: start-up loads no chart library.

#include "history/historystore.h"

#include <QFont>
#include <QHash>
#include <QImage>
#include <QtPlugin>
#include <functional>

class QWidget;

// What the window is made with. The window reads the store through its
// inline accessors only: the plugin carries no copy of the store's code.
struct ProgressWindowContext {
    const HistoryStore* store = nullptr;
    QWidget* mainWindow = nullptr;       // the window it stays beside and above
    bool russian = false;
    QString fontFamily;                  // the interface font (Tahoma)
    std::function<QImage(CaseSet, int)> casePicture;
    // "OLL 27 Sune", "PLL Ub" (core/caseidentity.h); unset: "OLL 4".
    std::function<QString(CaseSet, int)> caseTitle;
};

class ProgressView {
public:
    virtual ~ProgressView() = default;
    virtual QWidget* Widget() = 0;
    virtual void ShowCase(CaseSet set, int caseNumber) = 0;
    virtual void ShowSet(CaseSet set) = 0;
    // Draws the shown view again from the store: the reading ended, a filter changed.
    virtual void Refresh() = 0;
    // The store has just kept this new time: drawn without redrawing the rest.
    virtual void AddAttempt(const Attempt& attempt) = 0;
    // Each case's share of the draw, shown beside its bar in the set view;
    // empty: nothing shown.
    virtual void SetDrawShares(const QHash<int, double>& shareByCase) = 0;
    // While the store reads the file: how much of it is read, 0 to 1.
    virtual void ShowReadingShare(double share) = 0;
    virtual bool ShowingCase() const = 0;
    virtual int CaseNumber() const = 0;
    virtual CaseSet Set() const = 0;
};

class ProgressViewFactory {
public:
    virtual ~ProgressViewFactory() = default;
    // A hidden tool window of context.mainWindow, owned by it.
    virtual ProgressView* CreateView(const ProgressWindowContext& context) = 0;
};

#define TESSELO_PROGRESS_VIEW_FACTORY_IID "org.tesselo.ProgressViewFactory/1"
Q_DECLARE_INTERFACE(ProgressViewFactory, TESSELO_PROGRESS_VIEW_FACTORY_IID)

// The plugin's file name, without the platform's suffix.
inline constexpr const char* kProgressPluginName = "tesselo_progress";

// Loads the plugin the way the cube's is loaded. Null when it cannot be
// loaded, with the reason in why.
ProgressViewFactory* LoadProgressViewFactory(QString* why);
