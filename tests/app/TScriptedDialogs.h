// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>
#include <deque>
#include <vector>

#include "app/TDialogs.h"

// Dialog answers given in advance, and a record of every message box shown.
class TScriptedDialogs : public TDialogs {
public:
    struct TShown {
        QString text;
        QString caption;
        unsigned flags;
    };

    int MessageBox(QWidget*, const QString& text, const QString& caption, unsigned flags) override {
        shown.push_back({text, caption, flags});
        if (answers.empty())
            return (flags & 0x0F) == mbYesNo ? idNo : idOK;
        const int answer = answers.front();
        answers.pop_front();
        return answer;
    }
    bool ExecuteSave(QWidget*, const TFileRequest& request, QString& chosen) override {
        requests.push_back(request);
        if (saveAnswers.empty())
            return false;
        chosen = saveAnswers.front();
        saveAnswers.pop_front();
        return !chosen.isEmpty();
    }
    bool ExecuteOpen(QWidget*, const TFileRequest& request, QStringList& chosen) override {
        requests.push_back(request);
        if (openAnswers.empty())
            return false;
        chosen = openAnswers.front();
        openAnswers.pop_front();
        return !chosen.isEmpty();
    }

    void ShowReport(QWidget*, const QString& text, const QString& caption) override {
        reports.push_back({text, caption, 0});
    }

    std::vector<TShown> shown;
    std::vector<TShown> reports;
    std::vector<TFileRequest> requests;
    std::deque<int> answers;
    std::deque<QString> saveAnswers;     // "" cancels
    std::deque<QStringList> openAnswers; // empty cancels
};
