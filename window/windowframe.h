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
    void ApplyKnownMargins();
    void CorrectAppliedSize();
    void NoteNormalMargins();
    QWidget* window_;
    QRect pendingOuter_;
    // The frame of the normal state: a maximised window's frame is often
    // thinner (no side borders), so it cannot stand in for it.
    QMargins normalMargins_;
    bool normalMarginsKnown_ = false;
    QSize minimumOuter_;
    bool minimumApplied_ = false;
    bool sizeApplied_ = false;
    // A window restored from maximised may first report the thinner frame of
    // the maximised state: the outer size is converted once more with the
    // frame it then shows.
    QMargins appliedMargins_;
    bool corrected_ = false;
};
