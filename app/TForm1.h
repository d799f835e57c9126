// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QElapsedTimer>
#include <QStringList>
#include <QWidget>
#include <exception>
#include <optional>
#include <string>
#include <vector>

#include "app/TDialogs.h"
#include "controls/TBriskButton.h"
#include "controls/TBriskPanel.h"
#include "platform/NativePath.h"
#include "tracks/TrackOperations.h"
#include "tracks/TrackOutcome.h"

class QComboBox;
class QFrame;
class TFolderWatch;
class QLabel;
class QTimer;
class QListView;
class QPainter;
class QStatusBar;
class TPreviewImage;
class TTrackListModel;

// The main window: tool bar, event selector, track list, preview and status bar.
class TForm1 : public QWidget {
    Q_OBJECT
public:
    // The window's client size at start-up, and the smallest it may become.
    static constexpr int DesignWidth = 332;
    static constexpr int DesignHeight = 431;
    static constexpr int MinimumHeight = 270;

    // Builds the window's controls and runs FormCreate, which reads the game root and fills the list.
    // Message boxes and dialogs go through dialogs, which must outlive the window.
    explicit TForm1(TDialogs& dialogs, QWidget* parent = nullptr);
    ~TForm1() override;

    // Controls, named by role and kind.
    TBriskPanel* BriskPanel1 = nullptr;
    TBriskButton* ExitBtn = nullptr;
    TBriskButton* ActiveBtn = nullptr;
    TBriskButton* InactiveBtn = nullptr;
    TBriskButton* ArchiveBtn = nullptr;
    TBriskButton* FetchBtn = nullptr;
    TBriskButton* DeleteBtn = nullptr;
    QComboBox* EventSelectBox = nullptr;
    QStatusBar* StatusBar = nullptr;
    QLabel* StatusText = nullptr;
    TBriskPanel* BriskPanel2 = nullptr;
    QLabel* Label1 = nullptr;
    TPreviewImage* Preview = nullptr;
    QListView* ActiveListBox = nullptr;

    const std::string& GameRoot() const { return m_gameRoot; }
    TTrackListModel& Tracks() { return *m_tracks; }

    // Event handlers.
    void FormCreate();
    void EventSelectBoxChange();
    void ExitBtnClick();
    void ActiveBtnClick();
    void InactiveBtnClick();
    void ArchiveBtnClick();
    void FetchBtnClick();
    void DeleteBtnClick();
    void ActiveListBoxClick();

    // Moves every selected track into destinationFolder (ending in a separator), and says how it went. A
    // failure that ends the Store is thrown once the status bar has said what was done.
    void ArchiveSelected(const std::string& destinationFolder);
    // Ctrl+Z: undoes the last Delete (the tracks in the trash come back) or Start, Stop or switch (the
    // tracks get their names back), never replacing a file, and says what was undone and what not.
    void UndoLast();

    // The catalogue.
    void RefreshTrackList();
    void FillTrackList(const QString& eventType, QListView* listBox);
    void ClearTrackList(QListView* listBox);
    // The list's draw-item handler, the one place that draws an item (TTrackItemDelegate calls it):
    // draws item index in rect on painter, which the list prepared with its font and the fill and text
    // colours of the item's state.
    void ActiveListBoxDrawItem(QPainter& painter, int index, const QRect& rect);

    // The general error report: a message box captioned "Track manager" with the error icon, the
    // failure's message with a full stop appended when its last character sorts after ".".
    void ShowError(const std::exception& failure);

    // Enter or a double-click: makes each selected track (the current one when none is selected)
    // inactive when it is active and active when it is inactive.
    void ToggleTracks();
    // Rebuilds the list from the folder (F5), keeping the selection, the current item and the scroll
    // position where their tracks are still listed.
    void ReloadTrackList();
    // Brings the list up to date with the folder after changes seen there: only new and changed track
    // files are read, and only their rows change; the selection, the current item and the scroll
    // position stay.
    void UpdateTrackList();
    // Fetches these files into the shown event type, as Fetch does with the files chosen in its dialog.
    void FetchFiles(const QStringList& paths);
    // The last operation's full report (every track, its fate and why), shown by a click on the status bar
    // and by Ctrl+R.
    const QString& LastReport() const { return m_report; }

