#include "interchange/importmenu.h"

#include "core/language.h"
#include "interchange/interchangeplaces.h"
#include "window/progresshub.h"
#include "window/tform1.h"

#include <QAction>
#include <QApplication>
#include <QFileDialog>
#include <QMenu>
#include <QProgressDialog>
#include <QThread>
#include <QTimer>

namespace {

constexpr int kProgressSteps = 1000;
constexpr int kProgressTickMs = 100;
// A file read quicker than this shows no progress bar at all.
constexpr int kProgressDelayMs = 500;

} // namespace

bool ImportAllowed(const TForm1& form)
{
    return !form.state.attemptActive && !form.Timer1->isActive() && !form.Timer2->isActive();
}

ImportMenu::ImportMenu(TForm1& form) : QObject(&form), form_(form)
{
    setObjectName(QStringLiteral("ImportMenu"));
    chooseFile = [this] { return AskWithDialog(); };
    menuItem = form.PopupMenu1->addAction(Tr(form.state.russianInterface, QStringLiteral("Импорт…"),
                                             QStringLiteral("Import…")));
    menuItem->setObjectName(QStringLiteral("importItem"));
    connect(menuItem, &QAction::triggered, this, &ImportMenu::Run);
    connect(form.PopupMenu1, &QMenu::aboutToShow, this,
            [this] { menuItem->setEnabled(!worker_ && ImportAllowed(form_)); });
}

ImportMenu::~ImportMenu()
{
    if (worker_) {
        progress_->cancelled = true;
        worker_->wait();
        delete worker_;
    }
}

QString ImportMenu::AskWithDialog()
{
    const bool russian = form_.state.russianInterface;
    return QFileDialog::getOpenFileName(
        &form_, Tr(russian, QStringLiteral("Импорт времён из csTimer или TwistyTimer"),
                   QStringLiteral("Import times from csTimer or TwistyTimer")),
        DialogStartFolder(),
        Tr(russian, QStringLiteral("Файлы csTimer и TwistyTimer (*.json *.txt *.csv);;Все файлы (*)"),
           QStringLiteral("csTimer and TwistyTimer files (*.json *.txt *.csv);;All files (*)")));
}

void ImportMenu::Run()
{
    if (worker_ || !ImportAllowed(form_))
        return;
    const QString file = chooseFile();
    if (file.isEmpty())
        return;
    // Times still waiting for History.csv go in first, so they are sorted among the imported.
    if (form_.progress)
        form_.progress->Store().RetryPending();
    const QString history = HistoryPathOf(form_);
    const bool russian = form_.state.russianInterface;
    auto progress = std::make_shared<Progress>();
    progress_ = progress;
    auto outcome = std::make_shared<ImportOutcome>();
    const ImportReader reader = read;
    worker_ = QThread::create([=] {
        const ImportProgress follow = [progress](qint64 done, qint64 total) {
            progress->done = done;
            progress->total = total;
            return !progress->cancelled.load();
        };
        // A Cancel stops the wait for the file's lock too.
        const LockWait patience = BoundedLockWait();
        const LockWait wait = [progress, patience] { return !progress->cancelled.load() && patience(); };
        *outcome = ImportFile(file, history, wait, russian, follow, reader);
    });
    menuItem->setEnabled(false);
    ShowProgress();
    connect(worker_, &QThread::finished, this, [this, outcome] { End(*outcome); });
    worker_->start();
}

void ImportMenu::ShowProgress()
{
    const bool russian = form_.state.russianInterface;
    progressDialog_ = new QProgressDialog(Tr(russian, QStringLiteral("Импорт времён…"), QStringLiteral("Importing times…")),
                                          Tr(russian, QStringLiteral("Отмена"), QStringLiteral("Cancel")), 0,
                                          kProgressSteps, &form_);
    progressDialog_->setObjectName(QStringLiteral("importProgress"));
    progressDialog_->setWindowTitle(Tr(russian, QStringLiteral("Импорт"), QStringLiteral("Import")));
    progressDialog_->setWindowModality(Qt::WindowModal);
    progressDialog_->setAutoReset(false);
    progressDialog_->setAutoClose(false);
    progressDialog_->setMinimumDuration(kProgressDelayMs);
    connect(progressDialog_, &QProgressDialog::canceled, this, &ImportMenu::Cancel);
    connect(progressDialog_, &QDialog::rejected, this, &ImportMenu::Cancel);   // Escape
    progressTicker_ = new QTimer(this);
    progressTicker_->setObjectName(QStringLiteral("importProgressTicker"));
    progressTicker_->setInterval(kProgressTickMs);
    connect(progressTicker_, &QTimer::timeout, this, [this, progress = progress_] {
        const qint64 total = progress->total.load();
        if (progressDialog_ && total > 0)
            progressDialog_->setValue(int(progress->done.load() * kProgressSteps / total));
    });
    progressTicker_->start();
    progressDialog_->setValue(0);
}

void ImportMenu::Cancel()
{
    if (progress_)
        progress_->cancelled = true;
}

void ImportMenu::End(const ImportOutcome& outcome)
{
    // Gone before the summary's own event loop runs: a timer of theirs
    // would show the bar again, or tick on a progress that has ended.
    delete progressTicker_;
    progressTicker_ = nullptr;
    delete progressDialog_;
    progressDialog_ = nullptr;
    worker_->deleteLater();
    worker_ = nullptr;
    menuItem->setEnabled(true);
    const bool russian = form_.state.russianInterface;
    const bool cancelled = progress_->cancelled.load();
    progress_.reset();
    if (outcome.write.result == ImportWriteResult::Written && form_.progress)
        form_.progress->Store().Reload();
    if (cancelled && outcome.write.result != ImportWriteResult::Written) {
        emit Finished(false);
        return;
    }
    if (!outcome.written) {
        const QString error = ImportFailure(outcome, HistoryPathOf(form_), russian);
        if (!error.isEmpty())
            form_.env.messages->ShowError(error);
        emit Finished(false);
        return;
    }
    form_.env.messages->Inform(ImportSummary(outcome, CaseIdentities(), russian));
    emit Finished(true);
}

void InstallImport(TForm1& form)
{
    new ImportMenu(form);
}
