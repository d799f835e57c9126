// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/Decoration.h"

#include <QApplication>
#include <QDir>
#include <QFont>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QIcon>
#include <QImage>
#include <QLabel>
#include <QSize>
#include <QString>
#include <algorithm>
#include <array>

#include "app/TForm1.h"
#include "controls/TBriskButton.h"
#include "controls/TBriskPanel.h"
#include "controls/TButtonStyle.h"
#include "platform/TColor.h"

namespace {

// The client tile's bottom-left colour, silver, with the palette-relative flag.
constexpr TColor kClientMask = 46186688; // 0x02C0C0C0

// The sizes of the icon theme's pictures of the window icon beside the icon file's 32 x 32 ones.
constexpr std::array kThemeIconSizes = {16, 48, 64, 128, 256};

QImage picture(const char* name) {
    return QImage(QStringLiteral(":/decoration/") + QLatin1String(name));
}

void decorateButton(TBriskButton& button, const char* glyph) {
    button.SetMaskColor(clBlack);
    button.SetOverStyle(TButtonStyle(bvRaised));
    button.SetNotOverStyle(TButtonStyle(bvNone));
    button.SetDownStyle(TButtonStyle(bvLowered));
    button.SetCanDrag(false);
    button.SetMouseOver(false);
    button.SetGlyph(picture(glyph));
}

// The window's font (MS Sans Serif, 11 pixels) fits every caption into its 35-pixel button. A desktop
// without it puts a wider one in its place: the buttons then narrow theirs until every caption fits
// with a pixel to spare.
void fitCaptions(const std::array<TBriskButton*, 6>& buttons) {
    constexpr std::array kStretches = {100, 95, 90, 87, 85, 80, 75, 70};
    for (const int stretch : kStretches) {
        QFont font = buttons[0]->font();
        font.setStretch(stretch);
        const QFontMetrics metrics(font);
        const bool fits = std::all_of(buttons.begin(), buttons.end(), [&](const TBriskButton* button) {
            const int room = button->width() - 2 * button->Margin();
            // The accelerator's "&" is not drawn but underlines the letter after it.
            return metrics.horizontalAdvance(QString(button->Caption()).remove('&')) + 1 <= room;
        });
        if (fits || stretch == kStretches.back()) {
            for (TBriskButton* button : buttons)
                button->setFont(font);
            return;
        }
    }
}

} // namespace

void DecorateForm(TForm1& form) {
    // The pictures live in a static library, whose resources must be registered by name.
    Q_INIT_RESOURCE(decoration);

    TBriskPanel& toolBar = *form.BriskPanel1;
    toolBar.SetColor(clSkarnBlue);
    toolBar.SetBevelOuter(bvNone);
    toolBar.SetMask(clBlack);

    TBriskPanel& client = *form.BriskPanel2;
    client.SetCaption(QStringLiteral("BriskPanel2"));
    client.SetBevelOuter(bvNone);
    client.SetGlyph(picture("tile.bmp"));
    client.SetShowBitmap(sbTiled);
    client.SetRandomMax(16);
    client.SetRandomMin(8);
    client.SetMask(kClientMask);

    decorateButton(*form.ExitBtn, "exit.bmp");
    decorateButton(*form.ActiveBtn, "start.bmp");
    decorateButton(*form.InactiveBtn, "stop.bmp");
    decorateButton(*form.ArchiveBtn, "store.bmp");
    decorateButton(*form.FetchBtn, "fetch.bmp");
    decorateButton(*form.DeleteBtn, "delete.bmp");
    fitCaptions(
        {form.ExitBtn, form.ActiveBtn, form.InactiveBtn, form.ArchiveBtn, form.FetchBtn, form.DeleteBtn});
    // The label grows to its caption's width (it never shrinks below its laid-out size), so that a
    // wider font than the one it was laid out for does not cut it.
    QLabel& label = *form.Label1;
    label.resize(std::max(label.width(), label.fontMetrics().horizontalAdvance(label.text())),
                 label.height());

    // Two 32 x 32 pictures, of 16 and of 256 colours, and the icon theme's pictures of the other sizes,
    // each drawn for its size, so that task switchers and docks need not enlarge the 32 x 32 one.
    QIcon icon(QStringLiteral(":/decoration/track-manager.ico"));
    for (const int size : kThemeIconSizes)
        icon.addFile(QStringLiteral(":/decoration/hicolor/track-manager-%1.png").arg(size),
                     QSize(size, size));
    form.setWindowIcon(icon);
}

QStringList LoadFallbackFonts(const QStringList& wanted, const QString& folder) {
    for (const QString& family : wanted) {
        if (QFontDatabase::hasFamily(family))
            return {};
    }
    QStringList loaded;
    const QDir fonts(folder);
    for (const QString& file : fonts.entryList({"*.ttf", "*.otf"}, QDir::Files, QDir::Name)) {
        const int id = QFontDatabase::addApplicationFont(fonts.filePath(file));
        if (id < 0)
            continue;
        for (const QString& family : QFontDatabase::applicationFontFamilies(id)) {
            if (!loaded.contains(family))
                loaded.append(family);
        }
    }
    // Message boxes and dialogs take the application's font, which the system names (under Wine,
    // Tahoma). The faces wanted come first: the folder may hold symbol fonts too.
    QFont application = QApplication::font();
    if (!loaded.isEmpty() && !QFontDatabase::hasFamily(application.family())) {
        application.setFamilies(wanted + loaded);
        QApplication::setFont(application);
    }
    return loaded;
}
