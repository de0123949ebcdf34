#include "window/firstframe.h"

#include <QEvent>
#include <QTimer>
#include <QWidget>

namespace {

class FirstFrameWatch : public QObject {
public:
    FirstFrameWatch(QWidget* window, std::function<void()> work) : QObject(window), work_(std::move(work))
    {
        window->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint) {
            watched->removeEventFilter(this);
            // The paint of the window is followed by its children's and the
            // flush; a zero timer comes after all of them.
            QTimer::singleShot(0, this, [this] {
                work_();
                deleteLater();
            });
        }
        return false;
    }

private:
    std::function<void()> work_;
};

}   // namespace

void AfterFirstFrame(QWidget* window, std::function<void()> work)
{
    new FirstFrameWatch(window, std::move(work));
}
