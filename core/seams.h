#pragma once
// The program's contact points with the world outside: the clock, the random
// generator, the program folder, the system language and the message boxes.
// Production code uses the real ones; tests inject their own.

#include "platform/filelocations.h"

#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>
#include <memory>
#include <random>

class Clock {
public:
    virtual ~Clock() = default;
    // Milliseconds of a monotonic clock: never jumps with the wall clock.
    virtual qint64 MonotonicMs() = 0;
    // Microseconds of the same clock. The stopwatch floors only the elapsed
    // time, never the two readings, so its text never runs ahead of the
    // true time.
    virtual qint64 MonotonicUs() { return MonotonicMs() * 1000; }
    // A 32-bit millisecond tick count (wraps), for the cube's fling speed.
    virtual std::uint32_t TickCount() { return static_cast<std::uint32_t>(MonotonicMs()); }
    // The wall clock in seconds since 1970 (UTC): the dates of History.csv.
    virtual qint64 UtcSeconds();
};

class SteadyClock : public Clock {
public:
    qint64 MonotonicMs() override;
    qint64 MonotonicUs() override;
};

// A clock the tests set by hand.
class ManualClock : public Clock {
public:
    qint64 MonotonicMs() override { return MonotonicUs() / 1000; }
    qint64 MonotonicUs() override { return now * 1000 + extraUs; }
    void Advance(qint64 ms) { now += ms; }
    qint64 now = 1000000;
    qint64 extraUs = 0;   // a reading that falls between two whole milliseconds
    qint64 UtcSeconds() override { return utcSeconds; }
    qint64 utcSeconds = 1796815925;   // 2026-12-09T11:32:05Z
};

class RandomSource {
public:
    virtual ~RandomSource() = default;
    virtual void Reseed() = 0;               // "re-seed from the clock"
    virtual int Uniform(int bound) = 0;      // 0 <= result < bound; bound > 0
    // 0 <= result < 1, from two uniform integers: fine enough for any weights.
    virtual double UniformReal();
};

// Seeded from the clock at every Reseed, as the trainer expects.
class ClockSeededRandom : public RandomSource {
public:
    void Reseed() override;
    int Uniform(int bound) override;

private:
    std::mt19937 engine_{std::random_device{}()};
};

// A fixed seed that Reseed does not change: the same run draws the same cases.
class SeededRandom : public RandomSource {
public:
    explicit SeededRandom(std::uint32_t seed) : engine_(seed) {}
    void Reseed() override {}
    int Uniform(int bound) override;

private:
    std::mt19937 engine_;
};

// Modal message boxes over the main window. The texts are final; the boxes
// carry the application title.
class Messages {
public:
    virtual ~Messages() = default;
    virtual void Inform(const QString& text) = 0;                         // OK box
    virtual bool Ask(const QString& caption, const QString& text) = 0;    // Yes/No, no icon
    virtual void ShowError(const QString& text) = 0;                      // error box
    // A question whose Yes throws something away: No is the default button,
    // so that an Enter pressed out of habit loses nothing.
    virtual bool AskDefaultNo(const QString& caption, const QString& text) { return Ask(caption, text); }
};

// Records what would have been shown; answers questions from a queue (Yes when empty).
class RecordingMessages : public Messages {
public:
    void Inform(const QString& text) override { shown << text; }
    bool Ask(const QString& caption, const QString& text) override {
        asked << caption + QStringLiteral("|") + text;
        return answers.isEmpty() ? true : answers.takeFirst();
    }
    void ShowError(const QString& text) override { errors << text; }
    QStringList shown, asked, errors;
    QList<bool> answers;
};

struct Environment {
    FileLocations files;                         // where Settings.ini, History.csv, pictures and plugins are
    std::shared_ptr<Clock> clock;
    std::shared_ptr<RandomSource> random;
    std::shared_ptr<Messages> messages;
    std::function<QString()> systemLanguage;     // BCP-47 name of the system language, e.g. "ru-RU"

    // The real world: the files where the executable's folder says
    // (platform/filelocations.h), the steady clock, a clock-seeded generator, Qt message boxes (set by the program entry) and QLocale::system().
    static Environment Default();
};

// Joins the program folder and a relative path given with forward slashes.
QString InFolder(const QString& folder, const QString& relative);
