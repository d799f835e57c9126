// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/TForm1.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QDropEvent>
#include <QFileInfo>
#include <QFrame>
#include <QLabel>
#include <QListView>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QShortcut>
#include <QStatusBar>
#include <QTimer>
#include <QUrl>
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <new>
#include <system_error>
#include <unordered_map>
#include <unordered_set>

#include "app/Decoration.h"
#include "app/LetterColours.h"
#include "app/PlayerTexts.h"
#include "app/PreviewPainting.h"
#include "app/TFolderWatch.h"
#include "app/TPreviewImage.h"
#include "app/TStatusLabel.h"
#include "app/TTrackItemDelegate.h"
#include "app/TTrackListModel.h"
#include "app/TTrackWork.h"
#include "app/TrackRemoval.h"
#include "controls/SysColors.h"
#include "platform/Exceptions.h"
#include "platform/NativePath.h"
#include "platform/ScopeExit.h"
#include "platform/TColor.h"
#include "tracks/GameLocation.h"
#include "tracks/TTrackArchive.h"
#include "tracks/TrackCatalogue.h"
#include "tracks/TrackOperations.h"
#include "tracks/TrackPreview.h"

namespace {

// caption carries its accelerator ("S&top": Alt+T), which the hint names after the button's own hint.
TBriskButton* makeButton(QWidget* parent, int left, const char* caption, const char* hint, const char* keys) {
    auto* button = new TBriskButton(parent);
    button->SetCaption(QString::fromLatin1(caption));
    button->setGeometry(left, 3, 35, 36);
    button->SetHint(QString::fromLatin1(hint) + " (" + QString::fromLatin1(keys) + ")");
    button->SetShowHint(true);
    // For screen readers: the caption as the eye reads it, and what the button does.
    button->setAccessibleName(QString::fromLatin1(caption).remove('&'));
    button->setAccessibleDescription(QString::fromLatin1(hint));
    return button;
}

// Tells screen readers that the tool-bar buttons are buttons, and lets them press one.
class TButtonAccessible : public QAccessibleWidget {
public:
    explicit TButtonAccessible(QWidget* button) : QAccessibleWidget(button, QAccessible::Button) {}
    QStringList actionNames() const override { return {pressAction()}; }
    void doAction(const QString& action) override {
        if (action == pressAction() && widget()->isEnabled())
            static_cast<TSpeedButton*>(widget())->Click();
    }
};

QAccessibleInterface* buttonAccessible(const QString&, QObject* object) {
    if (auto* button = qobject_cast<TSpeedButton*>(object))
        return new TButtonAccessible(button);
    return nullptr;
}

} // namespace

QString ErrorReportText(const QString& message) {
    if (!message.isEmpty() && message.back() > QChar('.'))
        return message + '.';
    return message;
}

TForm1::TForm1(TDialogs& dialogs, QWidget* parent) : QWidget(parent), m_dialogs(dialogs) {
    createControls();
    DecorateForm(*this);
    FormCreate();
}

TForm1::~TForm1() = default;

