#pragma once
// The program's plugins: code with heavy libraries (OpenGL, the charts) that
// is loaded only when a window first needs it, so that start-up does not.

#include <QString>

class QObject;

// The root object of the plugin fileName (without the platform's suffix),
// loaded once and kept for the rest of the run. Looked for beside the
// executable (then in the build tree, for the tests and benchmarks that run
// from its sub-folders). Null when it cannot be loaded, with the reason in why.
QObject* LoadPlugin(const QString& fileName, QString* why);
