// SPDX-License-Identifier: GPL-3.0-or-later
// Renders the main window headless into a PNG, for the README and for looking at the decoration:
//
//     WINEPREFIX=/tmp/demo window-screenshot OUT.png [--size WxH] [--dpr N] [--hover BTN] [--press BTN]
//                                                    [--screen 1]
//
// BTN is a tool-bar button's name (ExitBtn, ActiveBtn, ...). The first track of the list is clicked, so
// the preview shows when the window has one. Message boxes are answered at once and not shown.
// --screen 1 takes the window from the screen, with the frame the window system draws around it
// (for a program on a real or virtual display, as under Wine on Xvfb with "-platform windows").
#include <QApplication>
#include <QEventLoop>
#include <QImage>
#include <QListView>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QTimer>
#include <cstdio>
#include <cstdlib>

#include "app/TDialogs.h"
#include "app/TForm1.h"
#include "app/TTrackListModel.h"

namespace {

// Message boxes answered at once (No to a question, OK otherwise), file dialogs cancelled.
class TAnsweringDialogs : public TDialogs {
public:
    int MessageBox(QWidget*, const QString&, const QString&, unsigned flags) override {
        return (flags & 0x0F) == mbYesNo ? idNo : idOK;
    }
    bool ExecuteSave(QWidget*, const TFileRequest&, QString&) override { return false; }
    bool ExecuteOpen(QWidget*, const TFileRequest&, QStringList&) override { return false; }
    void ShowReport(QWidget*, const QString&, const QString&) override {}
};

// Delivers a mouse event at the centre of widget, as the pointer would.
void sendMouse(QWidget* widget, QEvent::Type type, Qt::MouseButton button) {
    const QPointF centre = QRectF(widget->rect()).center();
    QMouseEvent event(type, centre, widget->mapToGlobal(centre), button,
                      type == QEvent::MouseMove ? Qt::NoButton : Qt::MouseButtons(button), Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    const QStringList args = QApplication::arguments();
    if (args.size() < 2) {
        std::fprintf(stderr,
                     "usage: window-screenshot OUT.png [--size WxH] [--dpr N] [--hover BTN] [--press BTN]\n");
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

    TAnsweringDialogs dialogs;
    TForm1 form(dialogs);
    form.resize(size);
    form.show();
    QApplication::processEvents();
    // Making the first track the current and only selected one is what clicking it does.
    if (form.Tracks().rowCount() > 0) {
        form.ActiveListBox->setFocus(Qt::MouseFocusReason);
        form.ActiveListBox->setCurrentIndex(form.Tracks().index(0));
    }
    // An empty name would find any button.
    if (auto* button = hover.isEmpty() ? nullptr : form.findChild<TBriskButton*>(hover))
        sendMouse(button, QEvent::MouseMove, Qt::NoButton);
    if (auto* button = press.isEmpty() ? nullptr : form.findChild<TBriskButton*>(press))
        sendMouse(button, QEvent::MouseButtonPress, Qt::LeftButton);
    QApplication::processEvents();

    QImage image;
    if (fromScreen) {
        // The window system draws the frame meanwhile.
        QEventLoop wait;
        QTimer::singleShot(500, &wait, &QEventLoop::quit);
        wait.exec();
        const QRect frame = form.frameGeometry();
        image = form.screen()->grabWindow(0, frame.x(), frame.y(), frame.width(), frame.height()).toImage();
    } else {
        image = QImage(form.size() * dpr, QImage::Format_RGB32);
        image.setDevicePixelRatio(dpr);
        image.fill(Qt::black);
        form.render(&image);
    }
    if (!image.save(args[1])) {
        std::fprintf(stderr, "window-screenshot: cannot write %s\n", qPrintable(args[1]));
        return 1;
    }
    return 0;
}