void TForm1::createControls() {
    static const bool accessibleButtons = (QAccessible::installFactory(buttonAccessible), true);
    (void)accessibleButtons;
    setWindowTitle("Skarn2 Track manager");
    setFont(WindowFont());
    resize(DesignWidth, DesignHeight);
    setMinimumSize(DesignWidth, MinimumHeight);

    // The controls are created bottom first: creation order is the stacking order.
    BriskPanel1 = new TBriskPanel(this);
    BriskPanel1->setObjectName("BriskPanel1");

    InactiveBtn = makeButton(BriskPanel1, 80, "S&top", "Make selected tracks inactive",
                             "Alt+T; Enter switches a track");
    ActiveBtn =
        makeButton(BriskPanel1, 45, "&Start", "Make selected tracks active", "Alt+S; Enter switches a track");
    ExitBtn = makeButton(BriskPanel1, 4, "E&xit", "Exit track manager", "Alt+X");
    ArchiveBtn = makeButton(BriskPanel1, 120, "Sto&re", "Archive selected tracks", "Alt+R");
    DeleteBtn = makeButton(BriskPanel1, 196, "&Delete", "Delete selected tracks", "Del or Alt+D");
    FetchBtn =
        makeButton(BriskPanel1, 155, "&Fetch", "Fetch archived tracks", "Alt+F; or drop files on the list");
    ExitBtn->setObjectName("ExitBtn");
    ActiveBtn->setObjectName("ActiveBtn");
    InactiveBtn->setObjectName("InactiveBtn");
    ArchiveBtn->setObjectName("ArchiveBtn");
    FetchBtn->setObjectName("FetchBtn");
    DeleteBtn->setObjectName("DeleteBtn");

    EventSelectBox = new QComboBox(BriskPanel1);
    EventSelectBox->setObjectName("EventSelectBox");
    EventSelectBox->setAccessibleName("Event type");
    EventSelectBox->setToolTip("The event type whose tracks are listed (F5 reads its folder again)");
    EventSelectBox->setGeometry(234, 11, 91, 21);
    for (const char* eventType : EventTypes)
        EventSelectBox->addItem(QString::fromLatin1(eventType));
    // No event type is shown until FormCreate selects the first one.
    EventSelectBox->setCurrentIndex(-1);

    StatusBar = new QStatusBar(this);
    StatusBar->setObjectName("StatusBar");
    StatusBar->setSizeGripEnabled(false);
    StatusText = new TStatusLabel(StatusBar);
    StatusBar->addWidget(StatusText, 1);
    // A click on the status bar, or Ctrl+R, opens the last operation's full report.
    StatusText->installEventFilter(this);
    StatusBar->setAccessibleDescription("Click or press Ctrl+R for the last operation's report");

    BriskPanel2 = new TBriskPanel(this);
    BriskPanel2->setObjectName("BriskPanel2");
    BriskPanel2->setAccessibleName("BriskPanel2");

    Label1 = new QLabel("Active", BriskPanel2);
    Label1->setObjectName("Label1");
    Label1->setGeometry(5, 135, 30, 13);
    Label1->setAutoFillBackground(true);
    QPalette silver = Label1->palette();
    silver.setColor(QPalette::Window, QColorOf(clSilver, palette()));
    Label1->setPalette(silver);

    Preview = new TPreviewImage(BriskPanel2);
    Preview->setObjectName("Preview");
    Preview->setAccessibleName("Track preview");
    Preview->setGeometry(42, 6, 285, 139);

    m_tracks = new TTrackListModel(this);
    ActiveListBox = new QListView(BriskPanel2);
    ActiveListBox->setObjectName("ActiveListBox");
    ActiveListBox->setAccessibleName("Tracks");
    ActiveListBox->setGeometry(4, 151, 325, 211);
    ActiveListBox->setModel(m_tracks);
    ActiveListBox->setItemDelegate(new TTrackItemDelegate(
        *m_tracks,
        [this](QPainter& painter, int index, const QRect& rect) {
            ActiveListBoxDrawItem(painter, index, rect);
        },
        ActiveListBox));
    ActiveListBox->setSelectionMode(QAbstractItemView::ExtendedSelection);
    ActiveListBox->setUniformItemSizes(true);
    // Items are as wide as the widest name, so that the horizontal scroll bar shows only when a name is
    // wider than the list.
    ActiveListBox->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    ActiveListBox->setEditTriggers(QAbstractItemView::NoEditTriggers);

    // Tab order within each parent: the selector on the tool bar, the list on the client area.
    setTabOrder(EventSelectBox, ActiveListBox);

    // Every move of the current item (clicks, arrows, Ctrl+arrows, Shift+End) and every change of the
    // selection (also a Ctrl-click that deselects) shows the current item; rebuilds of the list do not.
    connect(ActiveListBox->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
        if (!m_rebuilding)
            guarded([this] { showCurrent(); });
    });
    connect(ActiveListBox->selectionModel(), &QItemSelectionModel::currentChanged, this, [this] {
        if (!m_rebuilding)
            guarded([this] { showCurrent(); });
    });

    // Files dropped from a file manager are fetched.
    ActiveListBox->setAcceptDrops(true);
    ActiveListBox->viewport()->setAcceptDrops(true);
    ActiveListBox->viewport()->installEventFilter(this);
    m_dropFrame = new QFrame(ActiveListBox);
    m_dropFrame->setFrameStyle(QFrame::Box | QFrame::Plain);
    m_dropFrame->setLineWidth(2);
    m_dropFrame->setForegroundRole(QPalette::Highlight);
    m_dropFrame->setAttribute(Qt::WA_TransparentForMouseEvents);
    m_dropFrame->hide();

    // Changes in the shown event folder from outside are followed once they settle.
    m_watcher = new TFolderWatch(this);
    m_folderTimer = new QTimer(this);
    m_folderTimer->setSingleShot(true);
    connect(m_watcher, &TFolderWatch::Touched, this, &TForm1::folderTouched);
    connect(m_folderTimer, &QTimer::timeout, this, &TForm1::folderChanged);
    m_dialogFolder = QDir::homePath();
    wireKeys();
    connect(EventSelectBox, &QComboBox::activated, this,
            [this] { guarded([this] { EventSelectBoxChange(); }); });
    ExitBtn->OnClick = [this](QObject*) { guarded([this] { ExitBtnClick(); }); };
    ActiveBtn->OnClick = [this](QObject*) { guarded([this] { ActiveBtnClick(); }); };
    InactiveBtn->OnClick = [this](QObject*) { guarded([this] { InactiveBtnClick(); }); };
    ArchiveBtn->OnClick = [this](QObject*) { guarded([this] { ArchiveBtnClick(); }); };
    FetchBtn->OnClick = [this](QObject*) { guarded([this] { FetchBtnClick(); }); };
    DeleteBtn->OnClick = [this](QObject*) { guarded([this] { DeleteBtnClick(); }); };
    layoutControls();
}

