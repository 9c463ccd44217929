#include "CArchiveDetailsDlg.h"

#include <QDateTime>
#include <QFileInfo>
#include <QGuiApplication>
#include <QItemSelectionModel>
#include <QLocale>
#include <QMessageBox>
#include <QRegularExpression>
#include <QScreen>
#include <algorithm>
#include <ctime>
#include <new>
#include <utility>
#include <vector>

#include "ArchiveEntryInfo.h"
#include "CArchiveReader.h"
#include "CCaseResolver.h"
#include "CDialogTexts.h"
#include "CException.h"
#include "CFileIconList.h"
#include "CMemoryException.h"
#include "CPathName.h"
#include "CStringTable.h"
#include "DialogIds.h"
#include "FileFinder.h"
#include "FileSystem.h"
#include "IconIds.h"
#include "StringIds.h"
#include "WindowTexts.h"
#include "ui_ArchiveDetailsDlg.h"

namespace {

// Space kept between the archive half and the window's edges, and under it when folded.
constexpr int kEdge = 8;

QString FromUtf8(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

std::vector<CReportListModel::Column> ArchiveColumns() {
    return {{IDS_COLUMN_NAME, 310, Qt::AlignLeft},
            {IDS_COLUMN_SIZE, 90, Qt::AlignRight},
            {IDS_COLUMN_DATE, 120, Qt::AlignHCenter}};
}

std::vector<CReportListModel::Column> ContentColumns() {
    return {{IDS_COLUMN_NAME, 150, Qt::AlignLeft},       {IDS_COLUMN_SIZE, 90, Qt::AlignRight},
            {IDS_COLUMN_DATE, 120, Qt::AlignHCenter},    {IDS_COLUMN_RATIO, 60, Qt::AlignHCenter},
            {IDS_COLUMN_COMPRESSED, 90, Qt::AlignRight}, {IDS_COLUMN_DIRECTORY, 140, Qt::AlignLeft},
            {IDS_COLUMN_COMMENT, 200, Qt::AlignLeft}};
}

QString Totals(int count, uint64_t bytes) {
    return WindowTexts::Formatted(IDS_TOTALS,
                                  {std::to_string(count), CArchiveReader::FormatByteCount(bytes)});
}

// The locale's short time format, which some locales give with seconds: the list never
// shows them.
QString TimeWithoutSeconds(const QLocale& locale) {
    static const QRegularExpression seconds(QStringLiteral("[:.]?s{1,2}"));
    return locale.timeFormat(QLocale::ShortFormat).remove(seconds).trimmed();
}

// The folder of the archives a find pattern names, with its separator.
std::string FolderOf(const std::string& path) {
    const size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

}  // namespace

CArchiveDetailsDlg::CArchiveDetailsDlg(const std::string& sourcePath_, int sourceIsFolder_,
                                       QWidget* parent)
    : QDialog(parent),
      ui(std::make_unique<Ui::CArchiveDetailsDlg>()),
      sourcePath(sourcePath_),
      sourceIsFolder(sourceIsFolder_),
      archives(ArchiveColumns()),
      content(ContentColumns()),
      prompts(this) {
    ui->setupUi(this);
    WindowTexts::Apply(this, IDD_DETAILS);
    ui->closeButton->SetIconResource(IDI_CLOSE);
    ui->closeButton->UseBalloonTips();
    ui->closeButton->SetTipText(IDS_TIP_CLOSE_WINDOW);
    ui->hideButton->SetIconResource(IDI_HIDE_DETAILS);
    ui->hideButton->UseBalloonTips();
    ui->hideButton->SetTipText(IDS_TIP_HIDE_PANE);
    // A caption longer than the buttons are drawn for widens them.
    for (CImageButton* button : {ui->closeButton, ui->hideButton}) {
        button->setMinimumSize(button->minimumSize().expandedTo(button->sizeHint()));
    }

    ui->archiveList->setModel(&archives);
    ui->contentList->setModel(&content);
    archives.SetUpView(ui->archiveList);
    content.SetUpView(ui->contentList);
    ui->sourcePath->SetPathEllipsis(true);

    // Labels name the lists for screen readers; a list view does not take the name from its
    // buddy as other controls do.
    ui->foundLabel->setBuddy(ui->archiveList);
    ui->contentLabel->setBuddy(ui->contentList);
    ui->archiveList->setAccessibleName(
        FromUtf8(CDialogTexts::WithoutMnemonic(ui->foundLabel->text().toStdString())));
    ui->contentList->setAccessibleName(
        FromUtf8(CDialogTexts::WithoutMnemonic(ui->contentLabel->text().toStdString())));

    // The halves keep the size they are drawn at, unless this desktop's fonts or the language's
    // texts need more room; both stay as wide as each other. The pane reaches the window's
    // bottom edge, so folding it leaves the archive half whole.
    const int halfWidth =
        std::max({ui->archiveBox->width(), ui->archiveBox->minimumSizeHint().width(),
                  ui->paneFrame->minimumSizeHint().width() - 2 * kEdge});
    ui->archiveBox->resize(
        halfWidth, std::max(ui->archiveBox->height(), ui->archiveBox->minimumSizeHint().height()));
    ui->paneFrame->setGeometry(
        0, ui->archiveBox->geometry().bottom() + 1 + kEdge, halfWidth + 2 * kEdge,
        std::max(ui->paneFrame->height(), ui->paneFrame->minimumSizeHint().height()));
    setFixedSize(ui->paneFrame->width(), ui->paneFrame->geometry().bottom() + 1);

    connect(ui->closeButton, &QPushButton::clicked, this, [this] { done(kClosed); });
    connect(ui->hideButton, &QPushButton::clicked, this, &CArchiveDetailsDlg::HideContentPane);
    const auto notify = [this](const QModelIndex& index) {
        OnArchiveNotify(index.isValid() ? index.row() : -1);
    };
    connect(ui->archiveList, &QAbstractItemView::clicked, this, notify);
    connect(ui->archiveList, &QAbstractItemView::doubleClicked, this, notify);
    connect(ui->archiveList->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this](const QItemSelection& selected) {
                const QModelIndexList rows = selected.indexes();
                if (!rows.isEmpty()) {
                    OnArchiveNotify(rows.first().row());
                }
            });
}

CArchiveDetailsDlg::~CArchiveDetailsDlg() = default;

int CArchiveDetailsDlg::exec() {
    if (!OnInitDialog()) {
        setResult(kNoArchive);
        return kNoArchive;
    }
    return QDialog::exec();
}

bool CArchiveDetailsDlg::OnInitDialog() {
    uint64_t totalBytes = 0;
    const int count = FillArchiveList(totalBytes);
    if (count == 0) {
        QMessageBox box(QMessageBox::Information, WindowTexts::String(IDS_CAPTION_ERROR),
                        WindowTexts::String(IDS_NO_ARCHIVE), QMessageBox::Ok, parentWidget());
        box.exec();
        return false;
    }
    ui->sourcePath->setText(FromUtf8(sourcePath));
    ui->archiveTotals->setText(Totals(count, totalBytes));
    currentArchiveRow = kNoRow;
    if (sourceIsFolder) {
        HideContentPane();
        PlaceFolded();
    } else {
        ShowContentPane();
        // The selection raises the notification at once: the single archive's content is
        // there when the window first shows.
        ui->archiveList->selectionModel()->select(
            archives.index(0, 0), QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        ui->archiveList->setFocus();
    }
    return true;
}

int CArchiveDetailsDlg::FillArchiveList(uint64_t& totalBytes) {
    totalBytes = 0;
    // The same search as an installation's, so that the list holds what an install takes.
    const std::string pattern = sourceIsFolder ? sourcePath + "*.zip" : sourcePath;
    const std::string folder = FolderOf(pattern);
    CCaseResolver resolver;
    const QLocale locale = QLocale::system();
    const QString timeFormat = TimeWithoutSeconds(locale);
    std::vector<CReportListModel::Row> rows;
    for (const std::string& name : FileFinder::FindFiles(pattern)) {
        std::string size;
        std::string date;
        uint64_t bytes = 0;
        std::time_t modified = 0;
        // A file gone since the search still counts, without a size or a date. Asked by the
        // name's bytes: a name that is not UTF-8 is found all the same.
        if (FileSystem::SizeAndTime(resolver.Resolve(folder + name), bytes, modified)) {
            // Unsigned all the way: archives of 2 GiB and more show their true size.
            totalBytes += bytes;
            size = CArchiveReader::FormatByteCount(bytes);
            const QDateTime written = QDateTime::fromSecsSinceEpoch(modified).toLocalTime();
            date = (locale.toString(written.date(), QLocale::ShortFormat) + QLatin1Char(' ') +
                    locale.toString(written.time(), timeFormat))
                       .toStdString();
        }
        rows.emplace_back(std::initializer_list<std::string_view>{name, size, date},
                          CFileIconList::Shared().IndexOf(name, false));
    }
    const int count = static_cast<int>(rows.size());
    archives.SetRows(std::move(rows));
    return count;
}

void CArchiveDetailsDlg::OnArchiveNotify(int item) {
    if (item < 0 || item >= archives.rowCount() || busy) {
        return;
    }
    if (item != currentArchiveRow) {
        // Set before the archive opens: a row whose archive failed is not tried again until
        // another row was picked in between.
        currentArchiveRow = item;
        currentArchivePath = sourcePath;
        if (sourceIsFolder) {
            currentArchivePath += archives.Cell(item, 0);
        }
        ui->archiveName->setText(FromUtf8(CPathName(currentArchivePath).NamePart()));
        uint64_t totalBytes = 0;
        const int count = FillContentList(totalBytes);
        currentArchivePath.clear();
        ui->contentTotals->setText(Totals(count, totalBytes));
    }
    ShowContentPane();
}

int CArchiveDetailsDlg::FillContentList(uint64_t& totalBytes) {
    busy = true;
    content.Clear();
    int count = 0;
    try {
        // The archive is found whatever the case of its path, as an install finds it.
        CArchiveReader reader(CCaseResolver().Resolve(currentArchivePath), prompts);
        if (reader.isOpen) {
            count = reader.entryCount;
            std::vector<CReportListModel::Row> rows;
            rows.reserve(static_cast<size_t>(std::max(count, 0)));
            ArchiveEntryInfo info;
            for (int i = 0; i < reader.entryCount; ++i) {
                // Folders count as entries but take no row; an entry that cannot be described
                // is left out.
                if (!reader.GetEntryInfo(info, i, true) || info.isDirectory) {
                    continue;
                }
                totalBytes += info.uncompressedSize;
                rows.emplace_back(
                    std::initializer_list<std::string_view>{info.name, info.sizeText, info.dateText,
                                                            info.ratioText, info.compressedText,
                                                            info.folder, info.comment},
                    info.iconIndex);
            }
            content.SetRows(std::move(rows));
        }
    } catch (const CException& e) {
        // Whatever the reader could not handle itself is said as its own failures are.
        prompts.ShowOpenError(CStringTable::Load(IDS_OPEN_ERROR),
                              CStringTable::Load(IDS_CAPTION_ERROR), e);
        count = 0;
        totalBytes = 0;
    } catch (const std::bad_alloc&) {
        prompts.ShowOpenError(CStringTable::Load(IDS_OPEN_ERROR),
                              CStringTable::Load(IDS_CAPTION_ERROR), CMemoryException());
        count = 0;
        totalBytes = 0;
    }
    busy = false;
    return count;
}

void CArchiveDetailsDlg::HideContentPane() {
    if (!paneShown) {
        return;
    }
    // Only the height changes: the pane's controls stay where they are, cut off by the edge.
    setFixedHeight(height() - ui->paneFrame->height());
    paneShown = false;
    update();
}

void CArchiveDetailsDlg::ShowContentPane() {
    if (paneShown) {
        return;
    }
    setFixedHeight(height() + ui->paneFrame->height());
    paneShown = true;
    update();
}

void CArchiveDetailsDlg::PlaceFolded() {
    QWidget* owner = parentWidget() != nullptr ? parentWidget()->window() : nullptr;
    const QScreen* screen = owner != nullptr ? owner->screen() : QGuiApplication::primaryScreen();
    const QRect area = screen != nullptr ? screen->availableGeometry() : QRect();
    const QRect over = owner != nullptr ? owner->frameGeometry() : area;
    // The frame around the window is known, where the platform tells it, once the window exists.
    create();
    const QSize outer = frameGeometry().size();
    // Centred as it is, then half the pane higher: once the pane unfolds downwards, the whole
    // window is centred. The title bar stays on the screen, where it can be taken.
    QPoint place(over.x() + (over.width() - outer.width()) / 2,
                 over.y() + (over.height() - outer.height()) / 2 - ui->paneFrame->height() / 2);
    if (area.isValid()) {
        place.setY(std::max(place.y(), area.top()));
    }
    move(place);
}
