#include "interchange/exportmenu.h"

#include "core/language.h"
#include "interchange/interchangeplaces.h"
#include "core/caseidentity.h"
#include "window/progresshub.h"
#include "window/tform1.h"

#include <QAction>
#include <QApplication>
#include <QFileDialog>
#include <QGridLayout>
#include <QLabel>
#include <QMenu>
#include <QThread>

namespace {

struct FileType {
    ExportFormat format;
    const char* filter;
    const char* suffix;
};

// TwistyTimer's backups are text files; either ending is offered.
constexpr FileType kFileTypes[] = {
    {ExportFormat::CsTimer, "csTimer (*.json)", "json"},
    {ExportFormat::TwistyTimer, "TwistyTimer (*.txt *.csv)", "txt"},
};

const FileType& TypeOfFilter(const QString& filter)
{
    for (const FileType& type : kFileTypes)
        if (filter == QLatin1String(type.filter))
            return type;
    return kFileTypes[0];
}

} // namespace

QString ImportHint(ExportFormat format, bool russian)
{
    if (format == ExportFormat::TwistyTimer)
        return Tr(russian, QStringLiteral("В TwistyTimer импортируйте этот файл как резервную копию (backup)."),
                  QStringLiteral("In TwistyTimer, import the file as a backup."));
    return Tr(russian,
              QStringLiteral("В csTimer выберите «Import session(s) from other timers»: сессии «Tesselo OLL» и "
                             "«Tesselo PLL» добавятся к вашим. Не выбирайте «Import from file»: он заменяет все "
                             "данные csTimer."),
              QStringLiteral("In csTimer, choose \"Import session(s) from other timers\": the sessions "
                             "\"Tesselo OLL\" and \"Tesselo PLL\" are added to yours. Do not choose \"Import from "
                             "file\": it replaces all of csTimer's data."));
}

QString ExportDoneText(ExportFormat format, const QString& report, bool russian)
{
    return report + QStringLiteral("\n\n") + ImportHint(format, russian);
}

ExportMenu::ExportMenu(TForm1& form) : QObject(&form), form_(form)
{
    setObjectName(QStringLiteral("ExportMenu"));
    chooseTarget = [this] { return AskWithDialog(); };
    menuItem = form.PopupMenu1->addAction(Tr(form.state.russianInterface, QStringLiteral("Экспорт…"),
                                             QStringLiteral("Export…")));
    menuItem->setObjectName(QStringLiteral("exportItem"));
    connect(menuItem, &QAction::triggered, this, &ExportMenu::Run);
}

ExportMenu::~ExportMenu()
{
    if (worker_) {
        worker_->wait();
        delete worker_;
    }
}

ExportMenu::Target ExportMenu::AskWithDialog()
{
    const bool russian = form_.state.russianInterface;
    QFileDialog dialog(&form_, Tr(russian, QStringLiteral("Экспорт времён для csTimer или TwistyTimer"),
                                  QStringLiteral("Export times for csTimer or TwistyTimer")));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    // The program's own dialog, so that the hint on importing is always below the file type.
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    QStringList filters;
    for (const FileType& type : kFileTypes)
        filters << QLatin1String(type.filter);
    dialog.setNameFilters(filters);
    dialog.setDefaultSuffix(QLatin1String(kFileTypes[0].suffix));
    dialog.setDirectory(DialogStartFolder());
    dialog.selectFile(QStringLiteral("Tesselo.") + QLatin1String(kFileTypes[0].suffix));
    auto* hint = new QLabel(ImportHint(kFileTypes[0].format, russian), &dialog);
    hint->setObjectName(QStringLiteral("importHint"));
    hint->setWordWrap(true);
    if (auto* grid = qobject_cast<QGridLayout*>(dialog.layout()))
        grid->addWidget(hint, grid->rowCount(), 0, 1, grid->columnCount());
    // The proposed name and the hint follow the chosen type; a name typed
    // without an ending gets the type's.
    connect(&dialog, &QFileDialog::filterSelected, &dialog, [&dialog, hint, russian](const QString& filter) {
        const FileType& type = TypeOfFilter(filter);
        dialog.setDefaultSuffix(QLatin1String(type.suffix));
        dialog.selectFile(QStringLiteral("Tesselo.") + QLatin1String(type.suffix));
        hint->setText(ImportHint(type.format, russian));
    });
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return {dialog.selectedFiles().front(), TypeOfFilter(dialog.selectedNameFilter()).format};
}

void ExportMenu::Run()
{
    if (worker_)
        return;
    const Target target = chooseTarget();
    if (target.path.isEmpty())
        return;
    // Times still waiting for History.csv go in first if the disk takes them now.
    int unwritten = 0;
    if (form_.progress) {
        form_.progress->Store().RetryPending();
        unwritten = form_.progress->Store().PendingCount();
    }
    const QString history = HistoryPathOf(form_);
    const bool russian = form_.state.russianInterface;
    auto outcome = std::make_shared<ExportOutcome>();
    worker_ = QThread::create([=] {
        *outcome = ExportHistoryFile(history, target.format, target.path, CaseIdentities(), russian);
    });
    menuItem->setEnabled(false);
    QApplication::setOverrideCursor(Qt::BusyCursor);
    connect(worker_, &QThread::finished, this, [this, outcome, target, unwritten] {
        QApplication::restoreOverrideCursor();
        menuItem->setEnabled(true);
        worker_->deleteLater();
        worker_ = nullptr;
        Report(*outcome, target, unwritten);
    });
    worker_->start();
}

void ExportMenu::Report(const ExportOutcome& outcome, const Target& target, int unwritten)
{
    const bool russian = form_.state.russianInterface;
    if (!outcome.written) {
        form_.env.messages->ShowError(outcome.error);
        emit Finished(false);
        return;
    }
    QString text = ExportDoneText(target.format, ExportReport(outcome, target.path, russian), russian);
    if (unwritten > 0)
        text += QStringLiteral("\n\n")
                + Tr(russian, QStringLiteral("Времён, ещё не записанных в History.csv, не в экспорте: %1."),
                     QStringLiteral("Times not yet written to History.csv are not in the export: %1."))
                      .arg(unwritten);
    form_.env.messages->Inform(text);
    emit Finished(true);
}

void InstallExport(TForm1& form)
{
    new ExportMenu(form);
}
