#include "window/windowframe.h"

#include <QEvent>
#include <QScreen>
#include <QWidget>

WindowFrame::WindowFrame(QWidget* window) : QObject(window), window_(window)
{
    setObjectName(QStringLiteral("WindowFrame"));
    window_->installEventFilter(this);
}

WindowFrame* WindowFrame::Of(QWidget* window)
{
    auto* keeper = window->findChild<WindowFrame*>(QStringLiteral("WindowFrame"), Qt::FindDirectChildrenOnly);
    return keeper ? keeper : new WindowFrame(window);
}

QMargins WindowFrame::Margins() const
{
    const QRect frame = window_->frameGeometry();
    const QRect client = window_->geometry();
    return QMargins(client.left() - frame.left(), client.top() - frame.top(), frame.right() - client.right(),
                    frame.bottom() - client.bottom());
}

static QSize Shrunk(const QSize& outer, const QMargins& margins)
{
    return QSize(outer.width() - margins.left() - margins.right(), outer.height() - margins.top() - margins.bottom());
}

void WindowFrame::SetOuterGeometry(const QRect& outer)
{
    pendingOuter_ = outer;
    window_->move(outer.topLeft());
    window_->resize(Shrunk(outer.size(), Margins()));
}

void WindowFrame::SetMinimumOuterSize(const QSize& size)
{
    minimumOuter_ = size;
    window_->setMinimumSize(Shrunk(size, Margins()));
}

QRect WindowFrame::NormalOuterGeometry() const
{
    if (!InMaximisedState())
        return window_->frameGeometry();
    // Maximised from the start: the normal state was never framed on screen,
    // and its bounds are still the ones asked for.
    if (!sizeApplied_ && pendingOuter_.isValid())
        return pendingOuter_;
    return window_->normalGeometry().marginsAdded(normalMarginsKnown_ ? normalMargins_ : Margins());
}

bool WindowFrame::InMaximisedState() const { return window_->isMaximized() || window_->isFullScreen(); }

void WindowFrame::ApplyMinimum(const QMargins& margins)
{
    if (!minimumOuter_.isValid() || (minimumApplied_ && margins == minimumMargins_))
        return;
    minimumApplied_ = true;
    minimumMargins_ = margins;
    window_->setMinimumSize(Shrunk(minimumOuter_, margins));
}

// Position and size both: at a restore Qt may still hold the maximised
// window's position, and a resize alone would move the window there.
void WindowFrame::ApplyPendingOuter(const QMargins& margins)
{
    sizeApplied_ = true;
    appliedMargins_ = margins;
    if (!pendingOuter_.isValid())
        return;
    window_->move(pendingOuter_.topLeft());
    window_->resize(Shrunk(pendingOuter_.size(), margins));
}

// The outer bounds asked for are applied in the normal state, again each time
// its frame turns out different, until a frame unlike the maximised one shows
// that the normal frame is the one in place, or until the window is maximised
// again and the window manager has taken the bounds as the ones to restore.
// A window manager may report the maximised frame for a moment after a
// restore, and another may frame both states alike.
void WindowFrame::NoteFrame(bool stateChange)
{
    const QMargins margins = Margins();
    if (margins.isNull() || !window_->isVisible())
        return;
    if (InMaximisedState()) {
        // Just maximised, the window may still show its normal frame.
        if (stateChange)
            return;
        maximisedMargins_ = margins;
        maximisedMarginsKnown_ = true;
        sizeSettled_ = sizeApplied_;
        return;
    }
    const bool surelyNormal = !maximisedMarginsKnown_ || margins != maximisedMargins_;
    if (surelyNormal || !normalMarginsKnown_) {
        normalMargins_ = margins;
        normalMarginsKnown_ = true;
        ApplyMinimum(margins);
    }
    // Just restored, a window still filling the screen has not been given its
    // normal frame yet: the move and resize that follow bring it.
    const bool stillFillsScreen = window_->screen() && window_->frameGeometry() == window_->screen()->availableGeometry();
    if (sizeSettled_ || (stateChange && !surelyNormal && stillFillsScreen))
        return;
    if (!sizeApplied_ || margins != appliedMargins_)
        ApplyPendingOuter(margins);
    sizeSettled_ = surelyNormal;
}

bool WindowFrame::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    const bool placement = type == QEvent::Show || type == QEvent::Move || type == QEvent::Resize;
    if (watched == window_ && (placement || type == QEvent::WindowStateChange))
        NoteFrame(type == QEvent::WindowStateChange);
    return QObject::eventFilter(watched, event);
}
