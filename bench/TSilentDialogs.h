// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/TDialogs.h"

// Dialogs for a window driven by a benchmark: every question answered OK, every file dialog cancelled.
class TSilentDialogs : public TDialogs {
public:
    int MessageBox(QWidget*, const QString&, const QString&, unsigned) override { return idOK; }
    bool ExecuteSave(QWidget*, const TFileRequest&, QString&) override { return false; }
    bool ExecuteOpen(QWidget*, const TFileRequest&, QStringList&) override { return false; }
    void ShowReport(QWidget*, const QString&, const QString&) override {}
};
