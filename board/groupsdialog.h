#pragma once
// The Groups dialog: the shape groups of the active set, each with how many
// of its cases are enabled, a tick that turns the whole group on or off and
// "Only this group". It stays open for several actions; each is written at once.

#include <QDialog>
#include <QList>

class QCheckBox;
class QLabel;
class TForm1;

// The "Groups…" button, under the level line (app/composition.cpp builds it).
void BuildGroupsButton(TForm1& form);
// The dialog, modal over the main window; no-op during an attempt or an exam.
void OpenGroupsDialog(TForm1& form);

class GroupsDialog : public QDialog {
    Q_OBJECT
public:
    explicit GroupsDialog(TForm1& form);

private:
    struct Row {
        QString group;
        QCheckBox* toggle = nullptr;
        QLabel* count = nullptr;
    };
    void AddRow(class QGridLayout* grid, const QString& group);
    void Act(void (*action)(TForm1&, const QString&), const QString& group);
    void ShowCounts();

    TForm1& form_;
    QList<Row> rows_;
};
