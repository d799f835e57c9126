#pragma once

#include <QWidget>
#include <exception>
#include <string>
#include <vector>

#include "app/TDialogs.h"
#include "controls/TBriskButton.h"
#include "controls/TBriskPanel.h"

class QComboBox;
class QLabel;
class QListView;
class QPainter;
class QStatusBar;
class TPreviewImage;
class TTrackListModel;

// The main window: tool bar, event selector, track list, preview and status bar.
class TForm1 : public QWidget {
    Q_OBJECT
public:
    // The window's client size as designed, and the smallest it may become.
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
    std::vector<std::string> ArchiveSelected(const std::string& destinationFolder);

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

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void createControls();
    void layoutControls();
    void ReadGameRoot();
    // Runs one event handler; a failure ends it and is shown by the general error report.
    template <class F> void guarded(F&& handler);
    std::string eventFolder() const;
    std::vector<int> selectedRows() const;
    // Start and Stop: renames each selected track to the extension, writing the new name into its item.
    void changeSelectedExtensions(const char* extension);

    struct TRebuilding;

    TDialogs& m_dialogs;
    TTrackListModel* m_tracks = nullptr;
    std::string m_gameRoot;
    bool m_rebuilding = false;
};

// The text of the general error report for a failure's message.
QString ErrorReportText(const QString& message);
