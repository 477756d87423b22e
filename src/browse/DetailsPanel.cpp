#include "DetailsPanel.h"

#include "ConnectedDrives.h"
#include "CreatedText.h"
#include "DisplayText.h"
#include "FileListModel.h"
#include "FileTypeCache.h"
#include "PreviewBox.h"

#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QStyle>
#include <QVBoxLayout>

namespace {

// A value is at most 25 characters and "..." (ShortenLabel); the panel keeps room for
// one of average characters before it puts the parts side by side.
constexpr int kShownCharacters = 28;
constexpr int kStackedValueIndent = 12;

} // namespace

DetailsPanel::DetailsPanel(FileTypeCache &types, QWidget *parent)
    : QGroupBox(QStringLiteral("Properties"), parent)
    , m_types(types)
{
    setObjectName(QStringLiteral("fmeProperties"));

    m_content = new QWidget;
    m_name = addValue(QStringLiteral("Name:"), QStringLiteral("lblDataName"));
    m_path = addValue(QStringLiteral("Path:"), QStringLiteral("lblDataPath"));
    m_size = addValue(QStringLiteral("Size:"), QStringLiteral("lblDataSize"));
    m_type = addValue(QStringLiteral("Type:"), QStringLiteral("lblDataType"));
    m_created = addValue(QStringLiteral("Created:"), QStringLiteral("lblDataCreated"));
    m_lastModified = addValue(QStringLiteral("Last Modified:"), QStringLiteral("lblDataLastModified"));
    m_lastAccessed = addValue(QStringLiteral("Last Accessed:"), QStringLiteral("lblDataLastAccessed"));

    // Caption, box and buttons always stand together, one below the other.
    m_keywordsBlock = new QWidget(m_content);
    auto *keywordsCaption = new QLabel(QStringLiteral("Type keywords in the space provided:"), m_keywordsBlock);
    keywordsCaption->setWordWrap(true);
    m_keywords = new QLineEdit(m_keywordsBlock);
    m_keywords->setObjectName(QStringLiteral("txtKeywords"));
    keywordsCaption->setBuddy(m_keywords);
    m_update = new QPushButton(QStringLiteral("Update Keywords"), m_keywordsBlock);
    m_update->setObjectName(QStringLiteral("cmdUpdate"));
    m_execute = new QPushButton(QStringLiteral("Execute"), m_keywordsBlock);
    m_execute->setObjectName(QStringLiteral("cmdExecute"));
    connect(m_update, &QPushButton::clicked, this, &DetailsPanel::updateKeywordsClicked);
    connect(m_execute, &QPushButton::clicked, this, &DetailsPanel::executeClicked);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_update);
    buttons->addWidget(m_execute);
    buttons->addStretch();
    auto *keywords = new QVBoxLayout(m_keywordsBlock);
    keywords->setContentsMargins(0, 0, 0, 0);
    keywords->setSpacing(2);
    keywords->addWidget(keywordsCaption);
    keywords->addWidget(m_keywords);
    keywords->addLayout(buttons);

    m_preview = new PreviewBox(m_content);

    // The grid is rebuilt for each arrangement; the stretch below it keeps the rows at
    // the top when the band is taller than they are.
    m_contentLayout = new QVBoxLayout(m_content);
    m_contentLayout->setContentsMargins(4, 0, 4, 2);
    m_contentLayout->addStretch();
    m_scroll = new QScrollArea;
    m_scroll->setFrameShape(QFrame::NoFrame);
    m_scroll->setWidgetResizable(true);
    m_scroll->setWidget(m_content);
    m_scroll->viewport()->setAutoFillBackground(false);
    m_content->setAutoFillBackground(false);
    auto *frame = new QVBoxLayout(this);
    frame->setContentsMargins(2, 2, 2, 2);
    frame->addWidget(m_scroll);
    arrange(Arrangement::Stacked);
}

QLabel *DetailsPanel::addValue(const QString &caption, const QString &objectName)
{
    m_captions.append(new QLabel(caption, m_content));
    auto *value = new QLabel(m_content);
    value->setObjectName(objectName);
    value->setTextFormat(Qt::PlainText);
    m_values.append(value);
    return value;
}

DetailsPanel::Arrangement DetailsPanel::arrangementFor(int width) const
{
    const int spacing = m_grid->horizontalSpacing() > 0 ? m_grid->horizontalSpacing() : 6;
    const QMargins margins = m_contentLayout->contentsMargins();
    int captionWidth = 0;
    for (const QLabel *caption : m_captions)
        captionWidth = qMax(captionWidth, caption->sizeHint().width());
    int valueWidth = fontMetrics().averageCharWidth() * kShownCharacters;
    for (const QLabel *value : m_values)
        valueWidth = qMax(valueWidth, value->sizeHint().width());
    const int values = margins.left() + captionWidth + spacing + valueWidth + margins.right();
    const int keywords =
        qMax(m_update->sizeHint().width() + spacing + m_execute->sizeHint().width(), m_keywords->sizeHint().width());
    const int preview = spacing + m_preview->width();
    if (width >= values + spacing + keywords + preview)
        return Arrangement::InOneRow;
    if (width >= values + preview)
        return Arrangement::KeywordsAbove;
    return Arrangement::Stacked;
}

