#include "app/TForm1.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QListView>
#include <QPainter>
#include <QStatusBar>
#include <cstdio>
#include <new>

#include "app/Decoration.h"
#include "app/GameLocation.h"
#include "app/PreviewPainting.h"
#include "app/TPreviewImage.h"
#include "app/TTrackItemDelegate.h"
#include "app/TTrackListModel.h"
#include "app/TrackCatalogue.h"
#include "app/TrackOperations.h"
#include "app/TrackPreview.h"
#include "controls/SysColors.h"
#include "platform/Exceptions.h"
#include "platform/NativePath.h"
#include "platform/TColor.h"

namespace {

TBriskButton* makeButton(QWidget* parent, int left, const char* caption, const char* hint) {
    auto* button = new TBriskButton(parent);
    button->SetCaption(QString::fromLatin1(caption));
    button->setGeometry(left, 3, 35, 36);
    button->SetHint(QString::fromLatin1(hint));
    button->SetShowHint(true);
    return button;
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
    setWindowTitle("Skarn2 Track manager");
    setFont(PreviewFont());
    resize(DesignWidth, DesignHeight);
    setMinimumSize(DesignWidth, MinimumHeight);

    // Creation order is the design's order, which is also the stacking order.
    BriskPanel1 = new TBriskPanel(this);
    BriskPanel1->setObjectName("BriskPanel1");

    InactiveBtn = makeButton(BriskPanel1, 80, "Stop", "Make selected tracks inactive");
    ActiveBtn = makeButton(BriskPanel1, 45, "Start", "Make selected tracks active");
    ExitBtn = makeButton(BriskPanel1, 4, "Exit", "Exit track manager");
    ArchiveBtn = makeButton(BriskPanel1, 120, "Store", "Archive selected tracks");
    DeleteBtn = makeButton(BriskPanel1, 196, "Delete", "Delete selected tracks");
    FetchBtn = makeButton(BriskPanel1, 155, "Fetch", "Fetch archived tracks");
    ExitBtn->setObjectName("ExitBtn");
    ActiveBtn->setObjectName("ActiveBtn");
    InactiveBtn->setObjectName("InactiveBtn");
    ArchiveBtn->setObjectName("ArchiveBtn");
    FetchBtn->setObjectName("FetchBtn");
    DeleteBtn->setObjectName("DeleteBtn");

    EventSelectBox = new QComboBox(BriskPanel1);
    EventSelectBox->setObjectName("EventSelectBox");
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
    Preview->setGeometry(42, 6, 285, 139);

    m_tracks = new TTrackListModel(this);
    ActiveListBox = new QListView(BriskPanel2);
    ActiveListBox->setObjectName("ActiveListBox");
    ActiveListBox->setGeometry(4, 151, 325, 211);
    ActiveListBox->setModel(m_tracks);
    ActiveListBox->setItemDelegate(new TTrackItemDelegate(*this, ActiveListBox));
    ActiveListBox->setSelectionMode(QAbstractItemView::ExtendedSelection);
    ActiveListBox->setUniformItemSizes(true);
    ActiveListBox->setEditTriggers(QAbstractItemView::NoEditTriggers);

    // Tab order within each parent: the selector on the tool bar, the list on the client area.
    setTabOrder(EventSelectBox, ActiveListBox);

    // Mouse and keyboard changes of the selection (also a Ctrl-click that deselects) show the
    // current item; rebuilds of the list do not.
    connect(ActiveListBox->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
        if (!m_rebuilding)
            guarded([this] { ActiveListBoxClick(); });
    });
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

// Keeps the design's anchors: the tool bar on top and the status bar at the bottom at their heights,
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

template <class F> void TForm1::guarded(F&& handler) {
    try {
        handler();
    } catch (const std::bad_alloc&) {
        ShowError(EOutOfMemory());
    } catch (const std::exception& failure) {
        ShowError(failure);
    }
}

void TForm1::ShowError(const std::exception& failure) {
    m_dialogs.MessageBox(this, ErrorReportText(QString::fromStdString(failure.what())), "Track manager",
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

namespace {

const char* const ArchiveFilter = "Archived tracks|*.env;*.~env";

// The hourglass while an operation runs, and the default cursor again after it, also on failure.
struct THourglass {
    THourglass() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~THourglass() { QApplication::restoreOverrideCursor(); }
};

} // namespace

void TForm1::changeSelectedExtensions(const char* extension) {
    {
        THourglass hourglass;
        const std::string folder = eventFolder();
        // A failed rename (the target exists, the file is gone or locked) leaves its item as it was.
        for (const int row : selectedRows()) {
            if (auto renamed = ChangeTrackExtension(folder, m_tracks->Item(row).FileName, extension))
                m_tracks->SetFileName(row, *renamed);
        }
    }
    // Only the letters change: no rebuild, so names, order, selection and current item stay.
    ActiveListBox->viewport()->update();
}

void TForm1::ActiveBtnClick() {
    changeSelectedExtensions(ActiveExtension);
}

void TForm1::InactiveBtnClick() {
    changeSelectedExtensions(InactiveExtension);
}

void TForm1::ArchiveBtnClick() {
    const int current = ActiveListBox->currentIndex().row();
    if (current < 0)
        return;
    TDialogs::TFileRequest request;
    request.title = "Select a folder to archive to";
    request.filter = ArchiveFilter;
    request.fileName = QString::fromStdString(m_tracks->Item(current).FileName);
    QString chosen;
    if (!m_dialogs.ExecuteSave(this, request, chosen))
        return;
    // The user picks a folder by picking any name in it.
    const std::vector<std::string> stayed = ArchiveSelected(FolderPart(chosen.toStdString()));
    if (!stayed.empty()) {
        // No message box: the status bar says which archived tracks are still in the game.
        QStringList names;
        for (const std::string& name : stayed)
            names << QString::fromStdString(name);
        StatusText->setText("Archived, but could not be removed from the game: " + names.join(", "));
    }
    RefreshTrackList();
}

std::vector<std::string> TForm1::ArchiveSelected(const std::string& destinationFolder) {
    std::vector<std::string> fileNames;
    for (const int row : selectedRows())
        fileNames.push_back(m_tracks->Item(row).FileName);
    return ::ArchiveSelected(eventFolder(), destinationFolder, fileNames);
}

void TForm1::FetchBtnClick() {
    TDialogs::TFileRequest request;
    request.title = "Select tracks to fetch";
    request.filter = ArchiveFilter;
    QStringList chosen;
    if (!m_dialogs.ExecuteOpen(this, request, chosen))
        return;
    std::vector<std::string> paths;
    for (const QString& path : chosen)
        paths.push_back(path.toStdString());
    FetchTracks(eventFolder(), paths);
    RefreshTrackList();
}

void TForm1::DeleteBtnClick() {
    if (m_dialogs.MessageBox(this, "Are you sure you want to delete these tracks?", "Track delete",
                             TDialogs::mbYesNo | TDialogs::mbIconWarning) != TDialogs::idYes)
        return;
    const std::string folder = eventFolder();
    for (const int row : selectedRows())
        DeleteTrack(folder, m_tracks->Item(row).FileName);
    RefreshTrackList();
}

void TForm1::RefreshTrackList() {
    FillTrackList(EventSelectBox->currentText(), ActiveListBox);
}

// A rebuild is no click on the list: the selection changes it makes must not run the click handler.
struct TForm1::TRebuilding {
    bool& flag;
    const bool before;
    explicit TRebuilding(bool& f) : flag(f), before(f) { flag = true; }
    ~TRebuilding() { flag = before; }
};

void TForm1::FillTrackList(const QString& eventType, QListView* listBox) {
    ClearTrackList(listBox);
    const TRebuilding rebuilding(m_rebuilding);
    m_tracks->Fill(EventFolder(m_gameRoot, eventType.toStdString()));
}

void TForm1::ClearTrackList(QListView*) {
    const TRebuilding rebuilding(m_rebuilding);
    m_tracks->Clear();
}

void TForm1::ActiveListBoxClick() {
    const int current = ActiveListBox->currentIndex().row();
    if (current < 0)
        return;
    const std::string fileName = m_tracks->Item(current).FileName;
    StatusText->setText(EventSelectBox->currentText() + "\\" + QString::fromStdString(fileName));
    StatusText->repaint();

    TBitmap& bitmap = Preview->Bitmap();
    if (!DecodeTrackPreview(PathInFolder(eventFolder(), fileName), EventSelectBox->currentIndex(), bitmap))
        PaintNoPreview(bitmap, PreviewFont());
    Preview->update();
}

void TForm1::ActiveListBoxDrawItem(QPainter& painter, int index, const QRect& rect) {
    const TTrackItem& item = m_tracks->Item(index);
    const QBrush fill = painter.brush();
    const int ascent = painter.fontMetrics().ascent();

    // A clipped, opaque text rectangle: the whole item filled, the name from (left + 15, top).
    painter.fillRect(rect, fill);
    painter.drawText(rect.left() + 15, rect.top() + ascent,
                     m_tracks->data(m_tracks->index(index), Qt::DisplayRole).toString());

    // The letter, on an opaque background of the fill colour.
    const bool inactive = IsInactiveTrack(item.FileName);
    const QString letter = inactive ? "X" : "A";
    painter.setPen(QColorOf(inactive ? clRed : clGreen, palette()));
    const QRect letterRect(rect.left() + 1, rect.top(), painter.fontMetrics().horizontalAdvance(letter),
                           painter.fontMetrics().height());
    painter.fillRect(letterRect & rect, fill);
    painter.drawText(rect.left() + 1, rect.top() + ascent, letter);
}
