#include "history/progresshub.h"

#include "app/language.h"
#include "history/progresswindow.h"
#include "trainer/drawchoice.h"
#include "trainer/shortcutkey.h"
#include "window/controls.h"
#include "window/tform1.h"

#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QMenu>
#include <QScreen>
#include <QApplication>
#include <QKeyEvent>
#include <cmath>

namespace {

// The frame is not known before the first showing: room for a title bar.
constexpr int kTitleBarAllowance = 30;

// ---- the weak draw's shares: the one place they reach the window ----------
// The window learns to show them through SetDrawShares; a window without that
// entry point simply shows none.
template <typename Window> void PassDrawShares(Window& window, const QHash<int, double>& shareByCase)
{
    if constexpr (requires { window.SetDrawShares(shareByCase); })
        window.SetDrawShares(shareByCase);
}

} // namespace

ProgressHub::ProgressHub(TForm1& form)
    : QObject(&form), form_(form), store_(InFolder(form.env.programFolder, QStringLiteral("History.csv")))
{
    setObjectName(QStringLiteral("ProgressHub"));
    menuItem = form.PopupMenu1->addAction(
        Tr(form.state.russianInterface, QStringLiteral("Прогресс…"), QStringLiteral("Progress…")));
    menuItem->setObjectName(QStringLiteral("N2"));
    connect(menuItem, &QAction::triggered, this, [this] {
        const int caseNumber = Tag(form_.res);
        if (caseNumber >= 1 && caseNumber <= CaseCount(form_.state.currentSet))
            OpenCase(form_.state.currentSet, caseNumber);
    });
    // Matched on ShortcutKey like Ctrl+A, so the key that carries the Latin H
    // works under a Cyrillic layout too (a QShortcut does not fire there
    // when no Latin layout is configured beside it). Watched application-wide
    // so that it also works while the Progress window is in front.
    qApp->installEventFilter(this);
}

bool ProgressHub::IsCtrlH(QObject* watched, const QEvent* event) const
{
    if (event->type() != QEvent::KeyPress || QApplication::activeModalWidget())
        return false;
    const auto* widget = qobject_cast<const QWidget*>(watched);
    if (!widget || (widget->window() != &form_ && widget->window() != window_))
        return false;
    const auto* key = static_cast<const QKeyEvent*>(event);
    return !key->isAutoRepeat() && key->modifiers().testFlag(Qt::ControlModifier) && ShortcutKey(*key) == Qt::Key_H;
}

bool ProgressHub::eventFilter(QObject* watched, QEvent* event)
{
    if (!IsCtrlH(watched, event))
        return false;
    OpenFromShortcut();
    return true;   // handled once: the controls and their parents never see it
}

void ProgressHub::RecordAccepted(double seconds, bool exam, const QString& scramble)
{
    const TrainerState& state = form_.state;
    Attempt attempt;
    attempt.utcSeconds = form_.env.clock->UtcSeconds();
    attempt.set = state.currentSet;
    attempt.caseNumber = state.currentCase;
    attempt.level = state.level;
    attempt.twoSide = state.currentSet == CaseSet::PLL && state.level == Level::Hard && form_.CheckBox1->isChecked();
    attempt.milliseconds = static_cast<int>(std::llround(seconds * 1000.0));
    attempt.exam = exam;
    const QString failure = store_.Record(attempt, scramble);
    ShowDrawShares();
    if (window_ && window_->isVisible() && window_->Set() == attempt.set
        && (!window_->ShowingCase() || window_->CaseNumber() == attempt.caseNumber))
        window_->Refresh();
    if (!failure.isEmpty())
        form_.env.messages->ShowError(failure);
}

void ProgressHub::ShowDrawShares()
{
    // Only the active set is drawn from.
    if (window_)
        PassDrawShares(*window_, window_->Set() == form_.state.currentSet ? DrawSharesOfActiveSet(form_)
                                                                          : QHash<int, double>());
}

void ProgressHub::NoteDrawnCase(CaseSet set, int caseNumber)
{
    drawnSet_ = set;
    drawnCase_ = caseNumber;
}

ProgressWindow& ProgressHub::PreparedWindow()
{
    store_.EnsureLoaded();
    if (!window_)
        window_ = new ProgressWindow(store_, form_.env.programFolder, form_.state.russianInterface, &form_);
    return *window_;
}

// The first opening puts the window over the main window's centre and wholly
// on its screen; later openings keep where the user left it.
void ProgressHub::ShowWindow()
{
    if (!window_->isVisible() && !placed_) {
        placed_ = true;
        QRect bounds(QPoint(), window_->size());
        bounds.moveCenter(form_.frameGeometry().center());
        if (const QScreen* screen = form_.screen()) {
            const QRect available = screen->availableGeometry();
            bounds.moveRight(std::min(bounds.right(), available.right()));
            bounds.moveBottom(std::min(bounds.bottom(), available.bottom() - kTitleBarAllowance));
            bounds.moveLeft(std::max(bounds.left(), available.left()));
            bounds.moveTop(std::max(bounds.top(), available.top()));
        }
        window_->move(bounds.topLeft());
    }
    window_->show();
    window_->raise();
}

void ProgressHub::OpenCase(CaseSet set, int caseNumber)
{
    PreparedWindow().ShowCase(set, caseNumber);
    ShowDrawShares();
    ShowWindow();
}

void ProgressHub::OpenSet(CaseSet set)
{
    PreparedWindow().ShowSet(set);
    ShowDrawShares();
    ShowWindow();
}

void ProgressHub::OpenFromShortcut()
{
    // A window coming up in the middle of a solve would only distract.
    if (form_.state.attemptActive)
        return;
    if (drawnCase_ > 0)
        OpenCase(drawnSet_, drawnCase_);
    else
        OpenSet(form_.state.currentSet);
}

void InstallProgress(TForm1& form)
{
    form.progress = new ProgressHub(form);
}
