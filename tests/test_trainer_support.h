#pragma once
// Small helpers shared by the trainer's tests: settings texts, picture files
// and the choice of enabled cases.

#include "resources/resources.h"
#include "support/harness.h"
#include "window/tform1.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <initializer_list>

namespace trainertest {

// A settings file for the given language and set; every case enabled,
// no results. extra is appended (further sections or keys).
inline QByteArray Settings(const char* language, const char* mode, bool hard, const QByteArray& extra = {})
{
    QByteArray text = QByteArray("[Settings]\nLanguage=") + language + "\nmode=" + mode
                      + "\nomode=" + (hard ? "1" : "0") + "\npmode=" + (hard ? "1" : "0") + "\n";
    return text + extra;
}

inline void WriteBytes(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(bytes), bytes.size());
}

// One of the built-in PLL pictures: distinct numbers give distinct pictures.
inline QByteArray PictureBytes(int number)
{
    return EmbeddedResource(QStringLiteral("P%1").arg(number));
}

inline QImage Decoded(const QByteArray& bytes)
{
    QImage image;
    image.loadFromData(bytes);
    return image;
}

// Only the listed cases stay enabled.
inline void EnableOnly(TForm1* form, std::initializer_list<int> cases)
{
    form->DisableAllCases();
    for (int n : cases)
        ToggleCaseOnBoard(*form, n);
}

inline void SetRecord(TForm1* form, int n, const QString& average, const QString& best, const QString& count)
{
    form->session.SetRecord(n, CaseRecord::FromTexts(average, best, count));
}

inline QStringList Record(TForm1* form, int n)
{
    return {form->Tile(n)->avoll->text(), form->Tile(n)->bvoll->text(), form->Tile(n)->nvoll->text()};
}

// Idle as the rest of the program sees it.
inline bool IsIdle(TForm1* form)
{
    return !form->state.attemptActive && !form->Timer1->isActive() && !form->Timer2->isActive()
           && form->RzPanel1->isHidden() && !form->BitBtn2->isEnabled() && !form->BitBtn3->isEnabled();
}

} // namespace trainertest
