// Renders the main window headless into a PNG, for the README and for looking at the decoration:
//
//     WINEPREFIX=/tmp/demo window_screenshot OUT.png [--size WxH] [--dpr N] [--hover BTN] [--press BTN]
//                                                    [--screen 1]
//
// BTN is a tool-bar button's name (ExitBtn, ActiveBtn, ...). The first track of the list is clicked, so
// the preview shows when the window has one. Message boxes are answered at once and not shown.
// --screen 1 takes the window from the screen, with the frame the window system draws around it
// (for a program on a real or virtual display, as under Wine on Xvfb with "-platform windows").
#include <QApplication>
#include <QImage>
#include <QListView>
#include <QPainter>
#include <QScreen>
#include <QTest>
#include <cstdio>
#include <cstdlib>

#include "TScriptedDialogs.h"
#include "app/TForm1.h"
#include "app/TTrackListModel.h"

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    const QStringList args = QApplication::arguments();
    if (args.size() < 2) {
        std::fprintf(stderr,
                     "usage: window_screenshot OUT.png [--size WxH] [--dpr N] [--hover BTN] [--press BTN]\n");
        return 1;
    }
    QSize size(TForm1::DesignWidth, TForm1::DesignHeight);
    qreal dpr = 1;
    QString hover;
    QString press;
    bool fromScreen = false;
    for (int i = 2; i + 1 < args.size(); i += 2) {
        if (args[i] == "--size")
            size = QSize(args[i + 1].section('x', 0, 0).toInt(), args[i + 1].section('x', 1, 1).toInt());
        else if (args[i] == "--dpr")
            dpr = args[i + 1].toDouble();
        else if (args[i] == "--hover")
            hover = args[i + 1];
        else if (args[i] == "--press")
            press = args[i + 1];
        else if (args[i] == "--screen")
            fromScreen = args[i + 1] == "1";
    }

    TScriptedDialogs dialogs;
    TForm1 form(dialogs);
    form.resize(size);
    form.show();
    if (!QTest::qWaitForWindowExposed(&form))
        return 1;
    if (form.Tracks().rowCount() > 0) {
        const QRect first = form.ActiveListBox->visualRect(form.Tracks().index(0));
        QTest::mouseClick(form.ActiveListBox->viewport(), Qt::LeftButton, {}, first.center());
    }
    // An empty name would find any button.
    if (auto* button = hover.isEmpty() ? nullptr : form.findChild<TBriskButton*>(hover))
        QTest::mouseMove(button, button->rect().center());
    if (auto* button = press.isEmpty() ? nullptr : form.findChild<TBriskButton*>(press))
        QTest::mousePress(button, Qt::LeftButton, {}, button->rect().center());
    QApplication::processEvents();

    QImage image;
    if (fromScreen) {
        QTest::qWait(500); // the window system draws the frame
        const QRect frame = form.frameGeometry();
        image = form.screen()->grabWindow(0, frame.x(), frame.y(), frame.width(), frame.height()).toImage();
    } else {
        image = QImage(form.size() * dpr, QImage::Format_RGB32);
        image.setDevicePixelRatio(dpr);
        image.fill(Qt::black);
        form.render(&image);
    }
    if (!image.save(args[1])) {
        std::fprintf(stderr, "window_screenshot: cannot write %s\n", qPrintable(args[1]));
        return 1;
    }
    return 0;
}
