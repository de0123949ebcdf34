#pragma once
// The case pictures: where they live under the program folder, how they are
// read, the built-in Easy pictures, and the messages about missing ones.
//
// Relative paths are kept with forward slashes for the file system; the
// messages quote them with backslashes, beginning with a backslash
// ("\Images\OLL\5.gif"), whatever the platform.

#include "core/catalogue.h"

#include <QImage>
#include <QString>
#include <QStringList>

// Pictures larger than this on either side are refused before decoding.
constexpr int kMaxPictureSide = 4096;

// "Images/OLL/5.gif" or "Images/PLL/5.gif".
QString EasyPicturePath(CaseSet set, int caseNumber);

// The Hard question folder of a case, ending with a slash:
// "Images/OLL-2/5/", "Images/PLL-2/5/" or "Images/PLL-2-sides/5/".
QString HardPictureFolder(CaseSet set, bool twoSides, int caseNumber);

// The answer of a PLL Hard question picture:
// "Images/PLL-2/Answers/5/<file>" or "Images/PLL-2-sides/Answers/5/<file>".
QString AnswerPicturePath(bool twoSides, int caseNumber, const QString& fileName);

// "Images/OLL/5.gif" -> "\Images\OLL\5.gif", as the messages quote it.
QString QuotedRelativePath(const QString& relativePath);

// "Image "<path>" not found" / "Файл изображения "<path>" не найден".
// doubleBlank puts two blanks after "Image" (the English text of a missing
// PLL Easy picture at the draw outside an exam).
QString PictureMissingText(const QString& relativePath, bool russian, bool doubleBlank = false);

// An answer picture that exists but cannot be decoded.
QString PictureUnreadableText(const QString& relativePath, bool russian);

// "Images in folder "<folder>" not found" with the full folder path.
QString FolderWithoutPicturesText(const QString& fullFolder, bool russian);

// The full path of a folder in the platform's notation, ending with a separator.
QString FolderForMessage(const QString& fullFolder);

// The *.gif files of a folder (not directories, hidden ones included),
// sorted by name so that the order does not depend on the file system.
QStringList ListGifFiles(const QString& folder);

// Reads a picture file, refusing absurd sizes before anything is allocated.
// A null image when the file is missing, too large or does not decode.
QImage ReadPictureFile(const QString& path);

// Writes the built-in Easy picture of a case to Images/OLL/<n>.gif or
// Images/PLL/<n>.gif under the program folder when that file is missing,
// creating the folder. Throws TesseloError("Unable to write to <path>").
void EnsureEasyPicture(const QString& folder, CaseSet set, int caseNumber);
