// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/TDialogs.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QSpacerItem>
#include <QVBoxLayout>

#include "platform/ScopeExit.h"

namespace {

// Room in a title bar beside the caption: the icon and the window buttons.
constexpr int TitleBarExtras = 160;

// The box sizes itself to its text; a short text would cut its caption in the title bar. Called once its
// buttons and icon are set, since setting them lays the box out anew.
int execWithWholeCaption(QMessageBox& box) {
    if (auto* grid = qobject_cast<QGridLayout*>(box.layout())) {
        const int wanted = box.fontMetrics().horizontalAdvance(box.windowTitle()) + TitleBarExtras;
        grid->addItem(new QSpacerItem(wanted, 0, QSizePolicy::Minimum, QSizePolicy::Minimum),
                      grid->rowCount(), 0, 1, grid->columnCount());
    }
    return box.exec();
}

} // namespace

int TQtDialogs::MessageBox(QWidget* owner, const QString& text, const QString& caption, unsigned flags) {
    // A box owned by a window that is not shown yet (the start-up's questions) would be placed on that
    // window's unshown frame in the screen's corner; without an owner it is centred on the screen.
    QMessageBox box(owner && owner->isVisible() ? owner : nullptr);
    box.setWindowModality(Qt::ApplicationModal);
    // Keys go to the owner's window again once the box is answered (Ctrl+Z right after a Delete), also
    // where no window manager hands the focus back.
    const TScopeExit refocus([&] {
        if (owner && owner->isVisible())
            owner->window()->activateWindow();
    });
    box.setWindowTitle(caption);
    box.setText(text);

    switch (flags & 0xF0) {
    case mbIconError:
        box.setIcon(QMessageBox::Critical);
        break;
    case mbIconWarning:
        box.setIcon(QMessageBox::Warning);
        break;
    default:
        box.setIcon(QMessageBox::NoIcon);
        break;
    }
    if ((flags & 0x0F) == mbYesNo) {
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton((flags & mbDefButton2) ? QMessageBox::No : QMessageBox::Yes);
        box.setEscapeButton(QMessageBox::No);
        return execWithWholeCaption(box) == QMessageBox::Yes ? idYes : idNo;
    }
    box.setStandardButtons(QMessageBox::Ok);
    execWithWholeCaption(box);
    return idOK;
}

QString QtNameFilter(const QString& filter) {
    const QStringList parts = filter.split('|');
    if (parts.size() < 2)
        return filter;
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString patterns = parts[i + 1];
        patterns.replace(';', ' ');
        filters.push_back(parts[i] + " (" + patterns + ")");
    }
    return filters.join(";;");
}

namespace {

void prepare(QFileDialog& dialog, const TDialogs::TFileRequest& request) {
    dialog.setWindowTitle(request.title);
    dialog.setNameFilter(QtNameFilter(request.filter));
    if (!request.initialDir.isEmpty())
        dialog.setDirectory(request.initialDir);
    if (!request.fileName.isEmpty())
        dialog.selectFile(request.fileName);
}

} // namespace

bool TQtDialogs::ExecuteSave(QWidget* owner, const TFileRequest& request, QString& chosen) {
    QFileDialog dialog(owner);
    prepare(dialog, request);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    // The chosen name only names a folder; an existing file there is replaced without a question.
    dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return false;
    chosen = dialog.selectedFiles().constFirst();
    return true;
}

bool TQtDialogs::ExecuteOpen(QWidget* owner, const TFileRequest& request, QStringList& chosen) {
    QFileDialog dialog(owner);
    prepare(dialog, request);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    // Qt's dialog offers multi-selection only for existing files, so it checks a typed name itself
    // rather than leaving that to the copy.
    dialog.setFileMode(QFileDialog::ExistingFiles);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return false;
    chosen = dialog.selectedFiles();
    return true;
}

void TQtDialogs::ShowReport(QWidget* owner, const QString& text, const QString& caption) {
    QDialog dialog(owner);
    dialog.setWindowTitle(caption);
    auto* layout = new QVBoxLayout(&dialog);
    auto* view = new QPlainTextEdit(text, &dialog);
    view->setReadOnly(true);
    view->setLineWrapMode(QPlainTextEdit::NoWrap);
    layout->addWidget(view);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, &dialog);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    layout->addWidget(buttons);
    dialog.resize(520, 360);
    dialog.exec();
}
