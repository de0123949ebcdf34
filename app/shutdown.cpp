// Shut-down: the settings and the active set's records written back, the
// stopwatch font released.
#include "window/tform1.h"

#include "core/language.h"
#include "app/stopwatchfont.h"
#include "window/progresshub.h"
#include "settings/defaults.h"
#include "settings/settingsfile.h"
#include "trainer/drawchoice.h"
#include "window/tileareaevents.h"
#include "window/windowframe.h"

#include <QCheckBox>
#include <QLabel>
#include <QCloseEvent>

#include <cstdio>

namespace {

const QString kPosition = QStringLiteral("Position");
const QString kSettings = QStringLiteral("Settings");

void WritePlacement(TForm1& f, SettingsFile& file)
{
    // A maximised window is remembered with the bounds of its normal state.
    file.WriteBool(kPosition, QStringLiteral("max"), f.isMaximized());
    const QRect outer = WindowFrame::Of(&f)->NormalOuterGeometry();
    file.WriteInteger(kPosition, QStringLiteral("X"), outer.x());
    file.WriteInteger(kPosition, QStringLiteral("Y"), outer.y());
    file.WriteInteger(kPosition, QStringLiteral("Width"), outer.width());
    file.WriteInteger(kPosition, QStringLiteral("Height"), outer.height());
}

void WriteShutdownSettings(TForm1& f, SettingsFile& file)
{
    WritePlacement(f, file);
    file.WriteBool(kSettings, QStringLiteral("showexamnotice"), f.state.showExamNotice);
    file.WriteBool(kSettings, QStringLiteral("ShowStatusBar"), f.state.showStatusBar);
    f.tuning.Write(file);
    file.WriteString(kSettings, QStringLiteral("mode"), SetName(f.state.currentSet));
    file.WriteBool(kSettings, QStringLiteral("1-layers"), f.CheckBox1->isChecked());
    file.WriteBool(kSettings, QStringLiteral("Scramble"), f.CheckBox2->isChecked());
    file.WriteBool(kSettings, QStringLiteral("Split"), f.CheckBoxSplit->isChecked());
    WriteDrawChoice(f, file);
    const bool oll = f.state.currentSet == CaseSet::OLL;
    file.WriteBool(kSettings, oll ? QStringLiteral("omode") : QStringLiteral("pmode"), f.state.level == Level::Hard);
    SaveSetRecords(f, file, f.state.currentSet);
}

// Asked after a refused write: Yes ends the program without the rest of the
// settings, No (the default: it loses nothing) keeps the window open so that
// closing it again retries.
bool CloseWithoutSaving(TForm1& f)
{
    return f.env.messages->AskDefaultNo(QStringLiteral("Tesselo"),
                               Tr(f.state.russianInterface,
                                  QStringLiteral("Настройки не сохранены. Закрыть программу без сохранения?"),
                                  QStringLiteral("The settings were not saved. Close the program without saving?")));
}

// Times History.csv has not taken yet get one more try; the number still
// waiting after it.
int UnwrittenAfterLastTry(TForm1& f)
{
    if (!f.progress)
        return 0;
    HistoryStore& store = f.progress->Store();
    store.RetryPending();
    return store.PendingCount();
}

QString NotWrittenText(int count)
{
    return count == 1 ? QStringLiteral("1 time could not be written to History.csv")
                      : QStringLiteral("%1 times could not be written to History.csv").arg(count);
}

QString UnwrittenTimesQuestion(bool russian, int count)
{
    if (russian)
        return QStringLiteral("Не записано в History.csv: %1. Закрыть программу? Незаписанное будет потеряно.")
            .arg(count);
    return NotWrittenText(count) + QStringLiteral(" and will be lost. Close anyway?");
}

// Asked while times still wait for History.csv: Yes ends the program
// without them, No (the default: it loses nothing) keeps the window open so
// that the disk can be freed, or the copy holding the file closed, and
// closing again retries.
bool CloseWithoutUnwrittenTimes(TForm1& f)
{
    const int unwritten = UnwrittenAfterLastTry(f);
    return unwritten == 0
        || f.env.messages->AskDefaultNo(QStringLiteral("Tesselo"),
                                        UnwrittenTimesQuestion(f.state.russianInterface, unwritten));
}

// Nobody answers at the session's end: what is lost goes to the standard error.
bool HistoryWrittenUnasked(TForm1& f)
{
    const int unwritten = UnwrittenAfterLastTry(f);
    if (unwritten > 0)
        std::fprintf(stderr, "%s\n", qPrintable(NotWrittenText(unwritten)));
    return unwritten == 0;
}

// Nobody answers a message box while the session ends: a refused write goes
// to the standard error.
bool WriteUnasked(TForm1& f)
{
    try {
        SettingsFile file(SettingsPath(f), SettingsFile::Commit::AtClose);
        WriteShutdownSettings(f, file);
        file.Close();
        return true;
    } catch (const TesseloError& error) {
        std::fprintf(stderr, "%s\n", qPrintable(error.text()));
        return false;
    }
}

}   // namespace

