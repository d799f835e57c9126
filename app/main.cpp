// SPDX-License-Identifier: GPL-3.0-or-later
// The track manager: one window listing the add-on tracks of the game.
#include <QApplication>
#include <QScreen>

#include <cstdio>
#include <iostream>
#include <string_view>

#include "Help.h"

#include "app/Decoration.h"
#include "app/PreviewPainting.h"
#include "app/TDialogs.h"
#include "app/TForm1.h"

int main(int argc, char** argv) {
    // Answered before any window exists, so that they work without a display. Other arguments are
    // left to the toolkit, which ignores what it does not know.
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        if (argument == "--")
            break;
        if (argument == "--help" || argument == "-h" || argument == "--version") {
            if (argument == "--version")
                PrintWindowVersion(std::cout);
            else
                PrintWindowUsage(std::cout);
            std::cout.flush();
            return std::fflush(stdout) == 0 && std::cout ? 0 : 1;
        }
    }
    QApplication application(argc, argv);
    // The application's title. No display name: on Linux Qt would append it to every window's caption.
    QApplication::setApplicationName("Track manager");
#ifdef TM_APP_ID
    // The name of the installed menu entry, so that the desktop shows the window under its icon.
    QGuiApplication::setDesktopFileName(TM_APP_ID);
#endif

    // A system without the window's faces gets those in the "fonts" folder beside the program, if any.
    LoadFallbackFonts(WindowFont().families(), QApplication::applicationDirPath() + "/fonts");

    TQtDialogs dialogs;
    TForm1 form(dialogs);
    // Centred on the desktop when shown.
    if (const QScreen* screen = form.screen()) {
        QRect frame = form.frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        form.move(frame.topLeft());
    }
    form.show();
    return QApplication::exec();
}
