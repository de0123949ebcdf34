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

// Restores a missing built-in picture, then shows the file on the tile
// (kept decoded for a tile not made yet). A build without its pictures
// leaves the thumbnail empty.
void LoadThumbnail(TForm1& f, CaseSet set, int n)
{
    EnsureEasyPicture(f.env.files.dataFolder, set, n);
    const QString relative = EasyPicturePath(set, n);
    const QString path = f.env.files.FindPicture(relative);
    CaseTile* tile = f.MadeTile(n);
    if (tile)
        tile->ioll->ClearPicture();
    if (!QFileInfo::exists(path))
        return;
    const QImage picture = f.thumbnails.Picture(path);
    if (picture.isNull())
        throw TesseloError(PictureUnreadableText(relative, f.state.russianInterface));
    if (tile)
        tile->ioll->SetPicture(picture);
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
    form.tilesShown = CaseCount(set);
    for (CaseTile* tile : form.tiles) {
        if (tile)
            tile->setVisible(tile->CaseNumber() <= form.tilesShown);
    }
}

void ShowRecordOnTile(TForm1& form, int caseNumber)
{
    CaseTile* tile = form.MadeTile(caseNumber);
    if (!tile)
        return;
    const CaseRecord& record = form.session.Record(caseNumber);
    tile->avoll->setText(record.AverageText());
    tile->bvoll->setText(record.BestText());
    tile->nvoll->setText(record.CountText());
}

void ShowEnabledOnTile(TForm1& form, int caseNumber)
{
    CaseTile* tile = form.MadeTile(caseNumber);
    if (!tile)
        return;
    tile->caseEnabled = form.session.CaseEnabled(caseNumber);
    ApplyTileStyle(form, caseNumber, tile->caseEnabled);
}

void ShowSessionOnTile(TForm1& form, int caseNumber)
{
    const CaseSet set = form.state.currentSet;
    if (caseNumber > CaseCount(set))
        return;   // hidden; the tiles of the other set's cases are filled at a switch
    // A picture that does not read was reported when the set was loaded.
    try {
        LoadThumbnail(form, set, caseNumber);
    } catch (const TesseloError&) {
    }
    ShowRecordOnTile(form, caseNumber);
    ShowEnabledOnTile(form, caseNumber);
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
        form.hints[n - 1] = file.ReadString(keys.hintSection, Numbered(QStringLiteral("hint"), n), QString());
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
