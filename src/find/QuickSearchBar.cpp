#include "QuickSearchBar.h"

#include "Catalog.h"
#include "FileListModel.h"
#include "Interaction.h"
#include "QuickSearch.h"
#include "SearchRows.h"

#include <QAbstractButton>
#include <QKeyEvent>
#include <QLineEdit>

QuickSearchBar::QuickSearchBar(Catalog &catalog, FileListModel &files, Interaction::Interface &ui, QLineEdit &box,
                               QAbstractButton &button, QObject *parent)
    : QObject(parent)
    , m_catalog(catalog)
    , m_files(files)
    , m_ui(ui)
    , m_box(box)
{
    showPlaceholder();
    m_box.installEventFilter(this);
    connect(&button, &QAbstractButton::clicked, this, &QuickSearchBar::RunQuickSearch);
    connect(&m_box, &QLineEdit::returnPressed, this, &QuickSearchBar::RunQuickSearch);
}

namespace {

// Enter belongs to the Search button, as it would to a window's default button, and
// Tab to moving on: neither starts an entry.
bool startsEntry(const QEvent *event)
{
    if (event->type() == QEvent::MouseButtonPress)
        return true;
    if (event->type() != QEvent::KeyPress)
        return false;
    switch (static_cast<const QKeyEvent *>(event)->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        return false;
    default:
        return true;
    }
}

} // namespace

// A click or a key in the box starts a fresh entry while it shows "Search text"; a
// key then goes on into the box as usual.
bool QuickSearchBar::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == &m_box && startsEntry(event) && m_box.text() == kPlaceholder)
        m_box.clear();
    return QObject::eventFilter(watched, event);
}

void QuickSearchBar::RunQuickSearch()
{
    const QString text = m_box.text();
    if (text.isEmpty() || text == kPlaceholder) {
        m_ui.message(QStringLiteral("Please enter search text."), Interaction::kProgramTitle, Interaction::Icon::Critical);
        return;
    }
    m_files.clear();
    const std::vector<int> found = QuickSearchMatches(m_catalog.records(), text);
    // In a list sorted by date the rows come once their files' times are read, which
    // for a million files takes seconds: the window answers meanwhile.
    m_files.appendRowsOnceDated(quickSearchRows(m_catalog.records(), found));
    m_ui.message(QStringLiteral("A total of %1 files were found.").arg(qint64(found.size())), Interaction::kProgramTitle,
                 Interaction::Icon::Information);
    showPlaceholder();
}

void QuickSearchBar::showPlaceholder()
{
    m_box.setText(kPlaceholder);
    // From its start: at the window's first size the box is only a few letters wide.
    m_box.setCursorPosition(0);
}
