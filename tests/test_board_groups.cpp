// Enabling cases by group: "Only this group" and the group's tick change
// exactly the group's cases, write Settings.ini once, behave the same after
// the set switch, and redraw a setup scramble whose case was disabled.

#include "support/harness.h"

#include "board/groups.h"
#include "board/groupsdialog.h"
#include "core/caseidentity.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QtTest>
#include <functional>
#include <sys/inotify.h>
#include <unistd.h>

namespace {

// Counts the replacements of Settings.ini: each is a rename onto the name.
class ReplacementCounter {
public:
    explicit ReplacementCounter(const QString& folder) : fd_(inotify_init1(IN_NONBLOCK))
    {
        inotify_add_watch(fd_, QFile::encodeName(folder).constData(), IN_MOVED_TO);
    }
    ~ReplacementCounter() { close(fd_); }
    int Take()
    {
        int count = 0;
        alignas(inotify_event) char buffer[4096];
        for (ssize_t length; (length = read(fd_, buffer, sizeof buffer)) > 0;)
            for (char* at = buffer; at < buffer + length;) {
                const auto* event = reinterpret_cast<const inotify_event*>(at);
                count += event->len > 0 && QByteArray(event->name) == "Settings.ini" ? 1 : 0;
                at += sizeof(inotify_event) + event->len;
            }
        return count;
    }

private:
    int fd_;
};

QList<int> EnabledCases(const TForm1* form)
{
    QList<int> enabled;
    for (int n = 1; n <= CaseCount(form->state.currentSet); ++n)
        if (form->Tile(n)->caseEnabled)
            enabled << n;
    return enabled;
}

// The "1" (disabled) flags of the set as Settings.ini holds them.
QList<int> DisabledInFile(const QByteArray& file, const QByteArray& prefix, int count)
{
    QList<int> disabled;
    for (int n = 1; n <= count; ++n)
        if (file.contains("\n" + prefix + QByteArray::number(n) + "=1\r"))
            disabled << n;
    return disabled;
}

QList<int> AllBut(const QList<int>& kept, int count)
{
    QList<int> rest;
    for (int n = 1; n <= count; ++n)
        if (!kept.contains(n))
            rest << n;
    return rest;
}

// Runs act on the Groups dialog once its modal loop runs, then closes it.
// The dialog is opened with a click, or by keyboard: Tab to the button, Space.
// True when the dialog opened and act ran.
bool InGroupsDialog(TForm1* form, const std::function<void(QDialog*)>& act, bool byKeyboard = false)
{
    auto ran = std::make_shared<bool>(false);
    QTimer::singleShot(0, qApp, [act, ran] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        QVERIFY(dialog);
        *ran = true;
        act(dialog);
        if (QWidget* still = QApplication::activeModalWidget())
            still->close();
    });
    if (byKeyboard) {
        form->GroupsButton->setFocus(Qt::TabFocusReason);
        QTest::keyClick(form->GroupsButton, Qt::Key_Space);
    } else {
        form->GroupsButton->click();
    }
    return *ran;
}

template <typename T> T* Control(QDialog* dialog, const QString& name)
{
    T* control = dialog->findChild<T*>(name);
    if (!control)
        qFatal("no control %s", qPrintable(name));
    return control;
}

QList<int> Sorted(QList<int> list)
{
    std::sort(list.begin(), list.end());
    return list;
}

}  // namespace