void TForm1::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    layoutControls();
}

// Keeps the window's anchors: the tool bar on top and the status bar at the bottom at their heights,
// the client area filling the rest, the preview at its distance from the right edge, and the list
// growing in both directions.
void TForm1::layoutControls() {
    const int w = width();
    const int h = height();
    constexpr int ToolBarHeight = 42;
    constexpr int StatusHeight = 19;
    BriskPanel1->setGeometry(0, 0, w, ToolBarHeight);
    StatusBar->setGeometry(0, h - StatusHeight, w, StatusHeight);
    const int clientHeight = h - ToolBarHeight - StatusHeight;
    BriskPanel2->setGeometry(0, ToolBarHeight, w, clientHeight);

    constexpr int PanelWidth = DesignWidth;
    constexpr int PanelHeight = DesignHeight - ToolBarHeight - StatusHeight;
    Preview->move(w - (PanelWidth - 42), 6);
    ActiveListBox->setGeometry(4, 151, w - (PanelWidth - 325), clientHeight - (PanelHeight - 211));
}

// A rebuild is no click on the list: the selection changes it makes must not run the click handler.
struct TForm1::TRebuilding {
    bool& flag;
    const bool before;
    explicit TRebuilding(bool& f) : flag(f), before(f) { flag = true; }
    ~TRebuilding() { flag = before; }
};

template <class F> void TForm1::guarded(F&& handler) {
    // While a handler runs (and the dialogs it shows are open), changes in the folder wait.
    ++m_busy;
    const TScopeExit idle([this] { --m_busy; });
    try {
        handler();
    } catch (const std::bad_alloc&) {
        ShowError(EOutOfMemory());
    } catch (const std::exception& failure) {
        ShowError(failure);
    }
}

void TForm1::ShowError(const std::exception& failure) {
    m_dialogs.MessageBox(this, ErrorReportText(FailureMessage(failure)), "Track manager",
                         TDialogs::mbOK | TDialogs::mbIconError);
}

void TForm1::FormCreate() {
    guarded([this] {
        ReadGameRoot();
        EventSelectBox->setCurrentIndex(0);
        RefreshTrackList();
        // The preview's bitmap is made at the control's size on first use.
        TBitmap& bitmap = Preview->Bitmap();
        if (bitmap.Empty())
            bitmap.SetSize(Preview->width(), Preview->height());
        PaintPreviewBackground(bitmap);
        Preview->update();
    });
    showDemoNotice();
}

void TForm1::showDemoNotice() {
    // The registry lookup has chosen the prefix by now.
    if (const std::string demo = DemoInstallationPrefix(m_winePrefix); !demo.empty())
        say("Demo installation in use: " + QString::fromStdString(demo));
}

void TForm1::ReadGameRoot() {
    const TGameLocation location = LocateGame();
    if (!location.Report.empty())
        std::fprintf(stderr, "track manager: %s\n", location.Report.c_str());
    m_winePrefix = location.Prefix;
    if (location.Installed) {
        m_gameRoot = location.GameRoot;
    } else {
        m_dialogs.MessageBox(this, "Skarn2 doesn't seem to be installed.", "Registry error", TDialogs::mbOK);
        // Said again in the status bar once the window is open, with where the game was looked for.
        m_notInstalled =
            location.Report.empty()
                ? "No game found: the registry has no HKEY_LOCAL_MACHINE\\" +
                      QString::fromStdString(GameRegistryKey)
                : "No game found: " + QString::fromStdString(location.Report) +
                      "; start the program with WINEPREFIX set to the game's Wine prefix to pick it";
    }
}

void TForm1::EventSelectBoxChange() {
    RefreshTrackList();
}

void TForm1::ExitBtnClick() {
    close();
}

std::string TForm1::eventFolder() const {
    return eventFolderOf(EventSelectBox->currentText());
}

std::string TForm1::eventFolderOf(const QString& eventType) const {
    return m_winePrefix.Place(EventFolder(m_gameRoot, eventType.toStdString()));
}

std::vector<int> TForm1::selectedRows() const {
    std::vector<int> rows;
    const QItemSelectionModel* selection = ActiveListBox->selectionModel();
    for (int row = 0; row < m_tracks->rowCount(); ++row) {
        if (selection->isRowSelected(row))
            rows.push_back(row);
    }
    return rows;
}

void TForm1::say(const QString& text, TStatusShows shows, const QString& whole) {
    m_statusShows = shows;
    StatusText->setText(text);
    StatusText->setToolTip(whole.isEmpty() ? text : whole);
    StatusText->repaint();
}

