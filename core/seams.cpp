#include "core/seams.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QLocale>
#include <chrono>

qint64 Clock::UtcSeconds()
{
    return QDateTime::currentSecsSinceEpoch();
}

qint64 SteadyClock::MonotonicMs()
{
    return MonotonicUs() / 1000;
}

qint64 SteadyClock::MonotonicUs()
{
    using namespace std::chrono;
    return duration_cast<microseconds>(steady_clock::now().time_since_epoch()).count();
}

double RandomSource::UniformReal()
{
    constexpr int kStep = 1 << 26;
    const double high = Uniform(kStep);
    const double low = Uniform(kStep);
    return (high + low / kStep) / kStep;
}

void ClockSeededRandom::Reseed()
{
    using namespace std::chrono;
    engine_.seed(static_cast<std::uint32_t>(high_resolution_clock::now().time_since_epoch().count()));
}

int ClockSeededRandom::Uniform(int bound)
{
    return std::uniform_int_distribution<int>(0, bound - 1)(engine_);
}

int SeededRandom::Uniform(int bound)
{
    return std::uniform_int_distribution<int>(0, bound - 1)(engine_);
}

Environment Environment::Default()
{
    Environment env;
    env.files = FileLocations::ForExecutable(QCoreApplication::applicationDirPath());
    env.clock = std::make_shared<SteadyClock>();
    env.random = std::make_shared<ClockSeededRandom>();
    env.systemLanguage = [] { return QLocale::system().name(); };
    return env;
}

QString InFolder(const QString& folder, const QString& relative)
{
    return QDir(folder).filePath(relative);
}
