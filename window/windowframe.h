#pragma once
// The settings keep the main window's outer bounds, frame included, while Qt
// sizes a window by its client area. The frame's margins are known only once
// the window system has framed the window: until then the client gets the
// outer size, and the outer size asked for is applied again as soon as the
// margins are known. Without a window frame (no window manager, the
// offscreen platform) outer and client bounds are the same.

#include <QMargins>
#include <QObject>
#include <QRect>
#include <QSize>

class QWidget;

class WindowFrame : public QObject {
    Q_OBJECT
public:
    // The keeper of a top-level window, created on first use.
    static WindowFrame* Of(QWidget* window);

    void SetOuterGeometry(const QRect& outer);
    void SetMinimumOuterSize(const QSize& size);
    // The outer bounds of the window's normal (not maximised) state.
    QRect NormalOuterGeometry() const;
    QMargins Margins() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    explicit WindowFrame(QWidget* window);
    bool InMaximisedState() const;
    void NoteFrame(bool stateChange);
    void ApplyMinimum(const QMargins& margins);
    void ApplyPendingOuter(const QMargins& margins);
    QWidget* window_;
    QRect pendingOuter_;
    // The frames of the two states, as last seen in them: a maximised
    // window's frame is often thinner (no side borders), so neither can stand
    // in for the other. A state change is often reported before the new
    // frame: a frame seen at that moment is not taken for the maximised one,
    // and is taken for the normal one only when it differs from the maximised.
    QMargins normalMargins_;
    bool normalMarginsKnown_ = false;
    QMargins maximisedMargins_;
    bool maximisedMarginsKnown_ = false;
    QSize minimumOuter_;
    QMargins minimumMargins_;
    bool minimumApplied_ = false;
    // The outer bounds asked for have been given to the normal state with the
    // frame it shows (applied), and that frame is known to be the normal one
    // (settled). A window that starts maximised gets them at its first return
    // to the normal state; every later restore is the window manager's, which
    // puts back the bounds the window had, and is left alone.
    bool sizeApplied_ = false;
    bool sizeSettled_ = false;
    QMargins appliedMargins_;
};
