#pragma once

#include <QByteArray>
#include <QString>

// Layout of a ".kvd" line: items start at multiples of 14 columns.
namespace CatalogFileFormat {

constexpr int kZoneWidth = 14;
constexpr int kMaxCategories = 5000;
inline constexpr char kLineEnd[] = "\r\n";

// Builds one line item by item with the zone padding between items.
class LineBuilder
{
public:
    explicit LineBuilder(QByteArray &out)
        : m_out(out)
    {
    }

    void text(const QString &value); // "value", with no quote or line end inside
    void number(int value); // sign position, digits, one space
    void bare(const QString &value); // as it is
    void end();

private:
    void beginItem();
    void put(const QString &value);

    QByteArray &m_out;
    qsizetype m_column = 0;
    bool m_first = true;
};

} // namespace CatalogFileFormat
