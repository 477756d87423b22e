#include "AdvancedSearchDialog.h"

#include "AdvancedSearch.h"
#include "Catalog.h"
#include "ConnectedDrives.h"
#include "FileListModel.h"
#include "Interaction.h"
#include "SearchRows.h"

#include <QCheckBox>
#include <QElapsedTimer>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <utility>

namespace {

// A turn ends after this long, so that painting and Cancel are never kept waiting.
constexpr qint64 kTurnMSecs = 15;
// Records looked at between two looks at the clock.
constexpr int kRecordsPerClockLook = 64;
// Found rows wait at most this long before they go into the list.
constexpr qint64 kRowsWaitMSecs = 500;

const QString kDateFormatText = QStringLiteral(
    "Please enter both dates as month/day/year (mm/dd/yyyy), for example 01/31/2004.");

QCheckBox *tickBox(const char *name, const QString &caption = QString())
{
    auto *box = new QCheckBox(caption);
    box->setObjectName(QString::fromLatin1(name));
    return box;
}

QLineEdit *textBox(const char *name)
{
    auto *box = new QLineEdit;
    box->setObjectName(QString::fromLatin1(name));
    return box;
}

// A frame of one text criterion: its tick box, caption and text box in a row, and
// its own Remove Spaces below the text box.
QGroupBox *textCriterionFrame(const QString &title, QCheckBox *tick, const QString &caption, QLineEdit *text,
                              QCheckBox *removeSpaces)
{
    auto *frame = new QGroupBox(title);
    auto *grid = new QGridLayout(frame);
    grid->addWidget(tick, 0, 0);
    grid->addWidget(new QLabel(caption), 0, 1);
    grid->addWidget(text, 0, 2);
    grid->addWidget(removeSpaces, 1, 2);
    grid->setColumnStretch(2, 1);
    return frame;
}

// The tick box follows whether the box that changed last holds text.
void tickWhileFilled(QLineEdit *box, QCheckBox *tick)
{
    QObject::connect(box, &QLineEdit::textChanged, tick, [tick](const QString &text) { tick->setChecked(!text.isEmpty()); });
}

} // namespace

AdvancedSearchDialog *AdvancedSearchDialog::showOver(Catalog &catalog, FileListModel &files, Interaction::Interface &ui,
                                                     QWidget *owner)
{
    files.clear();
    auto *dialog = new AdvancedSearchDialog(catalog, files, ui, owner);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setWindowModality(Qt::ApplicationModal);
    dialog->show();
    return dialog;
}

AdvancedSearchDialog::AdvancedSearchDialog(Catalog &catalog, FileListModel &files, Interaction::Interface &ui,
                                           QWidget *parent)
    : QDialog(parent)
    , m_catalog(catalog)
    , m_files(files)
    , m_ui(ui)
{
    setObjectName(QStringLiteral("frmAdvancedSearch"));
    setWindowTitle(QStringLiteral("Advanced Search"));
    buildFrames();
    m_turns.setInterval(0);
    connect(&m_turns, &QTimer::timeout, this, &AdvancedSearchDialog::searchSomeRecords);
    connect(m_searchButton, &QPushButton::clicked, this, &AdvancedSearchDialog::RunAdvancedSearch);
    connect(m_cancelButton, &QPushButton::clicked, this, &AdvancedSearchDialog::reject);
    tickWhileFilled(m_fileName, m_byFileName);
    tickWhileFilled(m_keywords, m_byKeywords);
    tickWhileFilled(m_dateOne, m_byDate);
    tickWhileFilled(m_dateTwo, m_byDate);
}

AdvancedSearchDialog::~AdvancedSearchDialog() = default;

void AdvancedSearchDialog::buildFrames()
{
    auto *layout = new QVBoxLayout(this);

    m_byFileName = tickBox("optFileName");
    m_fileName = textBox("txtFileName");
    m_removeSpacesInFileName = tickBox("optRemoveSpaces", QStringLiteral("Remove Spaces"));
    layout->addWidget(textCriterionFrame(QStringLiteral("Filename"), m_byFileName, QStringLiteral("Filename contains:"),
                                         m_fileName, m_removeSpacesInFileName));

    QGroupBox *dateFrame = new QGroupBox(QStringLiteral("Date Modified"));
    auto *dateRow = new QHBoxLayout(dateFrame);
    m_byDate = tickBox("optDateCreated");
    m_dateOne = textBox("txtDateOne");
    m_dateTwo = textBox("txtDateTwo");
    dateRow->addWidget(m_byDate);
    dateRow->addWidget(new QLabel(QStringLiteral("Between: (mm/dd/yyyy)")));
    dateRow->addWidget(m_dateOne, 1);
    dateRow->addWidget(new QLabel(QStringLiteral("and")));
    dateRow->addWidget(m_dateTwo, 1);
    layout->addWidget(dateFrame);

    m_byKeywords = tickBox("optKeywords");
    m_keywords = textBox("txtKeywords");
    m_removeSpacesInKeywords = tickBox("optRemovesSpaces2", QStringLiteral("Remove Spaces"));
    layout->addWidget(textCriterionFrame(QStringLiteral("Keywords"), m_byKeywords, QStringLiteral("Keywords contains:"),
                                         m_keywords, m_removeSpacesInKeywords));

    m_removeSpacesInRecords = tickBox("optRemoveSpaces3", QStringLiteral("Remove spaces in Filenames"));
    layout->addWidget(m_removeSpacesInRecords);

    m_progress = new QLabel;
    m_progress->setObjectName(QStringLiteral("lblProgress"));
    layout->addWidget(m_progress);

    m_searchButton = new QPushButton(QStringLiteral("Search"));
    m_searchButton->setObjectName(QStringLiteral("cmdSearch"));
    m_searchButton->setDefault(true);
    m_cancelButton = new QPushButton(QStringLiteral("Cancel"));
    m_cancelButton->setObjectName(QStringLiteral("cmdCancel"));
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_searchButton);
    buttons->addWidget(m_cancelButton);
    layout->addLayout(buttons);
    setMinimumWidth(420);
}

