#include "resources/resources.h"

#include <QFile>

static void InitResources()
{
    static const bool done = [] {
        Q_INIT_RESOURCE(tesselo_resources);
        return true;
    }();
    (void)done;
}

QByteArray EmbeddedResource(const QString& name)
{
    InitResources();
    QFile file(QStringLiteral(":/res/") + name);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}
