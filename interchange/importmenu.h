#pragma once
// "Import…" in the tiles' popup menu, under "Export…", only in Idle: an open
// dialog for a csTimer or TwistyTimer file, the import on a thread of its own
// with a progress bar whose Cancel writes nothing, then the summary. The
// store reads History.csv again, so that the Progress window and the weak
// draw take in the imported times.

#include "interchange/importreport.h"

#include <QObject>
#include <QString>
#include <atomic>
#include <functional>
#include <memory>

class QAction;
class QProgressDialog;
class QThread;
class QTimer;
class TForm1;

class ImportMenu : public QObject {
    Q_OBJECT
public:
    explicit ImportMenu(TForm1& form);
    ~ImportMenu() override;   // cancels an import in progress and waits for it: nothing half-written

    // The open dialog (empty: the user cancelled); tests put their own
    // choice in its place, and their own reading in read's.
    std::function<QString()> chooseFile;
    ImportReader read = ReadImportFile;

    void Run();
    bool Busy() const { return worker_ != nullptr; }
    // Cancel in the progress bar: the import ends with nothing written.
    void Cancel();

    QAction* menuItem = nullptr;

signals:
    // The import ended: written tells whether History.csv has the solves
    // (or had them all already); the summary or the error was shown.
    void Finished(bool written);

private:
    struct Progress {
        std::atomic<qint64> done{0};
        std::atomic<qint64> total{0};
        std::atomic<bool> cancelled{false};
    };
    QString AskWithDialog();
    void ShowProgress();
    void End(const ImportOutcome& outcome);

    TForm1& form_;
    QThread* worker_ = nullptr;
    QProgressDialog* progressDialog_ = nullptr;
    QTimer* progressTicker_ = nullptr;
    std::shared_ptr<Progress> progress_;
};

// The window is between attempts: nothing timed or counted down, no answer pending.
bool ImportAllowed(const TForm1& form);

// Adds the menu item to the main window.
void InstallImport(TForm1& form);
