#pragma once
// Raw-data resources carried in the executable:
//   "O1".."O57", "P1".."P21"  the Easy case pictures (GIF89a)
//   "MyWave"                  the stopwatch font (TrueType)
//   "MyWav"                   the cube's texture atlas (24-bit BMP)
//   "Tahoma", "TahomaBold"    the interface font
//   "GlyphBin", "GlyphCursor" the two 16 x 16 glyphs (PNG)
//   "Icon"                    the program's icon (PNG)
//   "ScramblePool"            the setup scrambles (text, core/setupscramble.h)
//   "CaseTable"               the cases' standard identities (CSV, core/caseidentity.h)

#include <QByteArray>
#include <QString>

// The resource's bytes; empty when the executable carries no such resource.
QByteArray EmbeddedResource(const QString& name);