class BoardGroupsTest : public QObject {
    Q_OBJECT

private slots:
    void onlyThisGroupAndTheTickChangeExactlyTheGroup()
    {
        Harness h;
        h.WriteSettings("[Settings]\nLanguage=en\n");
        TForm1* form = h.Start();
        QCOMPARE(form->GroupsButton->text(), QStringLiteral("Groups…"));
        const QList<int> t = CaseIdentities().CasesOf(CaseSet::OLL, QStringLiteral("T"));
        const QList<int> cross = CaseIdentities().CasesOf(CaseSet::OLL, QStringLiteral("Cross"));
        QCOMPARE(t.size(), 2);
        QCOMPARE((QStringList{CaseIdentities().Find(CaseSet::OLL, t[0])->standard,
                              CaseIdentities().Find(CaseSet::OLL, t[1])->standard}),
                 (QStringList{"33", "45"}));
        ReplacementCounter replacements(h.Folder());

        QVERIFY(InGroupsDialog(form, [&](QDialog* dialog) {
            QCOMPARE(dialog->windowTitle(), QStringLiteral("OLL groups"));
            Control<QPushButton>(dialog, "GroupOnly:T")->click();
            QCOMPARE(EnabledCases(form), t);
            QCOMPARE(form->state.enabledCount, 2);
            QCOMPARE(replacements.Take(), 1);
            QCOMPARE(DisabledInFile(h.ReadSettings(), "al", 57), AllBut(t, 57));
            QCOMPARE(Control<QLabel>(dialog, "GroupCount:T")->text(), QStringLiteral("2 of 2"));
            QCOMPARE(Control<QLabel>(dialog, "GroupCount:Cross")->text(), QStringLiteral("0 of 7"));

            // By keyboard: the tick of the Cross group turns it on, then off.
            auto* crossTick = Control<QCheckBox>(dialog, "GroupToggle:Cross");
            crossTick->setFocus();
            QTest::keyClick(crossTick, Qt::Key_Space);
            QCOMPARE(EnabledCases(form), Sorted(t + cross));
            QCOMPARE(replacements.Take(), 1);
            QCOMPARE(crossTick->checkState(), Qt::Checked);
            QTest::keyClick(crossTick, Qt::Key_Space);
            QCOMPARE(EnabledCases(form), t);
            QCOMPARE(replacements.Take(), 1);
            QCOMPARE(crossTick->checkState(), Qt::Unchecked);
        }));
        // A partly enabled group is enabled whole by its tick.
        ToggleCaseOnBoard(*form, cross[0]);
        ToggleGroup(*form, QStringLiteral("Cross"));
        QCOMPARE(EnabledCases(form), Sorted(t + cross));
        QCOMPARE(form->focusWidget(), form->BitBtn1);
    }

    void sameAfterTheSetSwitch()
    {
        Harness h;
        h.WriteSettings("[Settings]\nLanguage=ru\n");
        TForm1* form = h.Start();
        QCOMPARE(form->GroupsButton->text(), QStringLiteral("Группы…"));
        EnableOnlyGroup(*form, QStringLiteral("T"));
        form->BitBtn6Click();   // to PLL
        QCOMPARE(form->state.currentSet, CaseSet::PLL);
        const QList<int> g = CaseIdentities().CasesOf(CaseSet::PLL, QStringLiteral("G perms"));
        QCOMPARE(g.size(), 4);
        ReplacementCounter replacements(h.Folder());
        QVERIFY(InGroupsDialog(form, [&](QDialog* dialog) {
            QCOMPARE(dialog->windowTitle(), QStringLiteral("Группы PLL"));
            QCOMPARE(Control<QCheckBox>(dialog, "GroupToggle:G perms")->text(), QStringLiteral("G-перестановки"));
            QVERIFY(!dialog->findChild<QCheckBox*>("GroupToggle:T"));
            Control<QPushButton>(dialog, "GroupOnly:G perms")->click();
            QCOMPARE(EnabledCases(form), g);
            QCOMPARE(replacements.Take(), 1);
            QCOMPARE(DisabledInFile(h.ReadSettings(), "pal", 21), AllBut(g, 21));
            QCOMPARE(Control<QLabel>(dialog, "GroupCount:G perms")->text(), QStringLiteral("4 из 4"));
        }, true));
        // The OLL flags written before the switch are there after it.
        form->BitBtn6Click();
        const QList<int> t = CaseIdentities().CasesOf(CaseSet::OLL, QStringLiteral("T"));
        QCOMPARE(EnabledCases(form), t);
        replacements.Take();
        ToggleGroup(*form, QStringLiteral("T"));
        QCOMPARE(EnabledCases(form), QList<int>());
        QCOMPARE(replacements.Take(), 1);
        QVERIFY(!form->BitBtn1->isEnabled());
    }

    void setupScrambleOfADisabledCaseIsDrawnAgain()
    {
        Harness h;
        h.WriteSettings("[Settings]\nLanguage=en\nScramble=1\n");
        TForm1* form = h.Start();
        const QList<int> square = CaseIdentities().CasesOf(CaseSet::OLL, QStringLiteral("Square"));
        for (int round = 0; round < 5 && square.contains(form->state.nextCase); ++round)
            form->BitBtn6Click(), form->BitBtn6Click();   // a case outside the group is waiting
        QVERIFY(form->state.nextCase > 0 && !square.contains(form->state.nextCase));
        EnableOnlyGroup(*form, QStringLiteral("Square"));
        QVERIFY(square.contains(form->state.nextCase));
        QVERIFY(!form->ScrambleLabel->text().isEmpty());
    }

    void noGroupActionDuringAnAttempt()
    {
        Harness h;
        h.WriteSettings("[Settings]\nLanguage=en\n");
        TForm1* form = h.Start();
        h.StartAttempt();
        QVERIFY(!form->GroupsButton->isEnabled());
        EnableOnlyGroup(*form, QStringLiteral("T"));
        QCOMPARE(form->state.enabledCount, 57);
    }
};

QTEST_MAIN(BoardGroupsTest)
#include "test_board_groups.moc"
