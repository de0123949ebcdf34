// Start-up: the stopwatch font, the tiles' look, the first-run settings, the
// saved placement, options and colours, the active set with its level and
// records, and the idle trainer.
#include "window/tform1.h"

#include "core/language.h"
#include "app/setrecords.h"
#include "app/stopwatchfont.h"
#include "settings/defaults.h"
#include "settings/settingsfile.h"
#include "settings/setkeys.h"
#include "trainer/drawchoice.h"
#include "window/pictures.h"
#include "window/firstframe.h"
#include "window/windowframe.h"

#include <algorithm>
#include <climits>

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QScreen>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QPointer>
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

constexpr int kLargestStopwatchDigits = 61;

void SetStopwatchFont(TForm1& f, const QFont& font)
{
    f.Label1->setFont(font);
    f.Label3->setFont(font);
}

// The stopwatch panel is hidden in Idle, so its digits are fitted to the
// label just after the first frame, or when the panel is shown before that,
// whichever comes first: the fitting measures the face at six sizes, each a
// font engine of its own, and the first frame has no use for any of them.
class StopwatchFontFitter : public QObject {
public:
    StopwatchFontFitter(TForm1& form, const QString& face) : QObject(form.RzPanel1), form_(form), face_(face)
    {
        form.RzPanel1->installEventFilter(this);
    }

    void Fit()
    {
        if (fitted_)
            return;
        fitted_ = true;
        form_.RzPanel1->removeEventFilter(this);
        SetStopwatchFont(form_, FittedStopwatchFont(face_, kLargestStopwatchDigits, form_.Label1->size()));
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Show)
            Fit();
        return false;
    }

private:
    TForm1& form_;
    const QString face_;
    bool fitted_ = false;
};

void PrepareStopwatch(TForm1& f, const QString& family)
{
    // A face that could not be registered is asked for by the name the panel
    // was drawn for; the system substitutes what it has.
    const QString face = family.isEmpty() ? QStringLiteral("digital-7 Italic") : family;
    QFont unfitted(face);
    unfitted.setPixelSize(kLargestStopwatchDigits);
    SetStopwatchFont(f, unfitted);
    QPointer<StopwatchFontFitter> fitter = new StopwatchFontFitter(f, face);
    AfterFirstFrame(&f, [fitter] {
        if (fitter)
            fitter->Fit();
    });
    f.Label3->setText(QStringLiteral("88,888"));
    f.RzPanel1->hide();
    f.state.answerShown = false;
}

// A Settings.ini that is a link to a file in a folder that does not exist:
// the link is the user's (their settings may live on a drive not mounted
// now), so it is neither replaced nor followed into a folder made for it.
QString LinkWithoutFolderText(const QString& path, const QString& target, bool russian)
{
    return Tr(russian,
              QStringLiteral("%1 — ссылка на %2, но папки этого файла нет. Настройки не будут сохранены, "
                             "пока эта папка не появится.").arg(path, target),
              QStringLiteral("%1 is a link to %2, whose folder does not exist. The settings will not be saved "
                             "until that folder exists.").arg(path, target));
}

// The first run's content; returns false when it could not be written.
bool WriteFirstRunIfMissing(TForm1& f, SettingsFile& file, const QString& systemValue)
{
    if (file.Exists())
        return true;
    f.state.russianInterface = IsRussianLanguageValue(systemValue);
    if (file.IsLinkToMissingFolder()) {
        f.env.messages->ShowError(LinkWithoutFolderText(QDir::toNativeSeparators(file.Path()),
                                                        QDir::toNativeSeparators(file.LinkTarget()),
                                                        f.state.russianInterface));
        return false;
    }
    // Written in one replacement, through a temporary of a name of its own
    // (two first runs never share one): a first run that is killed or fails
    // half-way leaves no Settings.ini, and the next start writes the
    // first-run content again instead of living with a part of it. A link to
    // a missing file gets that file.
    try {
        SettingsFile first(file.Path(), SettingsFile::Commit::AtClose);
        WriteFirstRunContent(first, systemValue);
        first.Close();
        return true;
    } catch (const TesseloError&) {
        f.env.messages->ShowError(UnableToWriteText(file.Path()));
        return false;
    }
}

// The screen the saved bounds are on; bounds on a screen that is gone (or
// on none) open the window at the top-left of the primary screen instead.
const QScreen* ScreenOf(const QRect& outer)
{
    for (const QScreen* screen : QGuiApplication::screens())
        if (screen->availableGeometry().intersects(outer))
            return screen;
    return nullptr;
}

