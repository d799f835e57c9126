#pragma once

class TForm1;

// Gives the main window its decorated look: the tool bar as a plain panel of the program's colour,
// the client area tiled with its 8 x 8 picture, the six tool-bar buttons as flat glyph buttons with
// their pictures (flat at rest, raised under the pointer, lowered while pressed), and the window
// icon. The pictures are compiled into the program; one that cannot be loaded leaves its control
// without a picture.
void DecorateForm(TForm1& form);
