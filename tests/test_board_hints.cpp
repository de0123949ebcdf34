// Tile presses, the picture-and-hint preview, the result line's popup and
// the hint editor, driven through the window's own controls.

#include "support/harness.h"

#include "board/tform3.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QtTest>
#include <functional>

namespace {

QByteArray Settings(const QByteArray& language, const QByteArray& mode = "OLL")
{
    return "[Settings]\nLanguage=" + language + "\nmode=" + mode + "\n"
           "[OLL hints]\nhint5=R U R' U R U2' R'\nhint7=R U2' R' U' R U R' U' R U' R'\n"
           "hint8=F R U R' U' F'\nhint9=F R U R' U' F'\nhint15=Rw' R U R U R' U' Rw R2' F R F\n"
           "[PLL hints]\nhint4=M2' U' M2' U2' M2' U' M2'\n";
}

void Press(QWidget* target, Qt::MouseButton button) { QTest::mousePress(target, button, {}, QPoint(5, 5)); }

void PressTile(TForm1* form, int n, Qt::MouseButton button)
{
    CaseTile* tile = form->Tile(n);
    Press(tile->caseEnabled ? tile->ioll : tile->bioll, button);
}

QImage Loaded(const QString& path) { return QImage(path).convertToFormat(QImage::Format_ARGB32); }
QImage Shown(const TForm1* form) { return form->Image1->Picture().convertToFormat(QImage::Format_ARGB32); }

// The lines of one section of the settings file as written.
QList<QByteArray> SectionLines(const QByteArray& file, const QByteArray& section)
{
    QList<QByteArray> lines;
    bool inside = false;
    for (const QByteArray& line : file.split('\n')) {
        const QByteArray trimmed = line.trimmed();
        if (trimmed.startsWith('['))
            inside = trimmed == "[" + section + "]";
        else if (inside && !trimmed.isEmpty())
            lines << trimmed;
    }
    return lines;
}

// Acts on the modal dialog once its loop runs. Whatever the action does, the
// dialog is closed afterwards, so a failed check never leaves the test waiting.
void WhenModalOpens(const std::function<void(QWidget*)>& act)
{
    QTimer::singleShot(0, qApp, [act] {
        QWidget* dialog = QApplication::activeModalWidget();
        if (dialog)
            act(dialog);
        if (QWidget* still = QApplication::activeModalWidget())
            still->close();
    });
}

void EditHint(const std::function<void(TForm3*)>& act)
{
    WhenModalOpens([act](QWidget* dialog) {
        auto* editor = qobject_cast<TForm3*>(dialog);
        QVERIFY(editor);
        QCOMPARE(editor->objectName(), QString("Form3"));
        act(editor);
    });
}

// The preview of case n, then "Edit algorithm" from the result line's popup.
void OpenEditorFor(TForm1* form, int n, const std::function<void(TForm3*)>& act)
{
    if (form->res->isHidden() || Tag(form->res) != n)
        PressTile(form, n, Qt::RightButton);
    Press(form->res, Qt::RightButton);
    QVERIFY(form->PopupMenu1->isVisible());
    form->PopupMenu1->hide();
    EditHint(act);
    form->N1->trigger();
}

}  // namespace

class BoardHintsTest : public QObject {
    Q_OBJECT

private slots:
    void otherButtonsPreviewAndASecondPressHides()
    {
        Harness harness;
        harness.WriteSettings(Settings("en"));
        TForm1* form = harness.Start();
        PressTile(form, 5, Qt::RightButton);
        QVERIFY(!form->res->isHidden());
        QCOMPARE(form->res->text(), QString("R U R' U R U2' R'"));
        QCOMPARE(Tag(form->res), 5);
        QCOMPARE(form->res->y(), 264);
        QCOMPARE(form->res->font().pixelSize(), 13);
        QCOMPARE(form->res->palette().color(QPalette::WindowText), QColor(Qt::black));
        QCOMPARE(Shown(form), Loaded(harness.Path("Images/OLL/5.gif")));

        PressTile(form, 7, Qt::MiddleButton);
        QCOMPARE(Tag(form->res), 7);
        QCOMPARE(form->res->text(), QString("R U2' R' U' R U R' U' R U' R'"));
        QCOMPARE(Shown(form), Loaded(harness.Path("Images/OLL/7.gif")));

        PressTile(form, 7, Qt::RightButton);
        QVERIFY(form->res->isHidden());
        QVERIFY(!form->Image1->HasPicture());
        QVERIFY(harness.messages->shown.isEmpty());

        // Toggling a case leaves the preview alone; a disabled case previews
        // through its veil.
        PressTile(form, 5, Qt::RightButton);
        const QImage preview = Shown(form);
        PressTile(form, 5, Qt::LeftButton);
        QVERIFY(!form->Tile(5)->caseEnabled);
        QCOMPARE(Shown(form), preview);
        QVERIFY(!form->res->isHidden());
        PressTile(form, 12, Qt::RightButton);
        QCOMPARE(Tag(form->res), 12);
        PressTile(form, 5, Qt::RightButton);
        QCOMPARE(Tag(form->res), 5);
    }

