#pragma once

#include <QElapsedTimer>
#include <QWidget>
#include <exception>
#include <string>
#include <vector>

#include "app/TDialogs.h"
#include "controls/TBriskButton.h"
#include "controls/TBriskPanel.h"

class QComboBox;
class QFileSystemWatcher;
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

    // Moves every selected track into destinationFolder (ending in a separator).
    // Returns the names of the tracks that were archived but could not be deleted from the game.
    void ArchiveSelected(const std::string& destinationFolder);

    // The catalogue.
    void RefreshTrackList();
    void FillTrackList(const QString& eventType, QListView* listBox);
    void ClearTrackList(QListView* listBox);
    // Draws one item of the list on painter, which the list prepared with its font and the fill and
    // text colours of the item's state.
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
    std::string eventFolder() const;
    std::vector<int> selectedRows() const;
    void say(const QString& text);
    // Start, Stop and the toggle: renames each of rows to its new extension (a null extension toggles),
    // writing the new name into its item, and says what happened.
    void changeExtensions(const std::vector<int>& rows, const char* extension);
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
    std::string m_gameRoot;
    bool m_rebuilding = false;
    int m_busy = 0;  // handlers running (a refresh of the folder waits for them)
    QString m_shown; // "event type\file name" of the track the preview shows
    QString m_dialogFolder;
    int m_progressIntervalMs = 100;
    QFileSystemWatcher* m_watcher = nullptr;
    QTimer* m_folderTimer = nullptr;
    QElapsedTimer m_unfollowedSince; // valid while a change in the folder waits to be followed
};

// The text of the general error report for a failure's message.
QString ErrorReportText(const QString& message);
