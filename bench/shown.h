#pragma once
// Tells the start-up benchmark the moment a top-level window is on screen:
// its first paint after the window system exposed it. Prints
// "shown <peak resident KiB> <processor time in ms>" (every thread's, user
// and system, up to that moment) and ends the program through its normal exit.

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
        const auto ms = [](const timeval& t) { return double(t.tv_sec) * 1e3 + double(t.tv_usec) / 1e3; };
        std::printf("shown %ld %.2f\n", usage.ru_maxrss, ms(usage.ru_utime) + ms(usage.ru_stime));
        std::fflush(stdout);
        finish_();
    }

    QWidget* window_;
    std::function<void()> finish_;
    bool reported_ = false;
};
