#pragma once
// What the About window shows in each interface language, with the heights
// that follow from the length of the notes.

#include <QString>

struct AboutTexts {
    QString title;
    QString notesHeading;     // Label3
    QString thanks;           // Label2
    QString ok;               // BitBtn1
    QString notes;            // StaticText1: three paragraphs joined by CR LF
    int notesHeight = 0;      // StaticText1
    int clientHeight = 0;     // the window's client area
    int notesPanelHeight = 0; // Panel2
    int okTop = 0;            // BitBtn1
};

AboutTexts AboutTextsFor(bool russian);

// The authors line: four labels, names bold and separators regular.
struct AuthorPiece {
    const char* text;
    bool bold;
};
inline constexpr AuthorPiece kAuthorsLine[4] = {
    {"by ", false},
    {"Tesselo developers", true},
    {" & ", false},
    {"testers", true},
};