// Hand-edited values may be anything: the window is kept on the available
// screen, with the saved size where it fits (sums in 64 bits, since X plus
// Width may pass the range of an int).
QRect OnAScreen(qint64 x, qint64 y, qint64 width, qint64 height)
{
    const QScreen* primary = QGuiApplication::primaryScreen();
    if (!primary)
        return QRect(int(x), int(y), int(width), int(height));
    const QRect whole = primary->availableGeometry();
    const auto clampedTo = [&](const QRect& area) {
        const qint64 w = std::clamp<qint64>(width, 1, area.width());
        const qint64 h = std::clamp<qint64>(height, 1, area.height());
        return QRect(int(std::clamp<qint64>(x, area.left(), area.left() + area.width() - w)),
                     int(std::clamp<qint64>(y, area.top(), area.top() + area.height() - h)), int(w), int(h));
    };
    const QRect asked(int(std::clamp<qint64>(x, INT_MIN / 2, INT_MAX / 2)), int(std::clamp<qint64>(y, INT_MIN / 2, INT_MAX / 2)),
                      int(std::clamp<qint64>(width, 1, INT_MAX / 2)), int(std::clamp<qint64>(height, 1, INT_MAX / 2)));
    if (const QScreen* screen = ScreenOf(asked))
        return clampedTo(screen->availableGeometry());
    const QRect placed = clampedTo(whole);
    return QRect(whole.topLeft(), placed.size());
}

void ReadPlacement(TForm1& f, const SettingsFile& file)
{
    const QRect outer = OnAScreen(file.ReadInteger(kPosition, QStringLiteral("X"), 0),
                                  file.ReadInteger(kPosition, QStringLiteral("Y"), 0),
                                  file.ReadInteger(kPosition, QStringLiteral("Width"), 800),
                                  file.ReadInteger(kPosition, QStringLiteral("Height"), 644));
    WindowFrame::Of(&f)->SetOuterGeometry(outer);
    if (file.ReadBool(kPosition, QStringLiteral("max"), false))
        f.setWindowState(f.windowState() | Qt::WindowMaximized);
}

void ReadOptions(TForm1& f, const SettingsFile& file, const QString& languageDefault)
{
    f.state.russianInterface = IsRussianLanguageValue(file.ReadString(kSettings, QStringLiteral("Language"), languageDefault));
    f.CheckBox1->setChecked(file.ReadBool(kSettings, QStringLiteral("1-layers"), false));
    f.CheckBox2->setChecked(file.ReadBool(kSettings, QStringLiteral("Scramble"), false));
    f.CheckBoxSplit->setChecked(file.ReadBool(kSettings, QStringLiteral("Split"), false));
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
    f.state.currentSet = ActiveSetIn(file);
    f.state.level = ReadLevel(file, f.state.currentSet);
    ShowLevel(f);
    ClearTrainingDisplay(f);
    ShowTilesOf(f, f.state.currentSet);
    // A picture that cannot be written or read is reported; the records are
    // loaded in full all the same.
    f.Guarded([&] { LoadSetRecords(f, file, f.state.currentSet); });
    SetModeCaptions(f);
}

void EnterIdle(TForm1& f)
{
    f.Label1->setText(QStringLiteral("0"));
    f.state.attemptActive = false;
    f.BitBtn2->setEnabled(false);
    f.BitBtn3->setEnabled(false);
    f.Label2->setEnabled(true);
    if (f.Edit1)   // made later by the program a user starts (TForm1::Making)
        f.Edit1->setEnabled(true);
    f.UpDown1->setEnabled(true);
}

}   // namespace

void TForm1::FormCreate()
{
    QDir(env.files.dataFolder).mkpath(QStringLiteral("Images"));   // a failure is ignored
    state.pictureFiles.clear();
    state.examActive = false;
    // The font's two messages are in Russian only, and so are their buttons;
    // the interface language is read further on.
    state.russianInterface = true;
    const StopwatchFont font = InstallStopwatchFont(env.files.FontFilePath(), *env.messages);
    fontId_ = font.id;
    fontFamily_ = font.family;
    PrepareStopwatch(*this, fontFamily_);
    state.enabledCases.clear();
    state.enabledCount = kOllCases;

    SettingsFile file(SettingsPath(*this));
    const QString systemValue = LanguageValueForSystem(env.systemLanguage ? env.systemLanguage() : QString());
    // Were the first run's content refused, its language still decides.
    const bool written = WriteFirstRunIfMissing(*this, file, systemValue);
    ReadPlacement(*this, file);
    ReadOptions(*this, file, written ? QStringLiteral("ru") : systemValue);
    SetStartupCaptions(*this);
    ReadDrawChoice(*this, file);
    ApplyTuning(*this, file);
    LoadActiveSet(*this, file);
    setWindowTitle(ModeTitle(state.currentSet, state.russianInterface));
    Guarded([this] { RefreshBoard(*this); });
    Guarded([&file] { file.Close(); });
    EnterIdle(*this);
}