namespace {

const char* const ArchiveFilter = "Archived tracks|*.env;*.~env";

// Fetch also opens downloaded archives, under a filter of their own after the archived tracks.
QString fetchFilter() {
    std::string patterns;
    for (const std::string& pattern : ArchivePatterns())
        patterns += (patterns.empty() ? "" : ";") + pattern;
    return QString(ArchiveFilter) + "|Track archives|" + QString::fromStdString(patterns);
}

QString fromStd(const std::string& text) {
    return QString::fromStdString(text);
}

} // namespace

std::vector<TTrackFile> TForm1::tracksOf(const std::vector<int>& rows) const {
    const std::string folder = eventFolder();
    std::vector<TTrackFile> tracks;
    tracks.reserve(rows.size());
    for (const int row : rows)
        tracks.push_back(TTrackFile{folder, m_tracks->Item(row).FileName});
    return tracks;
}

QStringList TForm1::namesOf(const std::vector<int>& rows) const {
    QStringList names;
    for (const int row : rows)
        names.push_back(m_tracks->data(m_tracks->index(row), Qt::DisplayRole).toString());
    return names;
}

void TForm1::report(const TOperationReport& done, const QStringList& names, const QString& where,
                    const QString& wholeWhere) {
    say(OperationStatus(done, names, where), TStatusShows::Outcome, OperationStatus(done, names, wholeWhere));
    m_report = OperationReport(done, names, wholeWhere);
}

void TForm1::changeExtensions(const std::vector<int>& rows, TTrackOperation operation) {
    if (rows.empty()) {
        say("No track is selected.");
        return;
    }
    TOperationReport done;
    {
        const QString verb = operation == TTrackOperation::Toggle  ? "Switching"
                             : operation == TTrackOperation::Start ? "Starting"
                                                                   : "Stopping";
        TTrackWork work(*StatusText, verb, static_cast<qsizetype>(rows.size()), m_progressIntervalMs,
                        [this](qsizetype index, qsizetype total) { emit Progressed(index, total); });
        const std::vector<TTrackFile> tracks = tracksOf(rows);
        done = operation == TTrackOperation::Start  ? Start(tracks, work.progress())
               : operation == TTrackOperation::Stop ? Stop(tracks, work.progress())
                                                    : Toggle(tracks, work.progress());
    }
    // A failed rename leaves its item as it was. Only the letters change: no rebuild, so names, order,
    // selection and current item stay.
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (done.Tracks[i].Fate == TTrackFate::Done)
            m_tracks->SetFileName(rows[i], done.Tracks[i].Result);
    }
    ActiveListBox->viewport()->update();
    const QStringList names = namesOf(rows);
    report(done, names, {}, {});
    rememberUndo(done, names);
}

void TForm1::rememberUndo(const TOperationReport& done, const QStringList& names) {
    if (done.Count(TTrackFate::Done) + done.Count(TTrackFate::Trashed) == 0)
        return;
    m_undo = done;
    m_undoNames = names;
}

void TForm1::ActiveBtnClick() {
    changeExtensions(selectedRows(), TTrackOperation::Start);
}

void TForm1::InactiveBtnClick() {
    changeExtensions(selectedRows(), TTrackOperation::Stop);
}

void TForm1::ToggleTracks() {
    std::vector<int> rows = selectedRows();
    const int current = ActiveListBox->currentIndex().row();
    if (rows.empty() && current >= 0)
        rows.push_back(current);
    changeExtensions(rows, TTrackOperation::Toggle);
}

void TForm1::rememberDialogFolder(const QString& chosenPath) {
    const QString folder = QFileInfo(chosenPath).absolutePath();
    if (!folder.isEmpty())
        m_dialogFolder = folder;
}

void TForm1::ArchiveBtnClick() {
    const int current = ActiveListBox->currentIndex().row();
    if (current < 0 || selectedRows().empty()) {
        say("No track is selected: nothing to store.");
        return;
    }
    TDialogs::TFileRequest request;
    request.title = "Select a folder to archive to";
    request.filter = ArchiveFilter;
    request.fileName = fromStd(m_tracks->Item(current).FileName);
    request.initialDir = dialogFolder();
    QString chosen;
    if (!m_dialogs.ExecuteSave(this, request, chosen))
        return;
    rememberDialogFolder(chosen);
    // The user picks a folder by picking any name in it.
    ArchiveSelected(FolderPart(chosen.toStdString()));
    RefreshTrackList();
}

void TForm1::ArchiveSelected(const std::string& destinationFolder) {
    const std::vector<int> rows = selectedRows();
    TOperationReport done;
    {
        TTrackWork work(*StatusText, "Storing", static_cast<qsizetype>(rows.size()), m_progressIntervalMs,
                        [this](qsizetype index, qsizetype total) { emit Progressed(index, total); });
        done = Store(tracksOf(rows), destinationFolder, work.progress());
    }
    const QString shown = fromStd(ShownPath(destinationFolder));
    report(done, namesOf(rows), " in " + ShortPath(shown), " in " + shown);
    // A failure ends the Store here: the list is not rebuilt, and the general error report follows.
    if (done.Failure)
        std::rethrow_exception(done.Failure);
}

