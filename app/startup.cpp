// Start-up: the stopwatch font, the tiles' look, the first-run settings, the
// saved placement, options and colours, the active set with its level and
// records, and the idle trainer.
#include "window/tform1.h"

#include "app/language.h"
#include "app/setrecords.h"
#include "app/stopwatchfont.h"
#include "settings/defaults.h"
#include "settings/settingsfile.h"
#include "trainer/drawchoice.h"
#include "window/windowframe.h"

#include <cstdio>

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QScreen>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>

namespace {

const QString kPosition = QStringLiteral("Position");
const QString kSettings = QStringLiteral("Settings");

void SetTextColour(QWidget* widget, const QColor& colour)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, colour);
    widget->setPalette(palette);
}

void PrepareStopwatch(TForm1& f, const QString& family)
{
    // A face that could not be registered is asked for by the name the panel
    // was drawn for; the system substitutes what it has.
    const QString face = family.isEmpty() ? QStringLiteral("digital-7 Italic") : family;
    const QFont font = FittedStopwatchFont(face, 61, f.Label1->size());
    f.Label1->setFont(font);
    f.Label3->setFont(font);
    f.Label3->setText(QStringLiteral("88,888"));
    f.RzPanel1->hide();
    f.state.answerShown = false;
}

void PrepareTiles(TForm1& f)
{
    for (CaseTile* tile : f.tiles) {
        QPalette palette = tile->palette();
        palette.setColor(QPalette::Window, Qt::white);
        tile->setPalette(palette);
        tile->proll->move(76, 2);
        tile->ioll->move(2, 2);
        tile->bioll->move(2, 2);
        // One picture shared by the 57 veils: none of them ever changes it.
        tile->bioll->SetPicture(f.Image1->Picture());
        for (QLabel* value : {tile->avoll, tile->bvoll, tile->nvoll})
            value->move(110, value->y());
    }
}

// The first run's content; returns false when it could not be written.
bool WriteFirstRunIfMissing(TForm1& f, SettingsFile& file, const QString& systemValue)
{
    if (file.Exists())
        return true;
    f.state.russianInterface = IsRussianLanguageValue(systemValue);
    // Written beside the file and put in its place whole: a first run that is
    // killed or fails half-way leaves no Settings.ini, and the next start
    // writes the first-run content again instead of living with a part of it.
    const QString draft = file.Path() + QStringLiteral(".new");
    try {
        QFile::remove(draft);
        SettingsFile first(draft);
        WriteFirstRunContent(first, systemValue);
        first.Close();
        if (::rename(QFile::encodeName(draft).constData(), QFile::encodeName(file.Path()).constData()) != 0)
            throw TesseloError(UnableToWriteText(file.Path()));
        return true;
    } catch (const TesseloError&) {
        QFile::remove(draft);
        f.env.messages->ShowError(UnableToWriteText(file.Path()));
        return false;
    }
}

// Bounds saved on a screen that is gone would open the window out of reach:
// such a window opens at the top-left of the primary screen instead.
QRect OnAScreen(const QRect& outer)
{
    for (const QScreen* screen : QGuiApplication::screens())
        if (screen->availableGeometry().intersects(outer))
            return outer;
    const QScreen* primary = QGuiApplication::primaryScreen();
    return primary ? QRect(primary->availableGeometry().topLeft(), outer.size()) : outer;
}

void ReadPlacement(TForm1& f, const SettingsFile& file)
{
    const QRect outer(file.ReadInteger(kPosition, QStringLiteral("X"), 0),
                      file.ReadInteger(kPosition, QStringLiteral("Y"), 0),
                      file.ReadInteger(kPosition, QStringLiteral("Width"), 800),
                      file.ReadInteger(kPosition, QStringLiteral("Height"), 644));
    WindowFrame::Of(&f)->SetOuterGeometry(OnAScreen(outer));
    if (file.ReadBool(kPosition, QStringLiteral("max"), false))
        f.setWindowState(f.windowState() | Qt::WindowMaximized);
}

