#pragma once

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

    // Moves every selected track into destinationFolder (ending in a separator); the status bar then
    // names the tracks that were archived but could not be deleted from the game.
    void ArchiveSelected(const std::string& destinationFolder);

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
    // Rebuilds the list from the folder (F5, and changes seen in the folder), keeping the selection and
    // the current item where their tracks are still listed.
    void ReloadTrackList();
    // Fetches these files into the shown event type, as Fetch does with the files chosen in its dialog.
    void FetchFiles(const QStringList& paths);

    // How often long operations update their progress and let the window paint, in milliseconds.
    void SetProgressInterval(int ms) { m_progressIntervalMs = ms; }
    // How long after a change in the shown folder the list is rebuilt, in milliseconds.
    static constexpr int FolderSettleMs = 250;

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
    void folderChanged();
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
};

// The text of the general error report for a failure's message.
QString ErrorReportText(const QString& message);
