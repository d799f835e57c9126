#include "app/TDialogs.h"

#include <QFileDialog>
#include <QMessageBox>

int TQtDialogs::MessageBox(QWidget* owner, const QString& text, const QString& caption, unsigned flags) {
    QMessageBox box(owner);
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
        return box.exec() == QMessageBox::Yes ? idYes : idNo;
    }
    box.setStandardButtons(QMessageBox::Ok);
    box.exec();
    return idOK;
}

QString QtNameFilter(const QString& filter) {
    const qsizetype bar = filter.indexOf('|');
    if (bar < 0)
        return filter;
    QString patterns = filter.mid(bar + 1);
    patterns.replace(';', ' ');
    return filter.left(bar) + " (" + patterns + ")";
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