// The writes come first and the releases after them, each release once: a
// window kept open after a refused write still has its stopwatch font, and a
// second close releases nothing twice.
void TForm1::FormClose()
{
    if (closed_)
        return;
    if (!CloseWithoutUnwrittenTimes(*this))
        return;
    // The shut-down's writes replace the file once, when it is closed.
    SettingsFile file(SettingsPath(*this), SettingsFile::Commit::AtClose);
    try {
        WriteShutdownSettings(*this, file);
        file.Close();
    } catch (const TesseloError& error) {
        env.messages->ShowError(error.text());
        if (!CloseWithoutSaving(*this))
            return;
    }
    ReleaseAtShutdown(*this);
}

bool ShutDownUnasked(TForm1& form)
{
    if (form.closed_)
        return true;
    const bool historyWritten = HistoryWrittenUnasked(form);
    const bool saved = WriteUnasked(form);
    ReleaseAtShutdown(form);
    return saved && historyWritten;
}

// The program may go on (a logout can be cancelled): the font and the lists
// stay, and the shut-down that follows writes the file again, asking as
// usual if that is refused; the session's end itself shuts down unasked
// (app/sessionend.cpp).
void SaveForSessionEnd(TForm1& form)
{
    if (form.closed_)
        return;
    HistoryWrittenUnasked(form);
    WriteUnasked(form);
}

// Settings read half-way through a start-up are not written back.
void EndWithoutSaving(TForm1& form)
{
    if (!form.closed_)
        ReleaseAtShutdown(form);
}

// The window's run ends: its pictures and its font are given back.
void ReleaseAtShutdown(TForm1& form)
{
    form.closed_ = true;
    form.state.pictureFiles.clear();
    StopwatchFont font{form.fontId_, form.fontFamily_};
    ReleaseStopwatchFont(form.env.files.FontFilePath(), font);
    form.fontId_ = font.id;
    form.state.enabledCases.clear();
}

void TForm1::closeEvent(QCloseEvent* event)
{
    FormClose();
    if (closed_)
        event->accept();
    else
        event->ignore();
}

// A window destroyed without being closed still gives its font registration
// back. The watchers go first, before the controls they watch: a control's
// destruction sends them events they would answer from a window already gone.
TForm1::~TForm1()
{
    delete findChild<TileAreaEvents*>(QString(), Qt::FindDirectChildrenOnly);
    delete AnotherScramble;
    AnotherScramble = nullptr;
    delete findChild<QLabel*>(QStringLiteral("CaseName"), Qt::FindDirectChildrenOnly);
    if (fontId_ >= 0) {
        StopwatchFont font{fontId_, fontFamily_};
        ReleaseStopwatchFont(env.files.FontFilePath(), font);
    }
}
