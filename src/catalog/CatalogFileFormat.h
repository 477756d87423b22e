#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>

// Layout of a ".kvd" line: items start at multiples of 14 columns.
namespace CatalogFileFormat {

constexpr int kZoneWidth = 14;
constexpr int kMaxCategories = 5000;
// Far beyond any catalog the program can hold (a million records take some 100 MB),
// and small enough to be read into memory whole.
constexpr qint64 kMaxFileSize = qint64(1) << 30;
inline constexpr char kLineEnd[] = "\r\n";

// Builds one line item by item with the zone padding between items.
class LineBuilder
{
public:
    explicit LineBuilder(QByteArray &out)
        : m_out(out)
    {
    }

    void text(QStringView value); // "value", with no quote or line end inside
    void number(int value); // sign position, digits, one space
    void bare(QStringView value); // as it is
    void end();

private:
    void beginItem();
    void put(QStringView value, bool textItem);

    QByteArray &m_out;
    qsizetype m_column = 0;
    bool m_first = true;
};

} // namespace CatalogFileFormat
