#include "window/progresshub.h"

#include "platform/pluginloader.h"
#include "core/language.h"
#include "core/summary.h"
#include "core/caseidentity.h"
#include "history/placement.h"
#include "history/progressview.h"
#include "resources/resources.h"
#include "window/pictures.h"
#include "window/shortcutkey.h"
#include "window/controls.h"
#include "window/fonts.h"
#include "window/tform1.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QKeyEvent>
#include <QMenu>
#include <QScreen>
#include <QTimer>
#include <cmath>

namespace {

// The frame is not known before the first showing: room for a title bar
// and the borders.
constexpr int kTitleBarAllowance = 30;
constexpr int kBorderAllowance = 4;
constexpr int kReadingTickMs = 50;

QImage CasePicture(const FileLocations& files, CaseSet set, int caseNumber)
{
    // The picture the user may have replaced, else the one carried inside.
    QImage picture = ReadPictureFile(files.FindPicture(EasyPicturePath(set, caseNumber)));
    if (picture.isNull())
        picture.loadFromData(EmbeddedResource((set == CaseSet::OLL ? QStringLiteral("O") : QStringLiteral("P"))
                                              + QString::number(caseNumber)));
    return picture;
}

QRect GlobalRect(const QWidget* widget)
{
    return widget && widget->isVisible() ? QRect(widget->mapToGlobal(QPoint()), widget->size()) : QRect();
}

} // namespace

ProgressViewFactory* LoadProgressViewFactory(QString* why)
{
    return LoadPluginFactory<ProgressViewFactory>(kProgressPluginName, why);
}

ProgressHub::ProgressHub(TForm1& form)
    : QObject(&form), form_(form), store_(form.env.files.HistoryPath())
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
    readingTicker_ = new QTimer(this);
    readingTicker_->setInterval(kReadingTickMs);
    connect(readingTicker_, &QTimer::timeout, this, &ProgressHub::FollowReading);
    // Times that wait for History.csv are counted in the status bar.
    connect(&store_, &HistoryStore::PendingChanged, this, [this](int count) {
        form_.StatusBar1->SetPanelAlert(kUnwrittenTimesPanel, UnwrittenTimesText(count, form_.state.russianInterface));
    });
    connect(&store_, &HistoryStore::Loaded, this, [this] {
        readingTicker_->stop();
        if (view_)
            view_->Refresh();
        emit DrawSharesWanted();
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
    if (!widget || (widget->window() != &form_ && (!view_ || widget->window() != view_->Widget())))
        return false;
    const auto* key = static_cast<const QKeyEvent*>(event);
    return !key->isAutoRepeat() && key->modifiers().testFlag(Qt::ControlModifier) && ShortcutKey(*key) == Qt::Key_H;
}

bool ProgressHub::eventFilter(QObject* watched, QEvent* event)
{
    if (view_ && watched == view_->Widget())
        FollowWindow(event->type());
    if (!IsCtrlH(watched, event))
        return false;
    OpenFromShortcut();
    return true;   // handled once: the controls and their parents never see it
}

QString ProgressHub::RecordAccepted(double seconds, bool exam, const QString& scramble, std::optional<qint64> splitMs)
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
    AttemptDetail detail;
    if (splitMs) {
        attempt.mode = AttemptMode::Split;
        detail.splitMilliseconds = static_cast<qint32>(std::min<qint64>(*splitMs, attempt.milliseconds));
    }
    const QString failure = store_.Record(attempt, scramble, detail);
    // Shown whether the file took it or it waits for the file.
    if (view_ && view_->Widget()->isVisible())
        view_->AddAttempt(attempt);
    return failure;
}

QString ProgressHub::RecordNamed(const Attempt& line, const QString& scramble, const AttemptDetail& detail)
{
    const QString failure = store_.Record(line, scramble, detail);
    if (view_ && view_->Widget()->isVisible())
        view_->AddAttempt(line);
    return failure;
}