    void identicalHintTextsHideInsteadOfSwitching()
    {
        Harness harness;
        harness.WriteSettings(Settings("en"));
        TForm1* form = harness.Start();
        PressTile(form, 8, Qt::RightButton);
        QCOMPARE(Tag(form->res), 8);
        PressTile(form, 9, Qt::RightButton);
        QVERIFY(form->res->isHidden());
        QVERIFY(!form->Image1->HasPicture());
    }

    void previewReplacesAResultMessage()
    {
        Harness harness;
        harness.WriteSettings(Settings("en"));
        TForm1* form = harness.Start();
        form->res->setText("New best! (-0,625)");
        QPalette red = form->res->palette();
        red.setColor(QPalette::WindowText, Qt::red);
        form->res->setPalette(red);
        SetTag(form->res, -1);
        form->res->show();
        PressTile(form, 5, Qt::RightButton);
        QCOMPARE(form->res->text(), QString("R U R' U R U2' R'"));
        QCOMPARE(Tag(form->res), 5);
        QCOMPARE(form->res->palette().color(QPalette::WindowText), QColor(Qt::black));
    }

    void pressesAreIgnoredDuringAnAttemptAndAnExam()
    {
        Harness harness;
        harness.WriteSettings(Settings("en"));
        TForm1* form = harness.Start();
        form->BitBtn1Click();   // countdown
        QVERIFY(form->state.attemptActive);
        for (Qt::MouseButton button : {Qt::LeftButton, Qt::RightButton, Qt::MiddleButton})
            PressTile(form, 3, button);
        QVERIFY(form->Tile(3)->caseEnabled);
        QVERIFY(form->res->isHidden());
        form->BitBtn3Click();   // discard: back to idle
        QVERIFY(!form->state.attemptActive);

        // The stopwatch panel on screen blocks the preview but not the toggle.
        form->RzPanel1->show();
        PressTile(form, 3, Qt::RightButton);
        QVERIFY(form->res->isHidden());
        PressTile(form, 3, Qt::LeftButton);
        QVERIFY(!form->Tile(3)->caseEnabled);
        PressTile(form, 3, Qt::LeftButton);
        form->RzPanel1->hide();

        form->BitBtn7Click();   // the exam; the recorded boxes answer its question with Yes
        QVERIFY(form->state.examActive);
        const int enabled = form->state.enabledCount;
        for (Qt::MouseButton button : {Qt::LeftButton, Qt::RightButton, Qt::MiddleButton})
            PressTile(form, 3, button);
        QVERIFY(form->Tile(3)->caseEnabled);
        QCOMPARE(form->state.enabledCount, enabled);
        QVERIFY(form->res->isHidden());
    }

