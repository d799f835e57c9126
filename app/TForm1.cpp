#include "app/TForm1.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QDropEvent>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QLabel>
#include <QListView>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QShortcut>
#include <QStatusBar>
#include <QTimer>
#include <QUrl>
#include <cstdio>
#include <filesystem>
#include <new>
#include <system_error>
#include <unordered_set>

#include "app/Decoration.h"
#include "app/LetterColours.h"
#include "app/PlayerTexts.h"
#include "app/PreviewPainting.h"
#include "app/TPreviewImage.h"
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
    StatusText = new QLabel(StatusBar);
    StatusBar->addWidget(StatusText, 1);

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

    // Changes in the shown event folder from outside rebuild the list once they settle.
    m_watcher = new QFileSystemWatcher(this);
    m_folderTimer = new QTimer(this);
    m_folderTimer->setSingleShot(true);
    m_folderTimer->setInterval(FolderSettleMs);
    // Counted from the first change, so that a stream of changes (a file manager copying many tracks)
    // still shows within the interval.
    connect(m_watcher, &QFileSystemWatcher::directoryChanged, this, [this] {
        if (!m_folderTimer->isActive())
            m_folderTimer->start();
    });
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
#ifndef _WIN32
    // The registry lookup has chosen the prefix by now.
    std::error_code error;
    if (std::filesystem::exists(std::filesystem::path(WinePrefix()) / DemoMarkerName, error))
        StatusText->setText("Demo installation in use: " + QString::fromStdString(WinePrefix()));
#endif
}

void TForm1::ReadGameRoot() {
    const TGameLocation location = LocateGame();
    if (!location.Report.empty())
        std::fprintf(stderr, "track manager: %s\n", location.Report.c_str());
    if (location.Installed) {
        m_gameRoot = location.GameRoot;
    } else {
        m_dialogs.MessageBox(this, "Skarn2 doesn't seem to be installed.", "Registry error", TDialogs::mbOK);
    }
}

void TForm1::EventSelectBoxChange() {
    RefreshTrackList();
}

void TForm1::ExitBtnClick() {
    close();
}

