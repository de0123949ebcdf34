#include "app/stopwatchfont.h"

#include "resources/resources.h"
#include "platform/atomicfile.h"
#include "core/seams.h"

#include <QFile>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QSize>


// A symbolic link named digital.ttf is replaced, never written through: the
// file it points to may be anything of the user's. The file is deleted at
// the end of every run, so it is not flushed to the disk.
static bool WriteFontFile(const QString& path)
{
    const QByteArray data = EmbeddedResource(QStringLiteral("MyWave"));
    if (data.isEmpty())
        return false;
    FileReplacement how;
    how.newFileMode = 0666;
    how.durable = false;
    return ReplaceFileAtomically(path, data, how);
}

static int RegisterFont(const QString& fontFile, Messages& messages)
{
    if (fontFile.isEmpty())
        return QFontDatabase::addApplicationFontFromData(EmbeddedResource(QStringLiteral("MyWave")));
    if (!WriteFontFile(fontFile))
        messages.Inform(QStringLiteral("Не могу сохранить шрифт"));
    return QFontDatabase::addApplicationFont(fontFile);
}

StopwatchFont InstallStopwatchFont(const QString& fontFile, Messages& messages)
{
    StopwatchFont font;
    font.id = RegisterFont(fontFile, messages);
    if (font.id < 0) {
        messages.Inform(QStringLiteral("Не могу подключить шрифт"));
        return font;
    }
    font.family = QFontDatabase::applicationFontFamilies(font.id).value(0);
    return font;
}

void ReleaseStopwatchFont(const QString& fontFile, StopwatchFont& font)
{
    if (font.id >= 0)
        QFontDatabase::removeApplicationFont(font.id);
    font.id = -1;
    if (!fontFile.isEmpty())
        QFile::remove(fontFile);
}

QFont FittedStopwatchFont(const QString& family, int maxPixelSize, const QSize& box)
{
    // The seven-segment point takes no room of its own, so the pattern is
    // measured with it, as the label draws it.
    const QString pattern = QStringLiteral("88.888");
    constexpr int kSmallest = 9;
    QFont font(family);
    if (maxPixelSize < kSmallest)
        return font;
    const auto fits = [&](int size) {
        font.setPixelSize(size);
        const QFontMetrics metrics(font);
        return metrics.horizontalAdvance(pattern) <= box.width() - 2 && metrics.height() <= box.height();
    };
    // The pattern grows with the size, so the largest size that fits is found
    // by halving the range: each size measured loads the face at that size,
    // and start-up measures six instead of up to fifty. The smallest size
    // stands when nothing fits.
    int low = kSmallest;
    int high = maxPixelSize;
    while (low < high) {
        const int middle = (low + high + 1) / 2;
        if (fits(middle))
            low = middle;
        else
            high = middle - 1;
    }
    font.setPixelSize(low);
    return font;
}