    void missingPicturesAreReportedAndTheHintStillShows_data()
    {
        QTest::addColumn<QByteArray>("language");
        QTest::addColumn<QByteArray>("mode");
        QTest::addColumn<int>("caseNumber");
        QTest::addColumn<QString>("message");
        QTest::newRow("OLL en") << QByteArray("en") << QByteArray("OLL") << 5
                                << QString("Image \"\\Images\\OLL\\5.gif\" not found");
        QTest::newRow("PLL en") << QByteArray("en") << QByteArray("PLL") << 4
                                << QString("Image \"\\Images\\PLL\\4.gif\" not found");
        QTest::newRow("OLL ru") << QByteArray("ru") << QByteArray("OLL") << 5
                                << QStringLiteral("Файл изображения \"\\Images\\OLL\\5.gif\" не найден");
        QTest::newRow("PLL ru") << QByteArray("ru") << QByteArray("PLL") << 4
                                << QStringLiteral("Файл изображения \"\\Images\\PLL\\4.gif\" не найден");
    }
    void missingPicturesAreReportedAndTheHintStillShows()
    {
        QFETCH(QByteArray, language);
        QFETCH(QByteArray, mode);
        QFETCH(int, caseNumber);
        QFETCH(QString, message);
        Harness harness;
        harness.WriteSettings(Settings(language, mode));
        TForm1* form = harness.Start();
        PressTile(form, 2, Qt::RightButton);
        const QImage before = Shown(form);
        QVERIFY(QFile::remove(harness.Path(QStringLiteral("Images/%1/%2.gif").arg(QString(mode)).arg(caseNumber))));
        PressTile(form, caseNumber, Qt::RightButton);
        QCOMPARE(harness.messages->shown, QStringList{message});
        QCOMPARE(Shown(form), before);
        QCOMPARE(Tag(form->res), caseNumber);
        QCOMPARE(form->res->text(), form->hints[caseNumber - 1]);
        QVERIFY(!form->res->text().isEmpty());
    }

    void anUnreadablePictureIsReportedAndNotLeftOnScreen()
    {
        Harness harness;
        harness.WriteSettings(Settings("en"));
        TForm1* form = harness.Start();
        PressTile(form, 2, Qt::RightButton);
        QFile broken(harness.Path("Images/OLL/5.gif"));
        QVERIFY(broken.open(QIODevice::WriteOnly | QIODevice::Truncate));
        broken.write("GIF89a, but nothing after it");
        broken.close();
        PressTile(form, 5, Qt::RightButton);
        QCOMPARE(harness.messages->shown, QStringList{"Image \"\\Images\\OLL\\5.gif\" cannot be read"});
        QVERIFY(!form->Image1->HasPicture());
        QCOMPARE(form->res->text(), QString("R U R' U R U2' R'"));
    }

    void popupOpensOnlyOnAHintWithTheRightButton()
    {
        for (const QByteArray language : {"en", "ru"}) {
            Harness harness;
            harness.WriteSettings(Settings(language));
            TForm1* form = harness.Start();
            form->res->setText("Current best: 3,000");
            SetTag(form->res, -1);
            form->res->show();
            Press(form->res, Qt::RightButton);
            QVERIFY(!form->PopupMenu1->isVisible());

            PressTile(form, 5, Qt::RightButton);
            Press(form->res, Qt::LeftButton);
            QVERIFY(!form->PopupMenu1->isVisible());
            Press(form->res, Qt::RightButton);
            QVERIFY(form->PopupMenu1->isVisible());
            QCOMPARE(form->N1->text(), language == "ru" ? QStringLiteral("Изменить алгоритм") : QString("Edit algorithm"));
            form->PopupMenu1->hide();
        }
    }

    void savingAHintWritesItAtOnce()
    {
        Harness harness;
        harness.WriteSettings(Settings("en"));
        TForm1* form = harness.Start();
        OpenEditorFor(form, 15, [form](TForm3* editor) {
            QCOMPARE(editor->windowTitle(), QString("Edit algorithm 15"));
            QCOMPARE(editor->BitBtn1->text(), QString("Save"));
            QCOMPARE(editor->BitBtn2->text(), QString("Cancel"));
            QCOMPARE(editor->Edit1->text(), QString("Rw' R U R U R' U' Rw R2' F R F"));
            QCOMPARE(editor->focusWidget(), editor->Edit1);
            const QRect main = form->frameGeometry();
            const QRect own = editor->frameGeometry();
            QCOMPARE(own.topLeft(), QPoint(main.left() + main.width() / 2 - own.width() / 2,
                                           main.top() + main.height() / 2 - own.height() / 2));
            editor->Edit1->setText("F R U R' U' F'");
            QTest::mouseClick(editor->BitBtn1, Qt::LeftButton);
        });
        QVERIFY(SectionLines(harness.ReadSettings(), "OLL hints").contains("hint15=F R U R' U' F'"));
        QCOMPARE(form->res->text(), QString("F R U R' U' F'"));
        QCOMPARE(form->hints[15 - 1], QString("F R U R' U' F'"));
        QVERIFY(!form->res->isHidden());

        // Written at once, so it survives into the next run.
        form = harness.Restart();
        QCOMPARE(form->hints[15 - 1], QString("F R U R' U' F'"));
    }

