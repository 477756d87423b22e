#include "BrowseTestSupport.h"
#include "Catalog.h"
#include "FileListCommands.h"
#include "FileRecord.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using Interaction::Answer;
using BrowseTest::asked;

// Remove Item, a drop on a category and Update Keywords, driven against a real
// file list model listing category 3: a, b, c, d.
class TestFileListCommands : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void removeItem_data();
    void removeItem();
    void drop_data();
    void drop();
    void updateKeywords_data();
    void updateKeywords();

private:
    QString path(const QString &name) const { return m_dir->filePath(name); }
    // The records with the temporary folder left out, so expectations read plainly.
    QStringList records() const { return BrowseTest::recordsOf(*m_catalog, m_dir->path()); }

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<Catalog> m_catalog;
    std::unique_ptr<ScriptedInteraction> m_ui;
    std::unique_ptr<BrowseTest::FileList> m_list;
    std::unique_ptr<QAbstractItemModelTester> m_tester;
    std::unique_ptr<FileListCommands> m_commands;
};

namespace {

// a.png is filed twice, in adjacent records.
const QStringList kRecords{kSentinelRecord, "x.txt/1>",       "a.png/3>beach", "a.png/3>beach",
                           "y.txt/2>",      "b.png/3>sunset", "c.txt/3>",      "d.mp3/3>rock"};
const QStringList kRows{"a", "b", "c", "d"};
const QStringList kCells{"beach", "sunset", "", "rock"};
const QString kNoCategory = QStringLiteral("Corvanta|None|Ok|Please select a category or sub-category");

} // namespace

void TestFileListCommands::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_catalog = std::make_unique<Catalog>();
    m_catalog->resetToEmpty(); // the sentinel is the first record
    for (const char *name : {"Photos", "Music", "Holidays", "Video", "Archive"})
        m_catalog->tree().addRoot(QString::fromLatin1(name));
    for (const QString &record : kRecords.mid(1)) {
        QVERIFY(!TestFiles::createFile(path(record.section(QLatin1Char('/'), 0, 0)), "data").isEmpty());
        m_catalog->records().append(path(record));
    }
    m_catalog->markSaved();

    m_ui = std::make_unique<ScriptedInteraction>();
    m_list = std::make_unique<BrowseTest::FileList>();
    m_tester = std::make_unique<QAbstractItemModelTester>(&m_list->model,
                                                          QAbstractItemModelTester::FailureReportingMode::QtTest);
    m_commands = std::make_unique<FileListCommands>(*m_catalog, m_list->model, *m_ui);
    m_list->list(*m_catalog, 3);
    QCOMPARE(m_list->column(NameColumn), kRows);
}

void TestFileListCommands::cleanup()
{
    m_commands.reset();
    m_tester.reset();
    m_list.reset();
    QVERIFY2(m_ui->unexpected.isEmpty(), qPrintable(m_ui->unexpected.join(QLatin1Char('\n'))));
}

void TestFileListCommands::removeItem_data()
{
    QTest::addColumn<QList<int>>("selected");
    QTest::addColumn<int>("current");
    QTest::addColumn<Answer>("answer");
    QTest::addColumn<QString>("question");
    QTest::addColumn<QStringList>("rows");
    QTest::addColumn<QStringList>("records");
    const QString byName = QStringLiteral("Are you sure you want to remove a from the file list?");
    const QString several = QStringLiteral("Are you sure you want to remove the selected items from the playlist?");
    QTest::newRow("one row: asked by name, no keeps it") << QList<int>{0} << 0 << Answer::No << byName << kRows
                                                         << kRecords;
    QTest::newRow("one row: yes removes the row and both adjacent records")
        << QList<int>{0} << 0 << Answer::Yes << byName << QStringList{"b", "c", "d"}
        << QStringList{kSentinelRecord, "x.txt/1>", "y.txt/2>", "b.png/3>sunset", "c.txt/3>", "d.mp3/3>rock"};
    QTest::newRow("several rows in any order: yes removes them and their records")
        << QList<int>{3, 0, 1} << 3 << Answer::Yes << several << QStringList{"c"}
        << QStringList{kSentinelRecord, "x.txt/1>", "y.txt/2>", "c.txt/3>"};
    // A current row without a selection is not removed.
    QTest::newRow("none selected: asked, nothing removed") << QList<int>{} << 2 << Answer::Yes << several << kRows
                                                           << kRecords;
}

void TestFileListCommands::removeItem()
{
    QFETCH(QList<int>, selected);
    QFETCH(int, current);
    QFETCH(Answer, answer);
    QFETCH(QString, question);
    QFETCH(QStringList, records);
    m_ui->answers = {answer};
    m_commands->RemoveItem(selected, current);
    QCOMPARE(asked(*m_ui), QStringList{"Marlowind|Critical|YesNo|" + question});
    QTEST(m_list->column(NameColumn), "rows");
    QCOMPARE(this->records(), records);
    QCOMPARE(m_catalog->FileListSaved(), records == kRecords);
}

