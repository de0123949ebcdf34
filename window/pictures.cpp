#include "window/pictures.h"

#include "core/language.h"
#include "resources/resources.h"
#include "platform/atomicfile.h"
#include "core/errors.h"
#include "window/gifcheck.h"
#include "core/seams.h"

#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QImageReader>

namespace {

// Enough for any picture of kMaxPictureSide squared at 32 bits a pixel.
constexpr int kPictureAllocationLimitMb = 128;

// Case pictures are a few kilobytes; anything this large is not one.
constexpr qint64 kMaxPictureFileBytes = 32 * 1024 * 1024;

QString Quoted(const QString& text)
{
    return QLatin1Char('"') + text + QLatin1Char('"');
}

QString EmbeddedPictureName(CaseSet set, int caseNumber)
{
    return (set == CaseSet::OLL ? QStringLiteral("O") : QStringLiteral("P")) + QString::number(caseNumber);
}

// Only regular files: a pipe or a device named *.gif would block the reader.
QByteArray ReadSmallRegularFile(const QString& path)
{
    const QFileInfo info(path);
    if (!info.isFile() || info.size() > kMaxPictureFileBytes)
        return {};
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

bool SizeIsSane(const QSize& size)
{
    // An unknown size is left to the allocation limit.
    if (!size.isValid())
        return true;
    return size.width() <= kMaxPictureSide && size.height() <= kMaxPictureSide;
}

// A link at the name is replaced, not written through. Only a missing
// picture is restored, so a restored one reaches the disk before it counts.
void WriteWholeFile(const QString& path, const QByteArray& bytes)
{
    FileReplacement how;
    how.newFileMode = 0666;
    if (!ReplaceFileAtomically(path, bytes, how))
        throw TesseloError(UnableToWriteText(QDir::toNativeSeparators(path)));
}

} // namespace

QString EasyPicturePath(CaseSet set, int caseNumber)
{
    return QStringLiteral("Images/%1/%2.gif").arg(SetName(set)).arg(caseNumber);
}

QString HardPictureFolder(CaseSet set, bool twoSides, int caseNumber)
{
    QString folder = QStringLiteral("OLL-2");
    if (set == CaseSet::PLL)
        folder = twoSides ? QStringLiteral("PLL-2-sides") : QStringLiteral("PLL-2");
    return QStringLiteral("Images/%1/%2/").arg(folder).arg(caseNumber);
}

QString AnswerPicturePath(bool twoSides, int caseNumber, const QString& fileName)
{
    const QString folder = twoSides ? QStringLiteral("PLL-2-sides") : QStringLiteral("PLL-2");
    return QStringLiteral("Images/%1/Answers/%2/").arg(folder).arg(caseNumber) + fileName;
}

QString QuotedRelativePath(const QString& relativePath)
{
    QString path = relativePath;
    path.replace(QLatin1Char('/'), QLatin1Char('\\'));
    return QLatin1Char('\\') + path;
}

QString PictureMissingText(const QString& relativePath, bool russian, bool doubleBlank)
{
    const QString quoted = Quoted(QuotedRelativePath(relativePath));
    const QString english = doubleBlank ? QStringLiteral("Image  ") : QStringLiteral("Image ");
    return Tr(russian, QStringLiteral("Файл изображения ") + quoted + QStringLiteral(" не найден"),
              english + quoted + QStringLiteral(" not found"));
}

QString PictureUnreadableText(const QString& relativePath, bool russian)
{
    const QString quoted = Quoted(QuotedRelativePath(relativePath));
    return Tr(russian, QStringLiteral("Файл изображения ") + quoted + QStringLiteral(" не удалось прочитать"),
              QStringLiteral("Image ") + quoted + QStringLiteral(" cannot be read"));
}

QString FolderWithoutPicturesText(const QString& fullFolder, bool russian)
{
    const QString quoted = Quoted(FolderForMessage(fullFolder));
    return Tr(russian, QStringLiteral("Файлы изображений в папке ") + quoted + QStringLiteral(" не найдены"),
              QStringLiteral("Images in folder ") + quoted + QStringLiteral(" not found"));
}

QString FolderForMessage(const QString& fullFolder)
{
    QString folder = QDir::toNativeSeparators(fullFolder);
    const QChar separator = QDir::separator();
    if (!folder.endsWith(separator))
        folder += separator;
    return folder;
}

QStringList ListGifFiles(const QString& folder)
{
    const QDir dir(folder);
    if (!dir.exists())
        return {};
    return dir.entryList({QStringLiteral("*.gif")}, QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
}

QImage ReadPictureFile(const QString& path)
{
    const QByteArray bytes = ReadSmallRegularFile(path);
    if (bytes.isEmpty() || (LooksLikeGif(bytes) && !GifStructureIsSound(bytes)))
        return {};
    QImageReader::setAllocationLimit(kPictureAllocationLimitMb);
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    if (!SizeIsSane(reader.size()))
        return {};
    return reader.read();
}

void EnsureEasyPicture(const QString& folder, CaseSet set, int caseNumber)
{
    const QString path = InFolder(folder, EasyPicturePath(set, caseNumber));
    if (QFileInfo::exists(path))
        return;
    const QByteArray picture = EmbeddedResource(EmbeddedPictureName(set, caseNumber));
    if (picture.isEmpty())
        return;   // a build without its pictures: nothing to restore
    if (!QDir().mkpath(QFileInfo(path).absolutePath()))
        throw TesseloError(UnableToWriteText(QDir::toNativeSeparators(path)));
    WriteWholeFile(path, picture);
}
