#pragma once
// The whole program started in a folder of the bench's, and a stopwatch for
// one action, shared by the benchmarks that drive the real windows.

#include "app/program.h"
#include "window/tform1.h"

#include <QApplication>
#include <QElapsedTimer>
#include <memory>

inline std::unique_ptr<Program> StartIn(const QString& folder)
{
    Environment env = Environment::Default();
    env.files = FileLocations::Portable(folder);
    env.messages = std::make_shared<RecordingMessages>();
    auto program = std::make_unique<Program>(env);
    program->form1->show();
    QApplication::processEvents();
    return program;
}

template <typename Action> double TimeMs(Action&& action)
{
    QElapsedTimer timer;
    timer.start();
    action();
    return double(timer.nsecsElapsed()) / 1e6;
}