void TestFileListCommands::drop_data()
{
    QTest::addColumn<QStringList>("dropped");
    QTest::addColumn<QList<int>>("selected");
    QTest::addColumn<int>("target");
    QTest::addColumn<QStringList>("messages");
    QTest::addColumn<QStringList>("records");
    QTest::addColumn<QStringList>("rows");
    const QStringList bd{"b.png", "d.mp3"};
    QTest::newRow("no category selected: refused") << bd << QList<int>{1, 3} << 0 << QStringList{kNoCategory}
                                                   << kRecords << kRows;
    QTest::newRow("a category that is not there: refused") << bd << QList<int>{1, 3} << 6
                                                           << QStringList{kNoCategory} << kRecords << kRows;
    // The last record refiled comes first, right behind the sentinel.
    QTest::newRow("refiled behind the first record, the rows go")
        << bd << QList<int>{1, 3} << 5 << QStringList{}
        << QStringList{kSentinelRecord, "d.mp3/5>rock", "b.png/5>sunset", "x.txt/1>", "a.png/3>beach",
                       "a.png/3>beach", "y.txt/2>",     "c.txt/3>"}
        << QStringList{"a", "c"};
    QTest::newRow("onto the listed category the rows still go")
        << QStringList{"c.txt"} << QList<int>{2} << 3 << QStringList{}
        << QStringList{kSentinelRecord, "c.txt/3>",      "x.txt/1>", "a.png/3>beach", "a.png/3>beach",
                       "y.txt/2>",      "b.png/3>sunset", "d.mp3/3>rock"}
        << QStringList{"a", "b", "d"};
    // A drop never adds files, and paths compare with their case.
    QTest::newRow("unknown files: records stay, the selected rows still go")
        << QStringList{"elsewhere/q.png", "A.PNG"} << QList<int>{1, 2} << 2 << QStringList{} << kRecords
        << QStringList{"a", "d"};
}

void TestFileListCommands::drop()
{
    QFETCH(QStringList, dropped);
    QFETCH(QList<int>, selected);
    QFETCH(int, target);
    QFETCH(QStringList, records);
    QVERIFY(!TestFiles::createFile(path(QStringLiteral("elsewhere/q.png")), "q").isEmpty());
    QStringList paths;
    for (const QString &name : dropped)
        paths.append(path(name));
    m_commands->MoveDroppedFiles(paths, target, selected);
    QTEST(asked(*m_ui), "messages");
    QCOMPARE(this->records(), records);
    QTEST(m_list->column(NameColumn), "rows");
    QCOMPARE(m_catalog->FileListSaved(), records == kRecords);
}

void TestFileListCommands::updateKeywords_data()
{
    QTest::addColumn<QList<int>>("selected");
    QTest::addColumn<QString>("keywords");
    QTest::addColumn<bool>("recordGone"); // b.png's only record is taken out; its row stays listed
    QTest::addColumn<QStringList>("messages");
    QTest::addColumn<QStringList>("records");
    QTest::addColumn<QStringList>("cells");
    const QStringList illegal{"Corvanta|Critical|Ok|Keywords contain illegal characters."};
    const QStringList noRecord{"Corvanta|Critical|Ok|Unable to identify record, cannot update record"};
    // Which characters are illegal is the keyword editor's to test.
    QTest::newRow("several illegal characters: one message") << QList<int>{0, 1} << "a/b\\c>d" << false << illegal
                                                             << kRecords << kCells;
    QTest::newRow("no row selected") << QList<int>{} << "sea" << false << noRecord << kRecords << kCells;
    QStringList withoutB = kRecords;
    withoutB.removeAt(5);
    QTest::newRow("the selected row has no record any more") << QList<int>{1} << "sea" << true << noRecord
                                                             << withoutB << kCells;
    QTest::newRow("two rows, one of them filed twice")
        << QList<int>{0, 3} << "sea shore" << false << QStringList{}
        << QStringList{kSentinelRecord, "x.txt/1>", "a.png/3>sea shore", "a.png/3>sea shore",
                       "y.txt/2>",      "b.png/3>sunset", "c.txt/3>",     "d.mp3/3>sea shore"}
        << QStringList{"sea shore", "sunset", "", "sea shore"};
    QTest::newRow("empty text clears the keywords")
        << QList<int>{1} << "" << false << QStringList{}
        << QStringList{kSentinelRecord, "x.txt/1>", "a.png/3>beach", "a.png/3>beach",
                       "y.txt/2>",      "b.png/3>", "c.txt/3>",      "d.mp3/3>rock"}
        << QStringList{"beach", "", "", "rock"};
}

void TestFileListCommands::updateKeywords()
{
    QFETCH(QList<int>, selected);
    QFETCH(QString, keywords);
    QFETCH(bool, recordGone);
    QFETCH(QStringList, messages);
    if (recordGone) {
        m_catalog->records().removeAt(5);
        m_catalog->markSaved();
    }
    QSignalSpy changed(&m_list->model, &QAbstractItemModel::dataChanged);
    m_commands->UpdateKeywords(selected, keywords);
    QCOMPARE(asked(*m_ui), messages);
    QList<int> changedRows; // the view hears of every rewritten cell
    for (const QList<QVariant> &signal : changed) {
        QCOMPARE(signal.at(0).toModelIndex().column(), int(KeywordsColumn));
        changedRows.append(signal.at(0).toModelIndex().row());
    }
    QCOMPARE(changedRows, messages.isEmpty() ? selected : QList<int>{});
    QTEST(records(), "records");
    QTEST(m_list->column(KeywordsColumn), "cells");
    QCOMPARE(m_catalog->FileListSaved(), !messages.isEmpty());
    QCOMPARE(m_catalog->records().markedCount(), 0);
}

QTEST_MAIN(TestFileListCommands)
#include "tst_filelistcommands.moc"
