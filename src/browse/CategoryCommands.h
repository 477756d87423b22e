#pragma once

#include <QObject>

class Catalog;
namespace Interaction {
class Interface;
}

// The four category commands of the File menu and the toolbar: each asks the user
// through the interaction interface and then changes the catalog's tree.
class CategoryCommands : public QObject
{
    Q_OBJECT

public:
    CategoryCommands(Catalog &catalog, Interaction::Interface &interaction, QObject *parent = nullptr);

    // Each works on the selected category (0 when none is selected) and returns the
    // index of the category it added or changed, or 0 when nothing changed.
    int AddCategory();
    int AddSubCategory(int selectedIndex);
    int RenameCategory(int selectedIndex);
    // True when the category was deleted.
    bool RemoveCategory(int selectedIndex);

    static constexpr int kMaxCategories = 5000;

private:
    enum class NameKind { Category, SubCategory };
    bool refuseName(const QString &name, NameKind kind, const QString &title);
    bool refuseSeparators(const QString &name, NameKind kind, const QString &title);
    bool refuseWhenFull();
    bool refuseWithoutSelection(int selectedIndex);

    Catalog &m_catalog;
    Interaction::Interface &m_interaction;
};