void TForm1::FetchBtnClick() {
    // Said before a dialog is shown in vain.
    if (!FolderExists(eventFolder()))
        throw EFolderMissing(eventFolder());
    TDialogs::TFileRequest request;
    request.title = "Select tracks to fetch";
    request.filter = fetchFilter();
    request.initialDir = dialogFolder();
    QStringList chosen;
    if (!m_dialogs.ExecuteOpen(this, request, chosen))
        return;
    rememberDialogFolder(chosen.constFirst());
    FetchFiles(chosen);
}

void TForm1::FetchFiles(const QStringList& paths) {
    std::vector<std::string> sources;
    for (const QString& path : paths)
        sources.push_back(path.toStdString());
    const TTwinChoice twins = askAboutTwins(sources);
    TOperationReport done;
    {
        TTrackWork work(*StatusText, "Fetching", paths.size(), m_progressIntervalMs,
                        [this](qsizetype index, qsizetype total) { emit Progressed(index, total); });
        done = Fetch(sources, eventFolder(), work.progress(), twins, RemoveTrackFile);
    }
    if (!done.Failure)
        RefreshTrackList();
    // The tracks by their display names where the list now shows them, else by their file names.
    std::unordered_map<std::string, QString> listed;
    for (int row = 0; row < m_tracks->rowCount(); ++row)
        listed.try_emplace(m_tracks->Item(row).FileName,
                           m_tracks->data(m_tracks->index(row), Qt::DisplayRole).toString());
    QStringList names;
    for (const TTrackOutcome& track : done.Tracks) {
        // A track from an archive goes by its entry's file name; an archive as a whole by its own.
        const std::string name =
            track.Entry.empty() ? FileNamePart(track.Track) : ArchivedFileName(track.Entry);
        const auto found = listed.find(name);
        names.push_back(found != listed.end() ? found->second : fromStd(name));
    }
    const QString where = " into " + EventSelectBox->currentText();
    report(done, names, where, where);
    if (done.Failure)
        std::rethrow_exception(done.Failure);
}

TTwinChoice TForm1::askAboutTwins(const std::vector<std::string>& sources) {
    QStringList names;
    QString fetched;
    for (const TFetchTwin& twin : FetchTwins(sources, eventFolder())) {
        names.push_back(fromStd(twin.twin));
        fetched = fromStd(twin.track);
    }
    if (names.isEmpty())
        return TTwinChoice::Skip;
    // One question for the whole Fetch; No keeps what is in the folder and leaves those tracks out.
    const QString where = EventSelectBox->currentText();
    const bool trash = TrashTakes(PathInFolder(eventFolder(), names[0].toStdString()));
    const QString question = names.size() == 1
                                 ? names[0] + ", the same track as " + fetched + ", is in " + where +
                                       " already. Replace it with " + fetched + "? " +
                                       (trash ? "It goes to the trash." : "It is deleted for good.") +
                                       " No leaves " + fetched + " out."
                                 : CountText(names.size()) + " of the tracks to fetch are in " + where +
                                       " already as the same track started or stopped (" +
                                       names.mid(0, 3).join(", ") + (names.size() > 3 ? ", ..." : "") +
                                       "). Replace them? " +
                                       (trash ? "They go to the trash." : "They are deleted for good.") +
                                       " No leaves those tracks out.";
    return m_dialogs.MessageBox(this, question, "Track fetch",
                                TDialogs::mbYesNo | TDialogs::mbIconWarning | TDialogs::mbDefButton2) ==
                   TDialogs::idYes
               ? TTwinChoice::Replace
               : TTwinChoice::Skip;
}

void TForm1::DeleteBtnClick() {
    const std::vector<int> rows = selectedRows();
    if (rows.empty()) {
        say("No track is selected: nothing to delete.");
        return;
    }
    const QStringList names = namesOf(rows);
    const std::vector<TTrackFile> tracks = tracksOf(rows);
    const bool trash = TrashTakes(PathInFolder(tracks[0].Folder, tracks[0].Name));
    const QString question =
        rows.size() == 1
            ? "Are you sure you want to delete \"" + names[0] + "\"?" +
                  (trash ? " It goes to the trash." : " It is deleted for good: there is no trash for it.")
            : "Are you sure you want to delete these " + CountText(static_cast<qsizetype>(rows.size())) +
                  " tracks?" +
                  (trash ? " They go to the trash."
                         : " They are deleted for good: there is no trash for them.");
    if (m_dialogs.MessageBox(this, question, "Track delete",
                             TDialogs::mbYesNo | TDialogs::mbIconWarning | TDialogs::mbDefButton2) !=
        TDialogs::idYes)
        return;
    TOperationReport done;
    {
        TTrackWork work(*StatusText, "Deleting", static_cast<qsizetype>(rows.size()), m_progressIntervalMs,
                        [this](qsizetype index, qsizetype total) { emit Progressed(index, total); });
        done = Delete(tracks, RemoveTrackFile, work.progress());
    }
    RefreshTrackList();
    report(done, names, {}, {});
    rememberUndo(done, names);
}

