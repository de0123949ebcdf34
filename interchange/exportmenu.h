#pragma once
// "Export…" in the tiles' popup menu, under "Progress…": a save dialog whose
// file type chooses csTimer or TwistyTimer, then the export on a thread of
// its own (a long history does not freeze the window), then what was written
// and how to import it in the other timer.

#include "interchange/exportfile.h"

#include <QObject>
#include <QString>
#include <functional>

class QAction;
class QThread;
class TForm1;

class ExportMenu : public QObject {
    Q_OBJECT
public:
    explicit ExportMenu(TForm1& form);
    ~ExportMenu() override;   // waits for an export in progress: the file is written whole

    struct Target {
        QString path;   // empty: the user cancelled
        ExportFormat format = ExportFormat::CsTimer;
    };
    // The save dialog; tests put their own choice in its place.
    std::function<Target()> chooseTarget;

    void Run();
    bool Busy() const { return worker_ != nullptr; }

    QAction* menuItem = nullptr;

signals:
    // The export ended: the message was shown.
    void Finished(bool written);

private:
    Target AskWithDialog();
    void Report(const ExportOutcome& outcome, const Target& target, int unwritten);

    TForm1& form_;
    QThread* worker_ = nullptr;   // the export in progress; deletes itself when done
};

// Which import of the other timer to use (for csTimer, the one that keeps
// the user's own sessions): below the save dialog's file type, and after the export.
QString ImportHint(ExportFormat format, bool russian);
// The text shown after a written export: what went where and, for csTimer,
// which of its import commands keeps the user's own sessions.
QString ExportDoneText(ExportFormat format, const QString& report, bool russian);

// Adds the menu item to the main window.
void InstallExport(TForm1& form);