void ReadOptions(TForm1& f, const SettingsFile& file, const QString& languageDefault)
{
    f.state.russianInterface = IsRussianLanguageValue(file.ReadString(kSettings, QStringLiteral("Language"), languageDefault));
    f.CheckBox1->setChecked(file.ReadBool(kSettings, QStringLiteral("1-layers"), false));
    f.state.showExamNotice = file.ReadBool(kSettings, QStringLiteral("Showexamnotice"), true);
    f.state.showStatusBar = file.ReadBool(kSettings, QStringLiteral("ShowStatusBar"), true);
    f.StatusBar1->setVisible(f.state.showStatusBar);
}

// Each colour text that does not convert is reported once, with its own
// text; everything then goes on with that key's default colour, and the text
// itself is kept to be written back unchanged.
void ApplyTuning(TForm1& f, const SettingsFile& file)
{
    using Key = TuningColours::Key;
    f.tuning.Read(file);
    for (int key = 0; key < TuningColours::KeyCount; ++key) {
        try {
            f.tuning.Colour(static_cast<Key>(key));
        } catch (const TesseloError& error) {
            f.env.messages->ShowError(error.text());
        }
    }
    f.RzPanel1->SetFillColour(f.tuning.ColourOrDefault(Key::TimerBack));
    SetTextColour(f.Label3, f.tuning.ColourOrDefault(Key::TimerOffDigits));
    SetTextColour(f.Label1, f.tuning.ColourOrDefault(Key::TimerOnDigits));
}

Level ReadLevel(const SettingsFile& file, CaseSet set)
{
    const QString key = set == CaseSet::OLL ? QStringLiteral("omode") : QStringLiteral("pmode");
    return file.ReadBool(kSettings, key, false) ? Level::Hard : Level::Easy;
}

void LoadActiveSet(TForm1& f, SettingsFile& file)
{
    const bool oll = file.ReadString(kSettings, QStringLiteral("mode"), QStringLiteral("OLL")) == QLatin1String("OLL");
    f.state.currentSet = oll ? CaseSet::OLL : CaseSet::PLL;
    f.state.level = ReadLevel(file, f.state.currentSet);
    f.ShowLevel();
    f.ClearTrainingDisplay();
    ShowTilesOf(f, f.state.currentSet);
    // A picture that cannot be written or read is reported; the records are
    // loaded in full all the same.
    f.Guarded([&] { f.LoadSetRecords(file, f.state.currentSet); });
    f.SetModeCaptions();
}

void EnterIdle(TForm1& f)
{
    f.Label1->setText(QStringLiteral("0"));
    f.state.attemptActive = false;
    f.BitBtn2->setEnabled(false);
    f.BitBtn3->setEnabled(false);
    f.Label2->setEnabled(true);
    f.Edit1->setEnabled(true);
    f.UpDown1->setEnabled(true);
}

}   // namespace

void TForm1::FormCreate()
{
    QDir(env.programFolder).mkpath(QStringLiteral("Images"));   // a failure is ignored
    state.pictureFiles.clear();
    state.examActive = false;
    // The font's two messages are in Russian only, and so are their buttons;
    // the interface language is read further on.
    state.russianInterface = true;
    const StopwatchFont font = InstallStopwatchFont(env.programFolder, *env.messages);
    fontId_ = font.id;
    fontFamily_ = font.family;
    PrepareStopwatch(*this, fontFamily_);
    PrepareTiles(*this);
    state.enabledCases.clear();
    state.enabledCount = kOllCases;

    SettingsFile file(SettingsPath());
    const QString systemValue = LanguageValueForSystem(env.systemLanguage ? env.systemLanguage() : QString());
    // Were the first run's content refused, its language still decides.
    const bool written = WriteFirstRunIfMissing(*this, file, systemValue);
    ReadPlacement(*this, file);
    ReadOptions(*this, file, written ? QStringLiteral("ru") : systemValue);
    SetStartupCaptions();
    ReadDrawChoice(*this, file);
    ApplyTuning(*this, file);
    LoadActiveSet(*this, file);
    setWindowTitle(ModeTitle(state.currentSet, state.russianInterface));
    Guarded([this] { RefreshBoard(); });
    Guarded([&file] { file.Close(); });
    EnterIdle(*this);
}
