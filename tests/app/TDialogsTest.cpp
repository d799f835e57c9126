// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <QApplication>
#include <QGuiApplication>
#include <QScreen>
#include <QTimer>
#include <QWidget>

#include "app/TDialogs.h"

namespace {

// The real message box: centred on the screen while the window is not shown, its caption whole.
TEST(Dialogs, BoxBeforeTheWindowIsCentredAndFitsItsCaption) {
    QWidget owner;
    TQtDialogs qtDialogs;
    QRect shown;
    int titleRoom = 0;
    QTimer::singleShot(0, [&] {
        QWidget* box = QApplication::activeModalWidget();
        ASSERT_NE(box, nullptr);
        shown = box->frameGeometry();
        titleRoom = box->width() - box->fontMetrics().horizontalAdvance(box->windowTitle());
        box->close();
    });
    qtDialogs.MessageBox(&owner, "Short.", "A rather long caption for a box", TDialogs::mbOK);
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_LE((shown.center() - screen.center()).manhattanLength(), 4);
    EXPECT_GE(titleRoom, 100);
}

TEST(Dialogs, TheArchiveFilterAsQtShowsIt) {
    EXPECT_EQ(QtNameFilter("Archived tracks|*.env;*.~env"), "Archived tracks (*.env *.~env)");
    EXPECT_EQ(QtNameFilter("All files (*)"), "All files (*)");
    EXPECT_EQ(QtNameFilter("Archived tracks|*.env;*.~env|Track archives|*.zip;*.7z"),
              "Archived tracks (*.env *.~env);;Track archives (*.zip *.7z)");
}

} // namespace
