// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QStringList>

class QString;
class TForm1;

// Gives the main window its decorated look: the tool bar as a plain panel of the program's colour,
// the client area tiled with its 8 x 8 picture, the six tool-bar buttons as flat glyph buttons with
// their pictures (flat at rest, raised under the pointer, lowered while pressed), and the window
// icon. The pictures are compiled into the program; one that cannot be loaded leaves its control
// without a picture.
void DecorateForm(TForm1& form);

// For a system that has none of the faces that wanted names (the window's font families; a Wine
// prefix made without Wine's own fonts has none of Windows' faces): loads the font files in folder
// (the "fonts" folder beside the program) for this run and, when the application's font is missing
// too, gives it the faces wanted, so that message boxes read as the window does. Returns the families
// loaded: none when the system has one of the faces wanted or folder holds no font it can load.
QStringList LoadFallbackFonts(const QStringList& wanted, const QString& folder);
