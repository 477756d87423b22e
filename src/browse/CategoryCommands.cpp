#include "CategoryCommands.h"

#include "Catalog.h"
#include "CatalogEdits.h"
#include "Interaction.h"

#include <QDeadlineTimer>
#include <QEventLoop>
#include <QThread>

using Interaction::Answer;
using Interaction::Buttons;
using Interaction::Icon;

CategoryCommands::CategoryCommands(Catalog &catalog, Interaction::Interface &interaction, QObject *parent)
    : QObject(parent)
    , m_catalog(catalog)
    , m_interaction(interaction)
{
}

namespace {

QString whoseName(bool subCategory)
{
    return subCategory ? QStringLiteral("sub-category's") : QStringLiteral("category's");
}

// Work this short is done before anyone could see the window wait.
constexpr int kQuickWorkMSecs = 50;

// A deletion walks every record: in a catalog of a million that takes longer than a
// window may stand still. The work runs on a worker while this thread keeps the
// windows painted; the user's input waits, so that no command meets the catalog
// half changed.
void runOffThisThread(const std::function<void()> &work)
{
    QThread *worker = QThread::create(work);
    QEventLoop untilDone;
    QObject::connect(worker, &QThread::finished, &untilDone, &QEventLoop::quit);
    worker->start();
    if (!worker->wait(QDeadlineTimer(kQuickWorkMSecs)))
        untilDone.exec(QEventLoop::ExcludeUserInputEvents);
    worker->wait();
    delete worker;
}

} // namespace

bool CategoryCommands::refuseSeparators(const QString &name, NameKind kind, const QString &title)
{
    if (!name.contains(QLatin1Char('\\')) && !name.contains(QLatin1Char('/')))
        return false;
    m_interaction.message(
        QStringLiteral("You cannot have the following characters in the %1 name: /\\").arg(whoseName(kind == NameKind::SubCategory)), title,
        Icon::Critical);
    return true;
}

bool CategoryCommands::refuseName(const QString &name, NameKind kind, const QString &title)
{
    const QString whose = whoseName(kind == NameKind::SubCategory);
    if (refuseSeparators(name, kind, title))
        return true;
    // The catalog file has no way to store a quote inside a name.
    if (name.contains(QLatin1Char('"'))) {
        m_interaction.message(QStringLiteral("You cannot have the following character in the %1 name: \"").arg(whose),
                              title, Icon::Critical);
        return true;
    }
    // A second "Temporary" would be taken for the system category and lost on saving.
    if (name == Catalog::kTemporaryName) {
        m_interaction.message(QStringLiteral("System category, please choose a different category name."),
                              Interaction::kProgramTitle, Icon::Critical);
        return true;
    }
    return false;
}

bool CategoryCommands::refuseWhenFull()
{
    if (m_catalog.tree().nodeCount() < kMaxCategories)
        return false;
    m_interaction.message(QStringLiteral("A catalog holds at most %1 categories. Please delete a category before "
                                         "adding another.")
                              .arg(kMaxCategories),
                          Interaction::kProgramTitle, Icon::Critical);
    return true;
}

bool CategoryCommands::refuseWithoutSelection(int selectedIndex)
{
    if (m_catalog.tree().node(selectedIndex))
        return false;
    m_interaction.message(QStringLiteral("Please select a category or sub-category"), Interaction::kProgramTitle, Icon::None);
    return true;
}

int CategoryCommands::AddCategory()
{
    if (refuseWhenFull())
        return 0;
    const QString name = m_interaction.prompt(QStringLiteral("What is the name of the new category?"), Interaction::kProgramTitle, QString());
    if (name.isEmpty() || refuseName(name, NameKind::Category, Interaction::kProgramTitle))
        return 0;
    const int index = m_catalog.tree().addRoot(name);
    m_catalog.markChanged();
    return index;
}

int CategoryCommands::AddSubCategory(int selectedIndex)
{
    if (m_catalog.tree().isEmpty())
        return AddCategory();
    if (refuseWithoutSelection(selectedIndex))
        return 0;
    if (m_catalog.tree().node(selectedIndex)->name == Catalog::kTemporaryName) {
        m_interaction.message(QStringLiteral("You cannot create a sub-category under 'Temporary'. A category will be "
                                             "added instead."),
                              Interaction::kMarlowindTitle, Icon::Critical);
        return AddCategory();
    }
    if (refuseWhenFull())
        return 0;
    const QString name = m_interaction.prompt(QStringLiteral("What is the name of the new sub-category?"), Interaction::kProgramTitle, QString());
    if (name.isEmpty() || refuseName(name, NameKind::SubCategory, Interaction::kMarlowindTitle))
        return 0;
    const int index = m_catalog.tree().addChild(selectedIndex, name);
    // A new sub-category is a change like any other: closing must offer to save it.
    m_catalog.markChanged();
    return index;
}

int CategoryCommands::RenameCategory(int selectedIndex)
{
    if (refuseWithoutSelection(selectedIndex))
        return 0;
    const QString current = m_catalog.tree().node(selectedIndex)->name;
    const QString name = m_interaction.prompt(QStringLiteral("What would you like to change the category's name to?"),
                                              Interaction::kMarlowindTitle, current);
    if (name.isEmpty())
        return 0;
    // The separators come first: an older catalog may hold a name with a "/", and
    // keeping it would keep a name the category path cannot tell apart. Keeping any
    // other name as it is stays allowed, even for the system category.
    if (refuseSeparators(name, NameKind::Category, Interaction::kMarlowindTitle))
        return 0;
    if (name != current && refuseName(name, NameKind::Category, Interaction::kMarlowindTitle))
        return 0;
    m_catalog.tree().rename(selectedIndex, name);
    m_catalog.markChanged();
    return selectedIndex;
}

bool CategoryCommands::RemoveCategory(int selectedIndex)
{
    if (refuseWithoutSelection(selectedIndex))
        return false;
    if (m_interaction.message(QStringLiteral("Are you sure you want to delete the category and all sub catagories?"),
                              Interaction::kProgramTitle, Icon::Question, Buttons::YesNo)
        != Answer::Yes)
        return false;
    CatalogEdits::deleteCategory(m_catalog, selectedIndex, runOffThisThread);
    return true;
}