    // How often long operations update their progress and let the window paint, in milliseconds.
    void SetProgressInterval(int ms) { m_progressIntervalMs = ms; }
    // The list follows changes in the shown folder once no change has come for FolderSettleMs, and at
    // the latest FolderMaxDelayMs after the first change it has not followed yet, in milliseconds.
    static constexpr int FolderSettleMs = 200;
    static constexpr int FolderMaxDelayMs = 1000;

signals:
    // A long operation shows its progress: done of total tracks.
    void Progressed(qsizetype done, qsizetype total);

protected:
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void createControls();
    void layoutControls();
    void ReadGameRoot();
    // Says in the status bar when the game found is the demo installation of tools/demo-game.
    void showDemoNotice();
    // Runs one event handler; a failure ends it and is shown by the general error report.
    template <class F> void guarded(F&& handler);
    // The folder of the event chosen in the box, or of eventType, its drive placed in the game's prefix.
    std::string eventFolder() const;
    std::string eventFolderOf(const QString& eventType) const;
    std::vector<int> selectedRows() const;
    // The tracks of rows in the shown event folder, and their display names, in list order.
    std::vector<TTrackFile> tracksOf(const std::vector<int>& rows) const;
    QStringList namesOf(const std::vector<int>& rows) const;

    // What the status bar shows, so that what comes next knows whether to replace it.
    enum class TStatusShows {
        Nothing,
        FolderState, // the count of tracks, or that the event folder or the game is missing
        Track,       // the current track's path
        Outcome,     // what an operation did, or another message for the player
    };
    // Shows text in the status bar; whole (text when empty) is its tooltip.
    void say(const QString& text, TStatusShows shows = TStatusShows::Outcome, const QString& whole = {});
    // After a fill: the count of tracks when the status bar has nothing else to say, or the missing folder.
    void sayFolderState();
    QString countText() const;
    // F5: reads the folder again and says so.
    void readFolderAgain();
    void showReport();
    // The outcome of an operation in the status bar (paths in where shortened, in wholeWhere whole) and
    // in the report.
    void report(const TOperationReport& done, const QStringList& names, const QString& where,
                const QString& wholeWhere);
    void rememberUndo(const TOperationReport& done, const QStringList& names);
    // Asks once, when tracks to fetch have their other state in the event folder ("t.env" beside
    // "t.~env"), whether those go to make room; Skip when there are none or the answer is No.
    TTwinChoice askAboutTwins(const std::vector<std::string>& sources);
    // Start, Stop and the toggle: renames each of rows, writing the new name into its item, and says
    // what happened.
    void changeExtensions(const std::vector<int>& rows, TTrackOperation operation);
    // The current item's track in the status bar and the preview, unless they show it already.
    void showCurrent();
    void watchShownFolder();
    // A change seen in the shown folder: (re)starts the wait for the folder to settle.
    void folderTouched();
    void folderChanged();
    // Runs change on the list, then brings back the selection, the current item and the scroll
    // position if the rows were reset.
    template <class F> void keepingSelection(F&& change);
    void wireKeys();
    // The folder that dialogs start in, and the one to start in next time, from a chosen path.
    QString dialogFolder() const { return m_dialogFolder; }
    void rememberDialogFolder(const QString& chosenPath);

    struct TRebuilding;

    TDialogs& m_dialogs;
    TTrackListModel* m_tracks = nullptr;
    std::string m_gameRoot;   // as the registry has it
    TWinePrefix m_winePrefix; // where the game's drive paths lead, decided once at start
    bool m_rebuilding = false;
    int m_busy = 0;  // handlers running (a refresh of the folder waits for them)
    QString m_shown; // "event type\file name" of the track the preview shows
    QString m_dialogFolder;
    TStatusShows m_statusShows = TStatusShows::Nothing;
    QString m_report;       // the last operation's full report
    QString m_notInstalled; // where the game was looked for, when it was not found
    std::optional<TOperationReport> m_undo;
    QStringList m_undoNames;       // the display names of m_undo's tracks
    QFrame* m_dropFrame = nullptr; // shows the list taking a drop of track files
    int m_progressIntervalMs = 100;
    TFolderWatch* m_watcher = nullptr;
    QTimer* m_folderTimer = nullptr;
    QElapsedTimer m_unfollowedSince; // valid while a change in the folder waits to be followed
};

// The text of the general error report for a failure's message.
QString ErrorReportText(const QString& message);