void TForm1::UndoLast() {
    if (!m_undo) {
        say("Nothing to undo.");
        return;
    }
    const TOperationReport undone = Undo(*m_undo, RestoreTrackFile);
    // Undo answers for the tracks it could put back, in the operation's order.
    QStringList names;
    const TTrackFate undoable =
        m_undo->Operation == TTrackOperation::Delete ? TTrackFate::Trashed : TTrackFate::Done;
    for (std::size_t i = 0; i < m_undo->Tracks.size(); ++i) {
        if (m_undo->Tracks[i].Fate == undoable)
            names.push_back(m_undoNames.value(static_cast<qsizetype>(i)));
    }
    m_undo.reset();
    ReloadTrackList();
    const qsizetype putBack = static_cast<qsizetype>(undone.Count(TTrackFate::Done));
    const QString status = OperationStatus(undone, names, {});
    say(putBack > 0 ? "Undone: " + status : "Could not undo: " + status);
    m_report = (putBack > 0 ? "Undone: " : "Could not undo: ") + OperationReport(undone, names, {});
}

void TForm1::RefreshTrackList() {
    // Watched before it is read, so that no change during the fill goes unseen; what was written
    // before is read by the fill.
    watchShownFolder();
    m_watcher->Take();
    FillTrackList(EventSelectBox->currentText(), ActiveListBox);
    sayFolderState();
}

void TForm1::sayFolderState() {
    const std::string folder = eventFolder();
    if (!FolderExists(folder)) {
        if (!m_notInstalled.isEmpty()) {
            say(m_notInstalled, TStatusShows::FolderState);
        } else {
            const QString shown = fromStd(ShownPath(folder));
            // The outcome first, so that a narrow bar never cuts it off.
            say("Missing folder: " + ShortPath(shown), TStatusShows::FolderState,
                "The folder " + shown + " does not exist");
        }
        return;
    }
    // A count when there is nothing else to say.
    if (m_statusShows == TStatusShows::Nothing || m_statusShows == TStatusShows::FolderState)
        say(countText(), TStatusShows::FolderState);
}

QString TForm1::countText() const {
    const int rows = m_tracks->rowCount();
    if (rows == 0)
        return "No tracks";
    int active = 0;
    for (int row = 0; row < rows; ++row)
        active += IsInactiveTrack(m_tracks->Item(row).FileName) ? 0 : 1;
    return TracksText(rows) + ", " + CountText(active) + " active";
}

void TForm1::readFolderAgain() {
    ReloadTrackList();
    if (FolderExists(eventFolder()))
        say("Read the folder again: " + countText(), TStatusShows::FolderState);
}

void TForm1::showReport() {
    m_dialogs.ShowReport(this, m_report.isEmpty() ? QString("Nothing has been done yet.") : m_report,
                         "Track manager report");
}

template <class F> void TForm1::keepingSelection(F&& change) {
    // Taken from the selection's ranges: a few, however long the list.
    std::unordered_set<std::string> selected;
    for (const QItemSelectionRange& range : ActiveListBox->selectionModel()->selection()) {
        for (int row = range.top(); row <= range.bottom(); ++row)
            selected.insert(m_tracks->Item(row).FileName);
    }
    const int currentRow = ActiveListBox->currentIndex().row();
    const std::string current = currentRow >= 0 ? m_tracks->Item(currentRow).FileName : std::string();
    const int scrolled = ActiveListBox->verticalScrollBar()->value();
    bool reset = false;
    const QMetaObject::Connection resetSeen =
        connect(m_tracks, &QAbstractItemModel::modelReset, this, [&reset] { reset = true; });

    // The selection and current item come back whether the change completes or fails part-way.
    const TScopeExit restore([&] {
        disconnect(resetSeen);
        if (!reset)
            return;
        const TRebuilding rebuilding(m_rebuilding);
        QItemSelection selection;
        const int rows = m_tracks->rowCount();
        for (int row = 0; row < rows; ++row) {
            if (!selected.count(m_tracks->Item(row).FileName))
                continue;
            int last = row;
            while (last + 1 < rows && selected.count(m_tracks->Item(last + 1).FileName))
                ++last;
            selection.select(m_tracks->index(row), m_tracks->index(last));
            row = last;
        }
        QItemSelectionModel* model = ActiveListBox->selectionModel();
        model->select(selection, QItemSelectionModel::ClearAndSelect);
        for (int row = 0; row < rows && !current.empty(); ++row) {
            if (m_tracks->Item(row).FileName == current) {
                model->setCurrentIndex(m_tracks->index(row), QItemSelectionModel::NoUpdate);
                break;
            }
        }
        ActiveListBox->doItemsLayout();
        ActiveListBox->verticalScrollBar()->setValue(scrolled);
    });
    change();
}

