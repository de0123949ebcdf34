#include "app/stopwatchfont.h"

#include "resources/resources.h"
#include "trainer/seams.h"

#include <QFile>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QSize>

QString StopwatchFontPath(const QString& programFolder)
{
    return InFolder(programFolder, QStringLiteral("digital.ttf"));
}

static bool WriteFontFile(const QString& path)
{
    const QByteArray data = EmbeddedResource(QStringLiteral("MyWave"));
    QFile file(path);
    if (data.isEmpty() || !file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    return file.write(data) == data.size() && file.flush();
}

StopwatchFont InstallStopwatchFont(const QString& programFolder, Messages& messages)
{
    const QString path = StopwatchFontPath(programFolder);
    if (!WriteFontFile(path))
        messages.Inform(QStringLiteral("Не могу сохранить шрифт"));
    StopwatchFont font;
    font.id = QFontDatabase::addApplicationFont(path);
    if (font.id < 0) {
        messages.Inform(QStringLiteral("Не могу подключить шрифт"));
        return font;
    }
    font.family = QFontDatabase::applicationFontFamilies(font.id).value(0);
    return font;
}

void ReleaseStopwatchFont(const QString& programFolder, StopwatchFont& font)
{
    if (font.id >= 0)
        QFontDatabase::removeApplicationFont(font.id);
    font.id = -1;
    QFile::remove(StopwatchFontPath(programFolder));
}

QFont FittedStopwatchFont(const QString& family, int maxPixelSize, const QSize& box)
{
    // The seven-segment point takes no room of its own, so the pattern is
    // measured with it, as the label draws it.
    const QString pattern = QStringLiteral("88.888");
    QFont font(family);
    for (int size = maxPixelSize; size > 8; --size) {
        font.setPixelSize(size);
        const QFontMetrics metrics(font);
        if (metrics.horizontalAdvance(pattern) <= box.width() - 2 && metrics.height() <= box.height())
            break;
    }
    return font;
}
