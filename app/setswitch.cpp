// The case-set switch: the left set's records go to Settings.ini, the other
// set's come from it, with each set's level and the check box of PLL.
#include "window/tform1.h"

#include "app/setrecords.h"
#include "settings/settingsfile.h"

#include <QCheckBox>
#include <QLabel>
#include <QScrollArea>
#include <QTimer>
#include <optional>

namespace {

const QString kSettings = QStringLiteral("Settings");

void ClearTrainingColumn(TForm1& f)
{
    f.RzPanel1->hide();
    f.res->hide();
    f.Label1->setText(QStringLiteral("0"));
    f.Image1->ClearPicture();
    f.Timer1->stop();
    f.Timer2->stop();
}

// How far a switch got: once the tiles hold the other set, a failure must
// bring the left set back from the file, which by then holds all of it (its
// writes are read back even when replacing the file was refused). The level
// and the check box are put back as they were.
struct SwitchProgress {
    bool tilesReplaced = false;
    Level level = Level::Easy;
    bool oneLayerChecked = false;
};

void SwitchToOll(TForm1& f, SettingsFile& file, SwitchProgress& progress)
{
    SaveSetRecords(f, file, CaseSet::PLL);
    ShowTilesOf(f, CaseSet::OLL);
    progress.tilesReplaced = true;
    LoadSetRecords(f, file, CaseSet::OLL);
    SetModeCaptions(f);
    file.WriteBool(kSettings, QStringLiteral("1-layers"), f.CheckBox1->isChecked());
    file.WriteBool(kSettings, QStringLiteral("pmode"), f.state.level == Level::Hard);
    f.state.level = file.ReadBool(kSettings, QStringLiteral("omode"), false) ? Level::Hard : Level::Easy;
}

void SwitchToPll(TForm1& f, SettingsFile& file, SwitchProgress& progress)
{
    SaveSetRecords(f, file, CaseSet::OLL);
    ShowTilesOf(f, CaseSet::PLL);
    progress.tilesReplaced = true;
    LoadSetRecords(f, file, CaseSet::PLL);
    SetModeCaptions(f);
    file.WriteBool(kSettings, QStringLiteral("omode"), f.state.level == Level::Hard);
    f.state.level = file.ReadBool(kSettings, QStringLiteral("pmode"), false) ? Level::Hard : Level::Easy;
    f.CheckBox1->setChecked(file.ReadBool(kSettings, QStringLiteral("1-layers"), false));
}

// Back in the set the switch started from, as the file holds it.
void StayInSet(TForm1& f, SettingsFile& file, CaseSet set, const SwitchProgress& progress)
{
    f.state.currentSet = set;
    f.state.level = progress.level;
    f.CheckBox1->setChecked(progress.oneLayerChecked);
    if (progress.tilesReplaced) {
        ShowTilesOf(f, set);
        try {
            LoadSetRecords(f, file, set);
        } catch (const TesseloError&) {
            // A picture of the left set failing again: its records are loaded
            // in full, and the switch's own failure is the one reported.
        }
    }
    SetModeCaptions(f);
}

}   // namespace

void TForm1::BitBtn6Click()
{
    ClearTrainingColumn(*this);
    ScrollBox1->setUpdatesEnabled(false);
    const CaseSet from = state.currentSet;
    std::optional<QString> failure;
    {
        // The switch's writes replace the file once, when it is closed.
        SettingsFile file(SettingsPath(*this), SettingsFile::Commit::AtClose);
        SwitchProgress progress{false, state.level, CheckBox1->isChecked()};
        try {
            file.CheckWritable();   // a refused file stops the switch before it begins
            if (from == CaseSet::PLL)
                SwitchToOll(*this, file, progress);
            else
                SwitchToPll(*this, file, progress);
            file.Close();
        } catch (const TesseloError& error) {
            const auto* busy = dynamic_cast<const SettingsBusyError*>(&error);
            failure = busy ? busy->Text(state.russianInterface) : error.text();
            StayInSet(*this, file, from, progress);
            // What was written before the failure still goes to the file;
            // the first failure is the one reported. Another program keeping
            // the file's lock was waited for once: it is not waited for again.
            try {
                file.Close();
            } catch (const TesseloError&) {
            }
        }
    }
    ShowLevel(*this);
    ClearTrainingDisplay(*this);
    ScrollBox1->setUpdatesEnabled(true);
    Guarded([this] { RefreshBoard(*this); });
    LayOutWindow(*this);
    if (failure)
        env.messages->ShowError(*failure);
}