void TForm1::ReloadTrackList() {
    keepingSelection([this] { RefreshTrackList(); });
}

void TForm1::UpdateTrackList() {
    keepingSelection([this] {
        // Watched before it is read, so that no change during the update goes unseen. Files written in
        // place (a pack unpacked over its tracks) list as before: they are read as the watch tells.
        watchShownFolder();
        const TFolderNews news = m_watcher->Take();
        // Rows that go away may take the current item with them: that is no click on a track.
        const TRebuilding rebuilding(m_rebuilding);
        m_tracks->Update(eventFolder(), news);
    });
}

void TForm1::watchShownFolder() {
    // A folder that does not exist yet is watched for through the nearest folder above it that does.
    QString folder = QDir::cleanPath(QString::fromStdString(NativePath(eventFolder())));
    while (!QFileInfo(folder).isDir()) {
        const QString parent = QFileInfo(folder).path();
        if (parent == folder)
            break;
        folder = parent;
    }
    m_watcher->Watch(QFileInfo(folder).isDir() ? folder : QString());
}

void TForm1::folderTouched() {
    // A burst of changes (a pack unpacked, a launcher renaming tracks) is followed once, when it
    // ends; one that does not end is followed every FolderMaxDelayMs.
    if (!m_unfollowedSince.isValid())
        m_unfollowedSince.start();
    const qint64 left = FolderMaxDelayMs - m_unfollowedSince.elapsed();
    m_folderTimer->start(static_cast<int>(std::clamp<qint64>(left, 0, FolderSettleMs)));
}

void TForm1::folderChanged() {
    // Never under a running operation or an open dialog: the list must not change beneath them.
    if (m_busy > 0 || QApplication::activeModalWidget() || QApplication::activePopupWidget()) {
        m_folderTimer->start(FolderSettleMs);
        return;
    }
    m_unfollowedSince.invalidate();
    ++m_busy;
    const TScopeExit idle([this] { --m_busy; });
    try {
        UpdateTrackList();
    } catch (const std::exception& failure) {
        // Unasked, so no message box: a track being copied in may not be readable yet.
        say("The list may be incomplete: " + ErrorReportText(FailureMessage(failure)));
    }
}

void TForm1::wireKeys() {
    const auto onList = [this](const QKeySequence& keys, auto handler) {
        auto* shortcut = new QShortcut(keys, ActiveListBox, nullptr, nullptr, Qt::WidgetWithChildrenShortcut);
        connect(shortcut, &QShortcut::activated, this,
                [this, handler] { guarded([this, handler] { (this->*handler)(); }); });
    };
    onList(QKeySequence(Qt::Key_Delete), &TForm1::DeleteBtnClick);
    onList(QKeySequence(Qt::Key_Return), &TForm1::ToggleTracks);
    onList(QKeySequence(Qt::Key_Enter), &TForm1::ToggleTracks);
    const auto onWindow = [this](const QKeySequence& keys, auto handler) {
        auto* shortcut = new QShortcut(keys, this);
        connect(shortcut, &QShortcut::activated, this,
                [this, handler] { guarded([this, handler] { (this->*handler)(); }); });
    };
    onWindow(QKeySequence(Qt::Key_F5), &TForm1::readFolderAgain);
    onWindow(QKeySequence(Qt::CTRL | Qt::Key_Z), &TForm1::UndoLast);
    onWindow(QKeySequence(Qt::CTRL | Qt::Key_R), &TForm1::showReport);
}

namespace {

// What is dragged: local track files (ending in ".env" or ".~env") and downloaded archives of tracks, and
// the other local files.
struct TDragged {
    QStringList tracks;
    QStringList others;
};

TDragged draggedFiles(const QMimeData* data) {
    TDragged dragged;
    if (!data)
        return dragged;
    for (const QUrl& url : data->urls()) {
        if (!url.isLocalFile())
            continue;
        const QString path = url.toLocalFile();
        if (path.endsWith(".env", Qt::CaseInsensitive) || path.endsWith(".~env", Qt::CaseInsensitive) ||
            IsArchiveName(path.toStdString()))
            dragged.tracks.push_back(path);
        else
            dragged.others.push_back(path);
    }
    return dragged;
}

QString notTracksText(const QStringList& others) {
    QStringList names;
    for (const QString& path : others)
        names.push_back(QFileInfo(path).fileName());
    return (others.size() == 1 ? "Not a track: " : "Not tracks: ") + names.join(", ") +
           " (track files end in .env or .~env; archives of tracks are .zip, .7z, .rar or .tar.gz)";
}

} // namespace

