#include "FileListCommands.h"

#include "Catalog.h"
#include "CatalogEdits.h"
#include "FileListModel.h"
#include "Interaction.h"
#include "KeywordEditor.h"

using Interaction::Answer;
using Interaction::Buttons;
using Interaction::Icon;

FileListCommands::FileListCommands(Catalog &catalog, FileListModel &files, Interaction::Interface &interaction,
                                   QObject *parent)
    : QObject(parent)
    , m_catalog(catalog)
    , m_files(files)
    , m_interaction(interaction)
{
}

QStringList FileListCommands::pathsOf(const QList<int> &rows) const
{
    QStringList paths;
    paths.reserve(rows.size());
    for (int row : rows)
        paths.append(m_files.rowPath(row));
    return paths;
}

void FileListCommands::RemoveItem(const QList<int> &selectedRows, int currentRow)
{
    if (selectedRows.size() == 1) {
        const QModelIndex name = m_files.index(currentRow, NameColumn);
        if (!name.isValid())
            return;
        const QString question = QStringLiteral("Are you sure you want to remove ") + name.data().toString()
            + QStringLiteral(" from the file list?");
        if (m_interaction.message(question, Interaction::kMarlowindTitle, Icon::Critical, Buttons::YesNo) == Answer::No)
            return;
        CatalogEdits::removeRecordsWithPaths(m_catalog, {m_files.rowPath(currentRow)});
        m_files.removeRowsAt({currentRow});
        return;
    }
    if (m_interaction.message(QStringLiteral("Are you sure you want to remove the selected items from the playlist?"),
                              Interaction::kMarlowindTitle, Icon::Critical, Buttons::YesNo)
        == Answer::No)
        return;
    if (selectedRows.isEmpty())
        return;
    CatalogEdits::removeRecordsWithPaths(m_catalog, pathsOf(selectedRows));
    m_files.removeRowsAt(selectedRows);
}

void FileListCommands::MoveDroppedFiles(const QStringList &paths, int targetCategory, const QList<int> &selectedRows)
{
    if (!m_catalog.tree().node(targetCategory)) {
        m_interaction.message(QStringLiteral("Please select a category or sub-category"), Interaction::kProgramTitle, Icon::None);
        return;
    }
    CatalogEdits::MoveDroppedFiles(m_catalog, paths, targetCategory);
    // The dragged rows now belong elsewhere (and from another program, the selected rows go all the same).
    m_files.removeRowsAt(selectedRows);
}

void FileListCommands::UpdateKeywords(const QList<int> &selectedRows, const QString &keywords)
{
    const KeywordEditor::Result result = KeywordEditor::UpdateKeywords(m_catalog, pathsOf(selectedRows), keywords);
    switch (result.outcome) {
    case KeywordEditor::Outcome::IllegalCharacters:
        m_interaction.message(QStringLiteral("Keywords contain illegal characters."), Interaction::kProgramTitle, Icon::Critical);
        return;
    case KeywordEditor::Outcome::NoRecordIdentified:
        m_interaction.message(QStringLiteral("Unable to identify record, cannot update record"), Interaction::kProgramTitle,
                              Icon::Critical);
        return;
    case KeywordEditor::Outcome::Updated:
        m_files.setKeywords(selectedRows, keywords);
        return;
    }
}
