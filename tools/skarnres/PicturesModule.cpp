// SPDX-License-Identifier: GPL-3.0-or-later
#include <QFont>
#include <QGuiApplication>
#include <QSysInfo>

#include "BitmapPng.h"
#include "Pictures.h"
#include "app/PreviewPainting.h"

namespace {

void withToolkit(const std::function<void()>& work) {
    // Text needs the toolkit's fonts; no window is shown. Windows draws text without a display, and its
    // platform plugin has the system's fonts.
    if (QSysInfo::kernelType() != "winnt" && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    int argc = 1;
    char name[] = "skarnres";
    char* argv[] = {name, nullptr};
    const QGuiApplication application(argc, argv);
    work();
}

void paintNoPreview(TBitmap& bitmap) {
    PaintNoPreview(bitmap, WindowFont());
}

const TPictureFunctions functions{withToolkit, PaintPreviewBackground, paintNoPreview, WriteBitmapPng};

} // namespace

extern "C" const TPictureFunctions* SkarnresPictures() {
    return &functions;
}