// The weak draw's shares, beside the bars of the set drawn from.
void ProgressHub::ShowDrawShares(CaseSet set, const QHash<int, double>& shareByCase)
{
    if (view_)
        SetDrawShares(view_->Set() == set ? shareByCase : QHash<int, double>());
}

void ProgressHub::NoteDrawnCase(CaseSet set, int caseNumber)
{
    drawnSet_ = set;
    drawnCase_ = caseNumber;
}

void ProgressHub::SetDrawShares(const QHash<int, double>& shareByCase)
{
    drawShares_ = shareByCase;
    if (view_)
        view_->SetDrawShares(drawShares_);
}

// The window and the chart library come with the plugin, loaded at the first
// opening. The file is read in the background meanwhile.
ProgressView* ProgressHub::PreparedWindow()
{
    if (!view_) {
        QString why;
        ProgressViewFactory* factory = LoadProgressViewFactory(&why);
        if (!factory) {
            if (!pluginFailureShown_)
                form_.env.messages->ShowError(
                    Tr(form_.state.russianInterface, QStringLiteral("Окно «Прогресс» недоступно: %1"),
                       QStringLiteral("The Progress window is unavailable: %1"))
                        .arg(why));
            pluginFailureShown_ = true;
            return nullptr;
        }
        ProgressWindowContext context;
        context.store = &store_;
        context.mainWindow = &form_;
        context.russian = form_.state.russianInterface;
        context.fontFamily = InterfaceFont(11).family();
        context.casePicture = [files = form_.env.files](CaseSet set, int caseNumber) {
            return CasePicture(files, set, caseNumber);
        };
        context.caseTitle = &CaseTitle;
        view_ = factory->CreateView(context);
        view_->SetDrawShares(drawShares_);
    }
    store_.StartLoading();
    if (store_.Loading()) {
        view_->ShowReadingShare(store_.LoadedShare());
        readingTicker_->start();
    }
    return view_;
}

// Closing the window while the file is still being read drops the reading.
// Hidden with the main window (minimised, another desktop) it reads on, and
// shown again it reads again if the reading was dropped meanwhile.
void ProgressHub::FollowWindow(QEvent::Type type)
{
    if (type == QEvent::Close && store_.Loading()) {
        readingTicker_->stop();
        store_.AbandonLoading();
    } else if (type == QEvent::Show && !store_.IsLoaded() && !store_.Loading()) {
        store_.StartLoading();
        view_->Refresh();
        view_->ShowReadingShare(store_.LoadedShare());
        readingTicker_->start();
    }
}

void ProgressHub::FollowReading()
{
    if (view_)
        view_->ShowReadingShare(store_.LoadedShare());
}

// The first opening puts the window beside the main window, wholly on its
// screen; later openings keep where the user left it.
void ProgressHub::PlaceFirstTime()
{
    QWidget* window = view_->Widget();
    if (window->isVisible() || placed_)
        return;
    placed_ = true;
    const QScreen* screen = form_.screen();
    if (!screen)
        return;
    const QSize frame = window->size() + QSize(2 * kBorderAllowance, kTitleBarAllowance + kBorderAllowance);
    const QPoint frameAt = PlaceBeside(form_.frameGeometry(), frame, screen->availableGeometry(),
                                       {GlobalRect(form_.Image1), GlobalRect(form_.RzPanel1)});
    window->move(frameAt);
}

void ProgressHub::ShowWindow()
{
    PlaceFirstTime();
    view_->Widget()->show();
    view_->Widget()->raise();
}

void ProgressHub::OpenCase(CaseSet set, int caseNumber)
{
    if (!PreparedWindow())
        return;
    view_->ShowCase(set, caseNumber);
    emit DrawSharesWanted();
    ShowWindow();
}

void ProgressHub::OpenSet(CaseSet set)
{
    if (!PreparedWindow())
        return;
    view_->ShowSet(set);
    emit DrawSharesWanted();
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