std::string TForm1::eventFolder() const {
    return EventFolder(m_gameRoot, EventSelectBox->currentText().toStdString());
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

void TForm1::say(const QString& text) {
    StatusText->setText(text);
    StatusText->repaint();
}

namespace {

const char* const ArchiveFilter = "Archived tracks|*.env;*.~env";

QString fromStd(const std::string& text) {
    return QString::fromStdString(text);
}

} // namespace

void TForm1::changeExtensions(const std::vector<int>& rows, const char* extension) {
    if (rows.empty()) {
        say("No track is selected.");
        return;
    }
    const std::string folder = eventFolder();
    qsizetype started = 0;
    qsizetype stopped = 0;
    QStringList reasons;
    qsizetype left = 0;
    {
        const bool toggling = extension == nullptr;
        const QString verb = toggling ? "Switching" : extension == ActiveExtension ? "Starting" : "Stopping";
        TTrackWork work(*StatusText, verb, static_cast<qsizetype>(rows.size()), m_progressIntervalMs,
                        [this](qsizetype done, qsizetype total) { emit Progressed(done, total); });
        // The folder's names are read once for the whole selection.
        TFolderRenamer renamer(folder);
        for (std::size_t i = 0; i < rows.size(); ++i) {
            if (!work.proceed(static_cast<qsizetype>(i))) {
                left += static_cast<qsizetype>(rows.size() - i);
                reasons.push_back("cancelled");
                break;
            }
            const int row = rows[i];
            const std::string oldName = m_tracks->Item(row).FileName;
            const bool inactive = IsInactiveTrack(oldName);
            const char* wanted = toggling ? (inactive ? ActiveExtension : InactiveExtension) : extension;
            const bool starting = wanted == ActiveExtension;
            if (NameWithExtension(oldName, wanted) == oldName) {
                ++left;
                reasons.push_back(fromStd(oldName) +
                                  (starting ? " is active already" : " is inactive already"));
                continue;
            }
            // A failed rename (the target exists, the file is gone or locked) leaves its item as it was.
            if (auto renamed = ChangeTrackExtension(renamer, oldName, wanted)) {
                m_tracks->SetFileName(row, *renamed);
                ++(starting ? started : stopped);
            } else {
                ++left;
                reasons.push_back(WhyNotRenamed(folder, oldName, NameWithExtension(oldName, wanted)));
            }
        }
    }
    // Only the letters change: no rebuild, so names, order, selection and current item stay.
    ActiveListBox->viewport()->update();
    QString done;
    if (extension == ActiveExtension)
        done = TracksText(started) + " started";
    else if (extension == InactiveExtension)
        done = TracksText(stopped) + " stopped";
    else
        done = TracksText(started) + " started, " + CountText(stopped) + " stopped";
    say(OutcomeText(done, left, reasons));
}

void TForm1::ActiveBtnClick() {
    changeExtensions(selectedRows(), ActiveExtension);
}

void TForm1::InactiveBtnClick() {
    changeExtensions(selectedRows(), InactiveExtension);
}

void TForm1::ToggleTracks() {
    std::vector<int> rows = selectedRows();
    const int current = ActiveListBox->currentIndex().row();
    if (rows.empty() && current >= 0)
        rows.push_back(current);
    changeExtensions(rows, nullptr);
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
    std::vector<std::string> fileNames;
    for (const int row : selectedRows())
        fileNames.push_back(m_tracks->Item(row).FileName);
    const std::string folder = eventFolder();
    const auto total = static_cast<qsizetype>(fileNames.size());
    const QString where = " stored in " + fromStd(ShownPath(destinationFolder));
    qsizetype stored = 0;
    QStringList stayed;
    // One transfer for the whole Store, so a later track never replaces an earlier one's copy.
    TTrackTransfer transfer([&](const TTransferred& track) {
        ++stored;
        if (track.sourceStayed)
            stayed << fromStd(fileNames[track.index]);
    });
    bool cancelled = false;
    try {
        TTrackWork work(*StatusText, "Storing", total, m_progressIntervalMs,
                        [this](qsizetype done, qsizetype all) { emit Progressed(done, all); });
        qsizetype copied = 0;
        for (const std::string& name : fileNames) {
            if (!work.proceed(copied)) {
                cancelled = true;
                break;
            }
            transfer.Add(PathInFolder(folder, name), PathInFolder(destinationFolder, name), true);
            ++copied;
        }
        // Each track is moved whole (copied, flushed, then its source deleted) or not at all.
        transfer.Finish();
    } catch (const std::exception& failure) {
        say(OutcomeText(TracksText(stored) + where, total - stored, {FailureMessage(failure)}));
        throw;
    }
    if (cancelled)
        say(OutcomeText(TracksText(stored) + where, total - stored, {"cancelled"}));
    else if (stayed.isEmpty())
        say(TracksText(stored) + where);
    else
        // No message box: the status bar says which archived tracks are still in the game.
        say(TracksText(stored) + where + "; could not be removed from the game: " + stayed.join(", "));
}

void TForm1::FetchBtnClick() {
    TDialogs::TFileRequest request;
    request.title = "Select tracks to fetch";
    request.filter = ArchiveFilter;
    request.initialDir = dialogFolder();
    QStringList chosen;
    if (!m_dialogs.ExecuteOpen(this, request, chosen))
        return;
    rememberDialogFolder(chosen.constFirst());
    FetchFiles(chosen);
}

void TForm1::FetchFiles(const QStringList& paths) {
    const std::string folder = eventFolder();
    const auto total = paths.size();
    const QString where = " fetched into " + EventSelectBox->currentText();
    qsizetype fetched = 0;
    // One transfer for the whole Fetch, so a later track never replaces an earlier one's copy.
    TTrackTransfer transfer([&](const TTransferred&) { ++fetched; });
    bool cancelled = false;
    try {
        TTrackWork work(*StatusText, "Fetching", total, m_progressIntervalMs,
                        [this](qsizetype done, qsizetype all) { emit Progressed(done, all); });
        qsizetype copied = 0;
        for (const QString& path : paths) {
            if (!work.proceed(copied)) {
                cancelled = true;
                break;
            }
            const std::string source = path.toStdString();
            transfer.Add(source, PathInFolder(folder, FileNamePart(source)), false);
            ++copied;
        }
        transfer.Finish();
    } catch (const std::exception& failure) {
        say(OutcomeText(TracksText(fetched) + where, total - fetched, {FailureMessage(failure)}));
        throw;
    }
    RefreshTrackList();
    if (cancelled)
        say(OutcomeText(TracksText(fetched) + where, total - fetched, {"cancelled"}));
    else
        say(TracksText(fetched) + where);
}

void TForm1::DeleteBtnClick() {
    const std::vector<int> rows = selectedRows();
    if (rows.empty()) {
        say("No track is selected: nothing to delete.");
        return;
    }
    const QString question = rows.size() == 1
                                 ? QString("Are you sure you want to delete this track?")
                                 : "Are you sure you want to delete these " +
                                       CountText(static_cast<qsizetype>(rows.size())) + " tracks?";
    if (m_dialogs.MessageBox(this, question, "Track delete",
                             TDialogs::mbYesNo | TDialogs::mbIconWarning | TDialogs::mbDefButton2) !=
        TDialogs::idYes)
        return;
    const std::string folder = eventFolder();
    std::vector<std::string> fileNames;
    fileNames.reserve(rows.size());
    for (const int row : rows)
        fileNames.push_back(m_tracks->Item(row).FileName);
    const auto total = static_cast<qsizetype>(fileNames.size());
    qsizetype trashed = 0;
    qsizetype deleted = 0;
    qsizetype left = 0;
    QStringList reasons;
    {
        TTrackWork work(*StatusText, "Deleting", total, m_progressIntervalMs,
                        [this](qsizetype done, qsizetype all) { emit Progressed(done, all); });
        for (qsizetype i = 0; i < total; ++i) {
            if (!work.proceed(i)) {
                left += total - i;
                reasons.push_back("cancelled");
                break;
            }
            const std::string path = PathInFolder(folder, fileNames[static_cast<std::size_t>(i)]);
            switch (RemoveTrackFile(path)) {
            case TRemoval::Trashed:
                ++trashed;
                break;
            case TRemoval::Deleted:
                ++deleted;
                break;
            case TRemoval::Failed:
                ++left;
                reasons.push_back(WhyNotDeleted(path));
                break;
            }
        }
    }
    RefreshTrackList();
    QString done;
    if (trashed > 0 && deleted > 0)
        done = TracksText(trashed) + " moved to the trash, " + CountText(deleted) + " deleted";
    else if (trashed > 0)
        done = TracksText(trashed) + " moved to the trash";
    else
        done = TracksText(deleted) + " deleted";
    say(OutcomeText(done, left, reasons));
}

void TForm1::RefreshTrackList() {
    // Watched before it is read, so that no change during the fill goes unseen.
    watchShownFolder();
    FillTrackList(EventSelectBox->currentText(), ActiveListBox);
}

void TForm1::ReloadTrackList() {
    std::unordered_set<std::string> selected;
    for (const int row : selectedRows())
        selected.insert(m_tracks->Item(row).FileName);
    const int currentRow = ActiveListBox->currentIndex().row();
    const std::string current = currentRow >= 0 ? m_tracks->Item(currentRow).FileName : std::string();

    // The selection and current item come back whether the fill completes or fails part-way.
    const TScopeExit restore([&] {
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
    });
    RefreshTrackList();
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
    const QStringList watched = m_watcher->directories();
    if (watched == QStringList{folder})
        return;
    if (!watched.isEmpty())
        m_watcher->removePaths(watched);
    if (QFileInfo(folder).isDir())
        m_watcher->addPath(folder);
}

void TForm1::folderChanged() {
    // Never under a running operation or an open dialog: the list must not change beneath them.
    if (m_busy > 0 || QApplication::activeModalWidget() || QApplication::activePopupWidget()) {
        m_folderTimer->start();
        return;
    }
    ++m_busy;
    const TScopeExit idle([this] { --m_busy; });
    try {
        ReloadTrackList();
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
    auto* refresh = new QShortcut(QKeySequence(Qt::Key_F5), this);
    connect(refresh, &QShortcut::activated, this, [this] { guarded([this] { ReloadTrackList(); }); });
}

namespace {

// The track files among what is dragged: local files ending in ".env" or ".~env".
QStringList trackFilesIn(const QMimeData* data) {
    QStringList paths;
    if (!data)
        return paths;
    for (const QUrl& url : data->urls()) {
        if (!url.isLocalFile())
            continue;
        const QString path = url.toLocalFile();
        if (path.endsWith(".env", Qt::CaseInsensitive) || path.endsWith(".~env", Qt::CaseInsensitive))
            paths.push_back(path);
    }
    return paths;
}

} // namespace

bool TForm1::eventFilter(QObject* watched, QEvent* event) {
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
        if (trackFilesIn(drag->mimeData()).isEmpty())
            drag->ignore();
        else
            drag->acceptProposedAction();
        return true;
    }
    case QEvent::Drop: {
        auto* drop = static_cast<QDropEvent*>(event);
        const QStringList paths = trackFilesIn(drop->mimeData());
        if (paths.isEmpty()) {
            drop->ignore();
            return true;
        }
        drop->acceptProposedAction();
        guarded([this, &paths] { FetchFiles(paths); });
        return true;
    }
    default:
        return QWidget::eventFilter(watched, event);
    }
}

void TForm1::FillTrackList(const QString& eventType, QListView* listBox) {
    ClearTrackList(listBox);
    const TRebuilding rebuilding(m_rebuilding);
    m_tracks->Fill(EventFolder(m_gameRoot, eventType.toStdString()));
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
    if (shown == m_shown && StatusText->text() == shown)
        return;
    m_shown = shown;
    ActiveListBoxClick();
}

void TForm1::ActiveListBoxClick() {
    const int current = ActiveListBox->currentIndex().row();
    if (current < 0)
        return;
    const std::string fileName = m_tracks->Item(current).FileName;
    StatusText->setText(EventSelectBox->currentText() + "\\" + QString::fromStdString(fileName));
    StatusText->repaint();

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
