// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

class QWidget;

// Message boxes and file dialogs, behind one interface that the window is given, so tests can
// answer them and read what was shown.
class TDialogs {
public:
    // Message-box flags and results, with the values that Windows' MessageBox takes and returns.
    enum : unsigned {
        mbOK = 0x00,
        mbYesNo = 0x04,
        mbIconError = 0x10,
        mbIconWarning = 0x30,
        // The second button (No) is the default, so that Enter does not answer Yes.
        mbDefButton2 = 0x100,
    };
    enum : int { idOK = 1, idYes = 6, idNo = 7 };

    struct TFileRequest {
        QString title;
        // Pairs of a name and its patterns: "Name|pattern;pattern|Name|pattern".
        QString filter;
        QString fileName;
        QString initialDir;
    };

    virtual ~TDialogs() = default;

    // Shows a modal message box owned by owner; returns the button pressed (idOK, idYes, idNo).
    virtual int MessageBox(QWidget* owner, const QString& text, const QString& caption, unsigned flags) = 0;
    // The save dialog: true with the chosen path, false when cancelled.
    virtual bool ExecuteSave(QWidget* owner, const TFileRequest& request, QString& chosen) = 0;
    // The open dialog with multi-selection: true with the chosen paths, false when cancelled.
    virtual bool ExecuteOpen(QWidget* owner, const TFileRequest& request, QStringList& chosen) = 0;
    // Shows a long text (the last operation's report) in a modal window captioned caption, until closed.
    virtual void ShowReport(QWidget* owner, const QString& text, const QString& caption) = 0;
};

// The real dialogs of the desktop.
class TQtDialogs : public TDialogs {
public:
    int MessageBox(QWidget* owner, const QString& text, const QString& caption, unsigned flags) override;
    bool ExecuteSave(QWidget* owner, const TFileRequest& request, QString& chosen) override;
    bool ExecuteOpen(QWidget* owner, const TFileRequest& request, QStringList& chosen) override;
    void ShowReport(QWidget* owner, const QString& text, const QString& caption) override;
};

// "Archived tracks|*.env;*.~env" as the name filter of a Qt file dialog: "Archived tracks (*.env *.~env)".
// Several pairs ("Archived tracks|*.env;*.~env|Track archives|*.zip") become Qt's filters separated by
// ";;", in their order.
QString QtNameFilter(const QString& filter);
