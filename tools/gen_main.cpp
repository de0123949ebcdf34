// tesselo_gen: draws what the build embeds in the program and the Hard
// picture library that goes beside it.
//
//   tesselo_gen [--resources DIR] [--library DIR] [--sheets DIR]
//     --resources  the Easy pictures O1..O57, P1..P21 (GIF), MyWav.bmp,
//                  GlyphBin.png, GlyphCursor.png and Icon.png (and the
//                  icon at the theme sizes, icon-<size>.png, for the package)
//     --library    the Hard library below an Images folder (OLL-2, PLL-2,
//                  PLL-2-sides); the user's own files there are left alone
//     --sheets     contact sheets easy.png and hard.png to look the pictures over
//     --cases      the case table (resources/cases.csv): the sheets name each case

#include "tools/atlas.h"
#include "tools/casetable.h"
#include "tools/contactsheet.h"
#include "tools/gifwrite.h"
#include "tools/managedfolder.h"
#include "tools/pictures.h"
#include "tools/render.h"

#include <QBuffer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <stdexcept>

namespace {

constexpr int kThemeIconSizes[] = {16, 24, 32, 48, 64, 128, 256};

struct Options {
    QString resources, library, sheets, cases;
};

[[noreturn]] void Fail(const QString& message)
{
    std::fprintf(stderr, "tesselo_gen: %s\n", qPrintable(message));
    std::exit(1);
}

Options ParseOptions(int argc, char** argv)
{
    Options options;
    for (int i = 1; i < argc; ++i) {
        const QString option = QString::fromLocal8Bit(argv[i]);
        if (i + 1 >= argc)
            Fail(QStringLiteral("%1 needs a folder").arg(option));
        const QString folder = QDir(QString::fromLocal8Bit(argv[++i])).absolutePath();
        if (option == QLatin1String("--resources"))
            options.resources = folder;
        else if (option == QLatin1String("--library"))
            options.library = folder;
        else if (option == QLatin1String("--sheets"))
            options.sheets = folder;
        else if (option == QLatin1String("--cases"))
            options.cases = folder;   // a file, made absolute the same way
        else
            Fail(QStringLiteral("unknown option %1").arg(option));
    }
    if (options.resources.isEmpty() && options.library.isEmpty() && options.sheets.isEmpty())
        Fail(QStringLiteral("usage: tesselo_gen [--resources DIR] [--library DIR] [--sheets DIR [--cases FILE]]"));
    return options;
}

QByteArray Gif(const QString& name, const QImage& image)
{
    QString error;
    const QByteArray bytes = EncodeGif(image, &error);
    if (bytes.isEmpty())
        Fail(QStringLiteral("%1: %2").arg(name, error));
    return bytes;
}

QByteArray Png(const QString& name, const QImage& image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "PNG"))
        Fail(QStringLiteral("%1: cannot encode as PNG").arg(name));
    return bytes;
}

void WriteFile(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        Fail(QStringLiteral("cannot write %1").arg(path));
}

int WriteResources(const QString& folder)
{
    int count = 0;
    MakeEasyPictures([&](const QString& name, const QImage& image) {
        WriteFile(folder + QLatin1Char('/') + name + QStringLiteral(".gif"), Gif(name, image));
        ++count;
    });
    const std::vector<std::uint8_t> atlas = atlas::MakeAtlasBmp(atlas::AtlasCube());
    WriteFile(folder + QStringLiteral("/MyWav.bmp"),
              QByteArray(reinterpret_cast<const char*>(atlas.data()), qsizetype(atlas.size())));
    WriteFile(folder + QStringLiteral("/GlyphBin.png"), Png(QStringLiteral("GlyphBin"), render::BinGlyph()));
    WriteFile(folder + QStringLiteral("/GlyphCursor.png"), Png(QStringLiteral("GlyphCursor"), render::CursorGlyph()));
    WriteFile(folder + QStringLiteral("/Icon.png"), Png(QStringLiteral("Icon"), render::Icon(128)));
    // The icon drawn at each size of the desktop's icon theme, for the package.
    for (int size : kThemeIconSizes)
        WriteFile(folder + QStringLiteral("/icon-%1.png").arg(size), Png(QStringLiteral("icon"), render::Icon(size)));
    return count + 4;
}

