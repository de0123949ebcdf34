#include "app/stopwatchfont.h"

#include "resources/resources.h"
#include "trainer/seams.h"

#include <QFile>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QSize>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

QString StopwatchFontPath(const QString& programFolder)
{
    return InFolder(programFolder, QStringLiteral("digital.ttf"));
}

// A symbolic link named digital.ttf is replaced, never written through: the
// file it points to may be anything of the user's. The link itself goes and
// the font is written as a file of its own; nothing that stands in its place
// is ever followed.
static bool WriteFontFile(const QString& path)
{
    const QByteArray data = EmbeddedResource(QStringLiteral("MyWave"));
    if (data.isEmpty())
        return false;
    const QByteArray name = QFile::encodeName(path);
    struct stat info {};
    if (::lstat(name.constData(), &info) == 0 && S_ISLNK(info.st_mode))
        ::unlink(name.constData());
    const int fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW, 0666);
    if (fd < 0)
        return false;
    const char* next = data.constData();
    qsizetype left = data.size();
    while (left > 0) {
        const ssize_t done = ::write(fd, next, static_cast<size_t>(left));
        if (done < 0 && errno == EINTR)
            continue;
        if (done <= 0)
            break;
        next += done;
        left -= done;
    }
    return ::close(fd) == 0 && left == 0;
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