void DetailsPanel::arrange(Arrangement arrangement)
{
    if (m_grid && arrangement == m_arrangement)
        return;
    m_arrangement = arrangement;
    delete m_grid; // the widgets stay, children of the content
    m_grid = new QGridLayout;
    m_grid->setVerticalSpacing(2);
    m_contentLayout->insertLayout(0, m_grid);
    const int rows = int(m_values.size());
    const bool stacked = arrangement == Arrangement::Stacked;
    for (QLabel *value : std::as_const(m_values))
        value->setIndent(stacked ? kStackedValueIndent : 0);

    switch (arrangement) {
    case Arrangement::InOneRow:
        for (int row = 0; row < rows; ++row) {
            m_grid->addWidget(m_captions[row], row, 0);
            m_grid->addWidget(m_values[row], row, 1);
        }
        m_grid->addWidget(m_keywordsBlock, 0, 2, rows, 1, Qt::AlignTop);
        m_grid->addWidget(m_preview, 0, 3, rows, 1, Qt::AlignTop);
        m_grid->setColumnStretch(1, 3);
        m_grid->setColumnStretch(2, 2);
        break;
    case Arrangement::KeywordsAbove:
        m_grid->addWidget(m_keywordsBlock, 0, 0, 1, 3);
        for (int row = 0; row < rows; ++row) {
            m_grid->addWidget(m_captions[row], 1 + row, 0);
            m_grid->addWidget(m_values[row], 1 + row, 1);
        }
        m_grid->addWidget(m_preview, 1, 2, rows, 1, Qt::AlignTop);
        m_grid->setColumnStretch(1, 1);
        break;
    case Arrangement::Stacked:
        // Keywords first: they are what the user works with, in sight without scrolling.
        m_grid->addWidget(m_keywordsBlock, 0, 0);
        for (int row = 0; row < rows; ++row) {
            m_grid->addWidget(m_captions[row], 1 + 2 * row, 0);
            m_grid->addWidget(m_values[row], 2 + 2 * row, 0);
        }
        m_grid->addWidget(m_preview, 1 + 2 * rows, 0, Qt::AlignLeft);
        break;
    }
}

void DetailsPanel::rearrange()
{
    // Decided on the width without a scroll bar's, so that one coming or going does not
    // switch the arrangement back and forth.
    arrange(arrangementFor(m_scroll->width() - style()->pixelMetric(QStyle::PM_ScrollBarExtent)));
}

void DetailsPanel::resizeEvent(QResizeEvent *event)
{
    QGroupBox::resizeEvent(event);
    rearrange();
}

QString DetailsPanel::keywordsText() const
{
    return m_keywords->text();
}

void DetailsPanel::FillLabels(const QModelIndex &currentRow)
{
    if (!currentRow.isValid()) {
        FillLabelsWithoutRow();
        return;
    }
    FillLabels(currentRow.data(FileListModel::PathRole).toString(),
               currentRow.data(FileListModel::KeywordsRole).toString());
}

void DetailsPanel::FillLabels(const QString &path, const QString &keywords)
{
    m_keywords->setText(keywords);
    const QFileInfo info(path);
    if (path.isEmpty() || !info.isFile()) {
        // Nothing of the file shown before may stay: Execute would open it.
        clearValues();
        m_preview->clear();
        if (!path.isEmpty())
            showOffline(path);
        return;
    }
    const QString fullPath = info.absoluteFilePath();
    m_created->setText(CreatedText(info.birthTime()));
    m_lastAccessed->setText(GeneralDate(info.lastRead()));
    m_lastModified->setText(GeneralDate(info.lastModified()));
    m_name->setText(ShortenLabel(info.fileName()));
    m_name->setToolTip(info.fileName());
    m_path->setText(ShortenLabel(fullPath));
    m_path->setToolTip(fullPath);
    m_size->setText(QString::number(info.size()) + QStringLiteral(" bytes"));
    m_type->setText(ShortenLabel(m_types.descriptionForPath(fullPath)));
    m_shownPath = fullPath;
    m_preview->loadPicture(fullPath);
    rearrange(); // a value wider than room was kept for may need another arrangement
}

void DetailsPanel::showOffline(const QString &path)
{
    // A file on a drive that is not connected still is the user's: its name and path
    // are known, and Execute says where the drive is.
    if (ConnectedDrives::now()->offlineVolumeOf(path).isEmpty())
        return;
    const QString name = fileNameOf(path).toString();
    m_name->setText(ShortenLabel(name));
    m_name->setToolTip(name);
    m_path->setText(ShortenLabel(path));
    m_path->setToolTip(path);
    m_type->setText(FileListModel::kOfflineType);
    m_shownPath = path;
}

void DetailsPanel::FillLabelsWithoutRow()
{
    m_preview->clear();
}

void DetailsPanel::clearValues()
{
    for (QLabel *label : {m_name, m_path, m_size, m_type, m_created, m_lastModified, m_lastAccessed}) {
        label->clear();
        label->setToolTip(QString());
    }
    m_shownPath.clear();
}
