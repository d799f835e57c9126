// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QItemSelectionModel>
#include <QLabel>
#include <QListView>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "FakeGame.h"
#include "TScriptedDialogs.h"
#include "TempDir.h"
#include "app/TForm1.h"
#include "app/TTrackListModel.h"

namespace fs = std::filesystem;

QT_BEGIN_NAMESPACE
// Readable QStrings in test failures.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}
QT_END_NAMESPACE

// Points the registry at a fake prefix for one test: the form takes its drives from the prefix that
// holds the game.
class TFormFixture : public ::testing::Test {
protected:
    void SetUp() override {
        if (const char* old = std::getenv("WINEPREFIX"))
            m_oldPrefix = old;
        setPrefix(dir.path() / "pfx");
    }
    void TearDown() override {
        if (m_oldPrefix)
            qputenv("WINEPREFIX", QByteArray::fromStdString(*m_oldPrefix));
        else
            qunsetenv("WINEPREFIX");
    }
    void setPrefix(const fs::path& prefix) {
        qputenv("WINEPREFIX", QByteArray::fromStdString(prefix.string()));
    }

    // The items as "display name|file name", in list order.
    static std::vector<std::string> listed(TForm1& form) {
        std::vector<std::string> out;
        for (int i = 0; i < form.Tracks().rowCount(); ++i)
            out.push_back(form.Tracks().Item(i).DisplayName + "|" + form.Tracks().Item(i).FileName);
        return out;
    }

    // A fake game in the prefix whose event Baja holds tracks, given as (file name, display name).
    void makeGame(const std::vector<std::pair<std::string, std::string>>& bajaTracks) {
        game.emplace(dir.path() / "pfx");
        for (const auto& [fileName, displayName] : bajaTracks)
            game->AddTrack("Baja", fileName, displayName);
        baja = game->EventFolder("Baja");
    }

    // The names of the files in folder.
    static std::set<std::string> filesIn(const fs::path& folder) {
        std::set<std::string> names;
        for (const auto& entry : fs::directory_iterator(folder))
            names.insert(entry.path().filename().string());
        return names;
    }

    static void pickEvent(TForm1& form, int index) {
        form.EventSelectBox->setCurrentIndex(index);
        emit form.EventSelectBox->activated(index);
    }

    TTempDir dir;
    TScriptedDialogs dialogs;
    std::optional<TFakeGame> game;
    fs::path baja; // the event folder Baja of game

private:
    std::optional<std::string> m_oldPrefix;
};

// Shows the window active with the keyboard focus in the list, where the list's keys work.
inline void showWithListFocused(TForm1& form) {
    form.show();
    QApplication::setActiveWindow(&form);
    form.ActiveListBox->setFocus();
    QApplication::processEvents();
}

// Selects the rows (and nothing else) and makes current the given row, as clicks would.
inline void selectRows(TForm1& form, const std::vector<int>& rows, int current) {
    QItemSelectionModel* selection = form.ActiveListBox->selectionModel();
    selection->clearSelection();
    for (const int row : rows)
        selection->select(form.Tracks().index(row), QItemSelectionModel::Select);
    if (current >= 0)
        selection->setCurrentIndex(form.Tracks().index(current), QItemSelectionModel::NoUpdate);
}
