#include "window/windowframe.h"

#include <QEvent>
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
    if (!window_->isMaximized() && !window_->isFullScreen())
        return window_->frameGeometry();
    // Maximised from the start: the normal state was never framed on screen,
    // and its bounds are still the ones asked for.
    if (!sizeApplied_ && pendingOuter_.isValid())
        return pendingOuter_;
    return window_->normalGeometry().marginsAdded(normalMarginsKnown_ ? normalMargins_ : Margins());
}

void WindowFrame::NoteNormalMargins()
{
    if (window_->isMaximized() || window_->isFullScreen() || !window_->isVisible())
        return;
    const QMargins margins = Margins();
    if (margins.isNull())
        return;
    normalMargins_ = margins;
    normalMarginsKnown_ = true;
}

// A window that starts maximised gets its outer size when it first returns
// to the normal state.
void WindowFrame::ApplyKnownMargins()
{
    const QMargins margins = Margins();
    if (margins.isNull())
        return;
    if (!minimumApplied_ && minimumOuter_.isValid())
        window_->setMinimumSize(Shrunk(minimumOuter_, margins));
    minimumApplied_ = true;
    if (window_->isMaximized() || window_->isFullScreen())
        return;
    sizeApplied_ = true;
    appliedMargins_ = margins;
    if (pendingOuter_.isValid())
        window_->resize(Shrunk(pendingOuter_.size(), margins));
}

void WindowFrame::CorrectAppliedSize()
{
    if (corrected_ || window_->isMaximized() || window_->isFullScreen())
        return;
    const QMargins margins = Margins();
    if (margins.isNull() || margins == appliedMargins_)
        return;
    corrected_ = true;
    if (pendingOuter_.isValid())
        window_->resize(Shrunk(pendingOuter_.size(), margins));
}

bool WindowFrame::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    const bool placement = type == QEvent::Show || type == QEvent::Move || type == QEvent::Resize
                           || type == QEvent::WindowStateChange;
    if (watched == window_ && placement) {
        if (!sizeApplied_)
            ApplyKnownMargins();
        else
            CorrectAppliedSize();
        NoteNormalMargins();
    }
    return QObject::eventFilter(watched, event);
}
