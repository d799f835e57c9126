// SPDX-License-Identifier: GPL-3.0-or-later
#include "BitmapPng.h"

#include <QFile>
#include <QImageWriter>
#include <QSaveFile>
#include <filesystem>
#include <system_error>

#include "Commands.h"
#include "controls/BitmapImage.h"
#include "platform/NativePath.h"
#include "platform/TBitmap.h"

void WriteBitmapPng(const TBitmap& bitmap, const std::string& path) {
    // The toolkit's view of the bitmap, as the window paints it; its PNG writer checks sizes and
    // every write. The file is written under a temporary name and takes its own only when complete.
    const QImage image = BitmapImage(bitmap);
    if (image.isNull())
        throw ECommandFailed("cannot write " + path + ": the picture is empty");
    // Windows-style paths name a file as everywhere else in the program.
    const std::string native = NativePath(path);
    const QString name = QFile::decodeName(native.c_str());
    const auto fail = [&](const QString& why) {
        return ECommandFailed("cannot write " + path + ": " + why.toStdString());
    };

    // A device or a pipe (/dev/stdout, /dev/full) is written to as it is: a file put in its place would
    // replace the device.
    std::error_code error;
    const std::filesystem::file_status status = std::filesystem::status(native, error);
    if (!error && std::filesystem::exists(status) && !std::filesystem::is_regular_file(status)) {
        QFile device(name);
        if (!device.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
            throw fail(device.errorString());
        QImageWriter writer(&device, "png");
        if (!writer.write(image))
            throw fail(writer.errorString());
        return;
    }

    QSaveFile file(name);
    if (!file.open(QIODevice::WriteOnly))
        throw fail(file.errorString());
    QImageWriter writer(&file, "png");
    if (!writer.write(image))
        throw fail(writer.errorString());
    if (!file.commit())
        throw fail(file.errorString());
}