void AdvancedSearchDialog::refuse(const QString &text)
{
    m_ui.message(text, Interaction::kMarlowindTitle, Interaction::Icon::None);
    m_searchButton->setEnabled(true);
}

void AdvancedSearchDialog::RunAdvancedSearch()
{
    if (m_search)
        return;
    m_searchButton->setEnabled(false);
    AdvancedSearchCriteria criteria;
    criteria.byFileName = m_byFileName->isChecked();
    criteria.byKeywords = m_byKeywords->isChecked();
    criteria.byDate = m_byDate->isChecked();
    if (!criteria.byFileName && !criteria.byKeywords && !criteria.byDate) {
        refuse(QStringLiteral("Please select a search option."));
        return;
    }
    if (criteria.byFileName) {
        criteria.fileNameText = m_fileName->text();
        if (criteria.fileNameText.isEmpty()) {
            refuse(QStringLiteral("Please enter filename search text."));
            return;
        }
        if (m_removeSpacesInFileName->isChecked())
            criteria.fileNameText = RemoveSpaces(criteria.fileNameText);
    }
    if (criteria.byKeywords) {
        criteria.keywordsText = m_keywords->text();
        if (criteria.keywordsText.isEmpty()) {
            refuse(QStringLiteral("Please enter Keyword search text."));
            return;
        }
        if (m_removeSpacesInKeywords->isChecked())
            criteria.keywordsText = RemoveSpaces(criteria.keywordsText);
    }
    if (criteria.byDate) {
        const std::optional<QDate> after = readMonthDayYear(m_dateOne->text());
        const std::optional<QDate> before = readMonthDayYear(m_dateTwo->text());
        if (!after || !before) {
            refuse(kDateFormatText);
            return;
        }
        criteria.after = *after;
        criteria.before = *before;
    }
    criteria.removeSpacesInRecords = m_removeSpacesInRecords->isChecked();

    m_files.clear();
    m_found = 0;
    m_pendingRows = FileListRows();
    m_sinceRowsAdded.start();
    m_search = std::make_unique<AdvancedSearch>(
        m_catalog.records(), std::move(criteria), AdvancedSearch::fileOnDisk,
        [drives = ConnectedDrives::now()](const QString &path) { return !drives->offlineVolumeOf(path).isEmpty(); });
    m_turns.start();
}

void AdvancedSearchDialog::searchSomeRecords()
{
    QElapsedTimer turn;
    turn.start();
    std::vector<AdvancedSearch::Match> found;
    int left = m_recordsPerTurn;
    while (left > 0 && !m_search->isFinished() && !turn.hasExpired(kTurnMSecs)) {
        const int step = std::min(left, kRecordsPerClockLook);
        m_search->searchNext(step, found);
        left -= step;
    }
    for (const AdvancedSearch::Match &match : found)
        addAdvancedSearchRow(m_pendingRows, match.path, match.keywords);
    m_found += qint64(found.size());
    // A sorted list sorts itself again for every batch: batches that keep pace with
    // the list's length keep that to a few times in all.
    if (m_search->isFinished() || m_pendingRows.size() >= std::size_t(std::max(1, m_files.rowCount()))
        || (!m_pendingRows.empty() && m_sinceRowsAdded.hasExpired(kRowsWaitMSecs))) {
        m_files.appendRows(std::exchange(m_pendingRows, FileListRows()));
        m_sinceRowsAdded.start();
    }

    const int total = m_catalog.records().size();
    m_progress->setText(QStringLiteral("Searched %1 of %2 records").arg(m_search->searchedCount()).arg(total));
    Q_EMIT progressed(m_search->searchedCount(), total);
    if (m_search->isFinished())
        finish();
}

void AdvancedSearchDialog::finish()
{
    m_turns.stop();
    m_search.reset();
    m_searchButton->setEnabled(true);
    m_ui.message(QStringLiteral("A total of %1 files were found.").arg(m_found), Interaction::kMarlowindTitle,
                 Interaction::Icon::Information);
    accept();
}

void AdvancedSearchDialog::reject()
{
    m_turns.stop();
    m_search.reset();
    m_pendingRows = FileListRows();
    m_files.clear();
    QDialog::reject();
}