bool TForm1::eventFilter(QObject* watched, QEvent* event) {
    if (watched == StatusText && event->type() == QEvent::MouseButtonRelease) {
        guarded([this] { showReport(); });
        return true;
    }
    if (watched != ActiveListBox->viewport())
        return QWidget::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::MouseButtonDblClick: {
        // A double-click on a track switches it; its first click has made it current and selected.
        const auto* click = static_cast<QMouseEvent*>(event);
        const QModelIndex index = ActiveListBox->indexAt(click->position().toPoint());
        if (click->button() != Qt::LeftButton || !index.isValid())
            return false;
        if (!ActiveListBox->selectionModel()->isSelected(index))
            ActiveListBox->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
        guarded([this] { ToggleTracks(); });
        return true;
    }
    case QEvent::DragEnter:
    case QEvent::DragMove: {
        auto* drag = static_cast<QDropEvent*>(event);
        const TDragged dragged = draggedFiles(drag->mimeData());
        if (dragged.tracks.isEmpty()) {
            if (event->type() == QEvent::DragEnter && !dragged.others.isEmpty())
                say(notTracksText(dragged.others));
            drag->ignore();
        } else {
            drag->acceptProposedAction();
            // The whole list takes the drop: a frame around it says so.
            m_dropFrame->setGeometry(ActiveListBox->rect());
            m_dropFrame->show();
        }
        return true;
    }
    case QEvent::DragLeave:
        m_dropFrame->hide();
        return true;
    case QEvent::Drop: {
        m_dropFrame->hide();
        auto* drop = static_cast<QDropEvent*>(event);
        const TDragged dragged = draggedFiles(drop->mimeData());
        if (dragged.tracks.isEmpty()) {
            if (!dragged.others.isEmpty())
                say(notTracksText(dragged.others));
            drop->ignore();
            return true;
        }
        drop->acceptProposedAction();
        guarded([this, &dragged] {
            FetchFiles(dragged.tracks);
            if (!dragged.others.isEmpty())
                say(StatusText->text() + "; " + notTracksText(dragged.others));
        });
        return true;
    }
    default:
        return QWidget::eventFilter(watched, event);
    }
}

void TForm1::FillTrackList(const QString& eventType, QListView* listBox) {
    ClearTrackList(listBox);
    const TRebuilding rebuilding(m_rebuilding);
    m_tracks->Fill(eventFolderOf(eventType));
}

void TForm1::ClearTrackList(QListView*) {
    const TRebuilding rebuilding(m_rebuilding);
    m_tracks->Clear();
}

void TForm1::showCurrent() {
    const int current = ActiveListBox->currentIndex().row();
    if (current < 0)
        return;
    // A click moves the current item and changes the selection: the track is shown once.
    const QString shown = EventSelectBox->currentText() + "\\" + fromStd(m_tracks->Item(current).FileName);
    if (shown == m_shown && m_statusShows == TStatusShows::Track)
        return;
    m_shown = shown;
    ActiveListBoxClick();
}

void TForm1::ActiveListBoxClick() {
    const int current = ActiveListBox->currentIndex().row();
    if (current < 0)
        return;
    const std::string fileName = m_tracks->Item(current).FileName;
    say(EventSelectBox->currentText() + "\\" + QString::fromStdString(fileName), TStatusShows::Track);

    TBitmap& bitmap = Preview->Bitmap();
    if (DecodeTrackPreview(PathInFolder(eventFolder(), fileName), EventSelectBox->currentIndex(), bitmap) !=
        TPreviewOutcome::Picture) {
        // The placeholder covers the whole preview, whatever size the last picture had.
        bitmap.SetSize(Preview->width(), Preview->height());
        PaintNoPreview(bitmap, WindowFont());
    }
    Preview->update();
}

void TForm1::ActiveListBoxDrawItem(QPainter& painter, int index, const QRect& rect) {
    const TTrackItem& item = m_tracks->Item(index);
    const QBrush fill = painter.brush();
    const int ascent = painter.fontMetrics().ascent();

    // A clipped, opaque text rectangle: the whole item filled, the name from (left + 15, top).
    painter.fillRect(rect, fill);
    painter.drawText(rect.left() + TTrackItemGeometry::NameLeft, rect.top() + ascent,
                     m_tracks->data(m_tracks->index(index), Qt::DisplayRole).toString());

    // The letter, on an opaque background of the fill colour: red or green, darkened or lightened where
    // the fill (the selection colour, a dark palette) would make it hard to read.
    const bool inactive = IsInactiveTrack(item.FileName);
    const QString letter = inactive ? "X" : "A";
    painter.setPen(ReadableOn(QColorOf(inactive ? clRed : clGreen, palette()), fill.color()));
    const int letterLeft = rect.left() + TTrackItemGeometry::LetterLeft;
    const QRect letterRect(letterLeft, rect.top(), painter.fontMetrics().horizontalAdvance(letter),
                           painter.fontMetrics().height());
    painter.fillRect(letterRect & rect, fill);
    painter.drawText(letterLeft, rect.top() + ascent, letter);
}