QString WriteLibrary(const QString& folder)
{
    ManagedFolder images(folder, {QStringLiteral("OLL-2"), QStringLiteral("PLL-2"), QStringLiteral("PLL-2-sides")});
    MakeHardLibrary([&](const QString& path, const QImage& image) { images.put(path, Gif(path, image)); });
    if (!images.finish())
        Fail(images.errors().join(QStringLiteral("; ")));
    using O = ManagedFolder::Outcome;
    return QStringLiteral("%1 Hard pictures (%2 written, %3 unchanged, %4 of the user's kept)")
        .arg(images.count(O::Written) + images.count(O::Unchanged) + images.count(O::KeptUsersFile))
        .arg(images.count(O::Written))
        .arg(images.count(O::Unchanged))
        .arg(images.count(O::KeptUsersFile));
}

// "OLL 27 Sune" or "PLL Ub" by the program's set and number; empty without a table.
using CaseNames = std::map<std::pair<cube::HintSet, int>, QString>;

CaseNames ReadCaseNames(const QString& path)
{
    CaseNames names;
    if (path.isEmpty())
        return names;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        Fail(QStringLiteral("cannot read %1").arg(path));
    for (const cube::CaseIdentityRow& row : cube::ParseCaseTableCsv(file.readAll().toStdString())) {
        const bool oll = row.set == cube::HintSet::Oll;
        names[{row.set, row.caseNumber}] = oll ? QStringLiteral("OLL %1 %2").arg(QString::fromStdString(row.standard),
                                                                               QString::fromStdString(row.name))
                                               : QStringLiteral("PLL ") + QString::fromStdString(row.name);
    }
    return names;
}

QString CaseName(const CaseNames& names, cube::HintSet set, int caseNumber)
{
    const auto found = names.find({set, caseNumber});
    return found == names.end() ? QString() : found->second;
}

void WriteSheets(const QString& folder, const CaseNames& names)
{
    std::vector<LabelledPicture> easy;
    MakeEasyPictures([&](const QString& name, const QImage& image) {
        const cube::HintSet set = name.startsWith(QLatin1Char('O')) ? cube::HintSet::Oll : cube::HintSet::Pll;
        easy.push_back({name, image, name == QLatin1String("P1"), CaseName(names, set, name.mid(1).toInt())});
    });
    WriteFile(folder + QStringLiteral("/easy.png"), Png(QStringLiteral("easy sheet"), ContactSheet(easy, 10, 144)));

    std::vector<LabelledPicture> hard;
    auto add = [&](cube::HintSet set, int caseNumber) {
        bool first = true;
        MakeHardCase(set, caseNumber, [&](const QString& path, const QImage& image) {
            // "PLL-2-sides/Answers/3/2.gif" -> "P3-SA2"
            const QString tag = QString(path.contains(QLatin1String("sides")) ? "S" : "")
                + QString(path.contains(QLatin1String("Answers")) ? "A" : "");
            const QString label = QStringLiteral("%1%2-%3%4")
                                      .arg(set == cube::HintSet::Oll ? "O" : "P")
                                      .arg(caseNumber)
                                      .arg(tag, QFileInfo(path).baseName());
            hard.push_back({label, image, first, CaseName(names, set, caseNumber)});
            first = false;
        });
    };
    for (int n : {1, 15, 28, 45, 54})
        add(cube::HintSet::Oll, n);
    for (int n : {3, 9, 14, 18, 19})
        add(cube::HintSet::Pll, n);
    WriteFile(folder + QStringLiteral("/hard.png"), Png(QStringLiteral("hard sheet"), ContactSheet(hard, 16, 120)));
}

}  // namespace

int main(int argc, char** argv)
{
    const Options options = ParseOptions(argc, argv);
    QElapsedTimer timer;
    timer.start();
    QStringList done;
    try {
        if (!options.resources.isEmpty())
            done << QStringLiteral("%1 embedded resources").arg(WriteResources(options.resources));
        if (!options.library.isEmpty())
            done << WriteLibrary(options.library);
        if (!options.sheets.isEmpty()) {
            WriteSheets(options.sheets, ReadCaseNames(options.cases));
            done << QStringLiteral("contact sheets");
        }
    } catch (const std::exception& e) {
        Fail(QString::fromUtf8(e.what()));
    }
    std::printf("tesselo_gen: %s in %lld ms\n", qPrintable(done.join(QStringLiteral(", "))), timer.elapsed());
    return 0;
}
