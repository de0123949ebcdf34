#pragma once
// Tells the start-up benchmark the moment a top-level window is on screen:
// its first paint after the window system exposed it. Prints
// "shown <peak resident KiB>" and ends the program through its normal exit.

#include <QCoreApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>
#include <cstdio>
#include <functional>
#include <sys/resource.h>

class ShownReporter : public QObject {
public:
    explicit ShownReporter(QWidget* window, std::function<void()> finish)
        : QObject(window), window_(window), finish_(std::move(finish))
    {
        window->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == window_ && event->type() == QEvent::Paint && !reported_) {
            reported_ = true;
            // After this paint has reached the window system.
            QTimer::singleShot(0, this, [this] { Report(); });
        }
        return false;
    }

private:
    void Report()
    {
        rusage usage {};
        getrusage(RUSAGE_SELF, &usage);
        std::printf("shown %ld\n", usage.ru_maxrss);
        std::fflush(stdout);
        finish_();
    }

    QWidget* window_;
    std::function<void()> finish_;
    bool reported_ = false;
};
