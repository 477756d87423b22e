#include "DetailsPanel.h"

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
#include <QVBoxLayout>

DetailsPanel::DetailsPanel(FileTypeCache &types, QWidget *parent)
    : QGroupBox(QStringLiteral("Properties"), parent)
    , m_types(types)
{
    setObjectName(QStringLiteral("fmeProperties"));

    auto *grid = new QGridLayout;
    m_name = addValueRow(grid, 0, QStringLiteral("Name:"), QStringLiteral("lblDataName"));
    m_path = addValueRow(grid, 1, QStringLiteral("Path:"), QStringLiteral("lblDataPath"));
    m_size = addValueRow(grid, 2, QStringLiteral("Size:"), QStringLiteral("lblDataSize"));
    m_type = addValueRow(grid, 3, QStringLiteral("Type:"), QStringLiteral("lblDataType"));
    m_created = addValueRow(grid, 4, QStringLiteral("Created:"), QStringLiteral("lblDataCreated"));
    m_lastModified = addValueRow(grid, 5, QStringLiteral("Last Modified:"), QStringLiteral("lblDataLastModified"));
    m_lastAccessed = addValueRow(grid, 6, QStringLiteral("Last Accessed:"), QStringLiteral("lblDataLastAccessed"));
    grid->setColumnStretch(1, 1);
    grid->setVerticalSpacing(0); // seven rows share the band below the list

    auto *keywordsCaption = new QLabel(QStringLiteral("Type keywords in the space provided:"));
    m_keywords = new QLineEdit;
    m_keywords->setObjectName(QStringLiteral("txtKeywords"));
    keywordsCaption->setBuddy(m_keywords);
    m_update = new QPushButton(QStringLiteral("Update Keywords"));
    m_update->setObjectName(QStringLiteral("cmdUpdate"));
    m_execute = new QPushButton(QStringLiteral("Execute"));
    m_execute->setObjectName(QStringLiteral("cmdExecute"));
    connect(m_update, &QPushButton::clicked, this, &DetailsPanel::updateKeywordsClicked);
    connect(m_execute, &QPushButton::clicked, this, &DetailsPanel::executeClicked);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_update);
    buttons->addWidget(m_execute);
    buttons->addStretch();

    auto *keywords = new QVBoxLayout;
    keywords->addWidget(keywordsCaption);
    keywords->addWidget(m_keywords);
    keywords->addLayout(buttons);
    keywords->addStretch();

    m_preview = new PreviewBox;
    auto *columns = new QHBoxLayout(this);
    columns->setContentsMargins(6, 2, 6, 4);
    columns->addLayout(grid, 3);
    columns->addLayout(keywords, 2);
    columns->addWidget(m_preview, 0, Qt::AlignTop);
}

QLabel *DetailsPanel::addValueRow(QGridLayout *grid, int row, const QString &caption, const QString &objectName)
{
    auto *value = new QLabel;
    value->setObjectName(objectName);
    value->setTextFormat(Qt::PlainText);
    grid->addWidget(new QLabel(caption), row, 0);
    grid->addWidget(value, row, 1);
    return value;
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