    void enterSavesAndTheActiveSetChoosesTheSection()
    {
        Harness harness;
        harness.WriteSettings(Settings("ru", "PLL"));
        TForm1* form = harness.Start();
        OpenEditorFor(form, 4, [](TForm3* editor) {
            QCOMPARE(editor->windowTitle(), QStringLiteral("Изменение алгоритма 4"));
            QCOMPARE(editor->BitBtn1->text(), QStringLiteral("Сохранить"));
            QCOMPARE(editor->BitBtn2->text(), QStringLiteral("Отмена"));
            editor->Edit1->setText("M2 U M2 U2 M2 U M2");
            QTest::keyClick(editor->Edit1, Qt::Key_Return);
        });
        const QByteArray file = harness.ReadSettings();
        QVERIFY(SectionLines(file, "PLL hints").contains("hint4=M2 U M2 U2 M2 U M2"));
        QVERIFY(!SectionLines(file, "OLL hints").contains("hint4=M2 U M2 U2 M2 U M2"));
        QCOMPARE(form->res->text(), QString("M2 U M2 U2 M2 U M2"));
    }

    void cancelEscAndTheTitleBarChangeNothing()
    {
        Harness harness;
        harness.WriteSettings(Settings("en"));
        TForm1* form = harness.Start();
        const QByteArray before = harness.ReadSettings();
        const QString hint = form->hints[15 - 1];
        const std::function<void(TForm3*)> endings[] = {
            [](TForm3* editor) { QTest::mouseClick(editor->BitBtn2, Qt::LeftButton); },
            [](TForm3* editor) { QTest::keyClick(editor->Edit1, Qt::Key_Escape); },
            [](TForm3* editor) { editor->close(); },
        };
        for (const auto& end : endings) {
            OpenEditorFor(form, 15, [&end](TForm3* editor) {
                editor->Edit1->setText("U U U");
                end(editor);
            });
            QCOMPARE(harness.ReadSettings(), before);
            QCOMPARE(form->hints[15 - 1], hint);
            QCOMPARE(form->res->text(), hint);
        }
    }

    void anEmptyHintIsStoredAndStaysEditable()
    {
        Harness harness;
        harness.WriteSettings(Settings("en"));
        TForm1* form = harness.Start();
        OpenEditorFor(form, 15, [](TForm3* editor) {
            editor->Edit1->clear();
            QTest::mouseClick(editor->BitBtn1, Qt::LeftButton);
        });
        QVERIFY(SectionLines(harness.ReadSettings(), "OLL hints").contains("hint15="));
        QVERIFY(form->res->text().isEmpty());
        QVERIFY(!form->res->isHidden());
        QCOMPARE(Tag(form->res), 15);
        Press(form->res, Qt::RightButton);
        QVERIFY(form->PopupMenu1->isVisible());
        form->PopupMenu1->hide();
    }

    void aRefusedWriteKeepsTheOldHint()
    {
        Harness harness;
        harness.WriteSettings(Settings("en"));
        TForm1* form = harness.Start();
        const QString path = harness.Path("Settings.ini");
        const QByteArray saved = harness.ReadSettings();
        // A folder in the file's place: no write can succeed, even for root.
        QVERIFY(QFile::remove(path));
        QVERIFY(QDir().mkpath(path + "/locked"));
        const QString hint = form->hints[15 - 1];
        OpenEditorFor(form, 15, [](TForm3* editor) {
            editor->Edit1->setText("F R U R' U' F'");
            QTest::mouseClick(editor->BitBtn1, Qt::LeftButton);
        });
        QCOMPARE(harness.messages->errors, QStringList{"Unable to write to " + path});
        QCOMPARE(form->hints[15 - 1], hint);
        QCOMPARE(form->res->text(), hint);

        QVERIFY(QDir(path).removeRecursively());
        harness.WriteSettings(saved);
    }
};

QTEST_MAIN(BoardHintsTest)
#include "test_board_hints.moc"
