// Moving one set's flags, hints and results between Settings.ini, the session
// and the tiles.
#include "window/tform1.h"

#include "app/setrecords.h"
#include "settings/settingsfile.h"
#include "window/pictures.h"
#include "core/timetext.h"

#include <QFileInfo>
#include <QLabel>
#include <optional>

namespace {

const QString kSettings = QStringLiteral("Settings");
const QString kResults = QStringLiteral("Results");

QString Numbered(const QString& key, int n) { return key + QString::number(n); }

// Restores a missing built-in picture, then shows the file on the tile. A
// build without its pictures leaves the thumbnail empty.
void LoadThumbnail(TForm1& f, CaseSet set, int n)
{
    EnsureEasyPicture(f.env.files.dataFolder, set, n);
    const QString relative = EasyPicturePath(set, n);
    const QString path = f.env.files.FindPicture(relative);
    PictureBox* thumbnail = f.Tile(n)->ioll;
    thumbnail->ClearPicture();
    if (!QFileInfo::exists(path))
        return;
    const QImage picture = f.thumbnails.Picture(path);
    if (picture.isNull())
        throw TesseloError(PictureUnreadableText(relative, f.state.russianInterface));
    thumbnail->SetPicture(picture);
}

std::vector<TrainingSession::StoredCase> ReadStoredSet(SettingsFile& file, CaseSet set)
{
    const SetKeys keys = SetKeys::Of(set);
    std::vector<TrainingSession::StoredCase> cases;
    for (int n = 1; n <= CaseCount(set); ++n) {
        const bool enabled = file.ReadInteger(kSettings, Numbered(keys.enabled, n), 0) != 1;
        cases.push_back({enabled, CaseRecord::FromTexts(file.ReadString(kResults, Numbered(keys.average, n), ZeroTimeText()),
                                                        file.ReadString(kResults, Numbered(keys.best, n), ZeroTimeText()),
                                                        file.ReadString(kResults, Numbered(keys.count, n), QStringLiteral("0")))});
    }
    return cases;
}

}   // namespace

void ShowTilesOf(TForm1& form, CaseSet set)
{
    const int shown = CaseCount(set);
    for (CaseTile* tile : form.tiles)
        tile->setVisible(tile->CaseNumber() <= shown);
}

// Every record is loaded even when a picture fails; the first picture error
// is raised once the set is complete, so the tiles never hold half a set.
void LoadSetRecords(TForm1& form, SettingsFile& file, CaseSet set)
{
    const SetKeys keys = SetKeys::Of(set);
    std::optional<QString> pictureError;
    for (int n = 1; n <= CaseCount(set); ++n) {
        try {
            LoadThumbnail(form, set, n);
        } catch (const TesseloError& error) {
            if (!pictureError)
                pictureError = error.text();
        }
        form.Tile(n)->hint = file.ReadString(keys.hintSection, Numbered(QStringLiteral("hint"), n), QString());
    }
    form.session.SwitchSet(set, ReadStoredSet(file, set));
    if (pictureError)
        throw TesseloError(*pictureError);
}

namespace {

// Every write rewrites the whole file: a value the file already holds is not
// written again, so a switch after a few attempts writes a handful of
// entries instead of all of them. (No value holds a line end, so the default
// tells a missing entry from any value.)
void WriteIfChanged(SettingsFile& file, const QString& section, const QString& key, const QString& value)
{
    if (file.ReadString(section, key, QStringLiteral("\n")) != value)
        file.WriteString(section, key, value);
}

}   // namespace

void SaveSetRecords(const TForm1& form, SettingsFile& file, CaseSet set)
{
    const SetKeys keys = SetKeys::Of(set);
    const std::vector<TrainingSession::StoredCase> cases = form.session.StoredSet(set);
    for (int n = 1; n <= CaseCount(set); ++n) {
        const TrainingSession::StoredCase& stored = cases[static_cast<size_t>(n - 1)];
        WriteIfChanged(file, kSettings, Numbered(keys.enabled, n), QString::number(stored.enabled ? 0 : 1));
        WriteIfChanged(file, kResults, Numbered(keys.average, n), stored.record.AverageText());
        WriteIfChanged(file, kResults, Numbered(keys.best, n), stored.record.BestText());
        WriteIfChanged(file, kResults, Numbered(keys.count, n), stored.record.CountText());
    }
}
