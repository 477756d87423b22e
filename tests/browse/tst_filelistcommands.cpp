#include "BrowseTestSupport.h"
#include "Catalog.h"
#include "FileIconCache.h"
#include "FileListCommands.h"
#include "FileListModel.h"
#include "FileRecord.h"
#include "FileTypeCache.h"
#include "ScriptedInteraction.h"

#include <QImage>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using Interaction::Answer;
using Interaction::Buttons;
using Interaction::Icon;

// Remove Item, a drop on a category and Update Keywords, driven against a real
// file list model over a catalog of small files on disk.
class TestFileListCommands : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void removeOneRow_data();
    void removeOneRow();
    void removeSeveralRows_data();
    void removeSeveralRows();
    void removeWithNoneSelectedKeepsEverything_data();
    void removeWithNoneSelectedKeepsEverything();
    void dropWithoutCategoryIsRefused_data();
    void dropWithoutCategoryIsRefused();
    void dropRefilesBehindFirstRecord_data();
    void dropRefilesBehindFirstRecord();
    void dropOfUnknownFilesStillRemovesSelectedRows();
    void updateKeywordsRefusesIllegalCharacters_data();
    void updateKeywordsRefusesIllegalCharacters();
    void updateKeywordsWithoutRecord_data();
    void updateKeywordsWithoutRecord();
    void updateKeywordsRewritesRecordsAndCells_data();
    void updateKeywordsRewritesRecordsAndCells();

private:
    QString path(const QString &name) const { return m_dir->filePath(name); }
    void addRecord(const QString &name, int category, const QString &keywords = QString())
    {
        m_catalog->records().append(MakeFileRecord(path(name), category, keywords));
    }
    // The records with the temporary folder left out, so expectations read plainly.
    QStringList records() const;
    QStringList rowNames() const;
    QStringList rowKeywords() const;
    void list(int category) { m_model->ShowCategoryFiles(*m_catalog, category); }

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<Catalog> m_catalog;
    std::unique_ptr<ScriptedInteraction> m_ui;
    BrowseTest::CountingIconSource m_source;
    std::unique_ptr<FileTypeCache> m_types;
    std::unique_ptr<FileIconCache> m_icons;
    std::unique_ptr<FileListModel> m_model;
    std::unique_ptr<FileListCommands> m_commands;
};

namespace {

const QString kNoCategory = QStringLiteral("Please select a category or sub-category");
const QString kPlaylistQuestion =
    QStringLiteral("Are you sure you want to remove the selected items from the playlist?");
const QString kIllegal = QStringLiteral("Keywords contain illegal characters.");
const QString kNoRecord = QStringLiteral("Unable to identify record, cannot update record");

} // namespace

void TestFileListCommands::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    for (const char *name : {"a.png", "b.png"}) {
        QImage picture(4, 3, QImage::Format_RGB32);
        picture.fill(Qt::darkCyan);
        QVERIFY(picture.save(path(QString::fromLatin1(name))));
    }
    for (const char *name : {"c.txt", "d.mp3", "e.avi", "x.txt", "y.txt"})
        QVERIFY(!TestFiles::createFile(path(QString::fromLatin1(name)), "data").isEmpty());

    m_catalog = std::make_unique<Catalog>();
    m_catalog->resetToEmpty(); // the sentinel is the first record
    for (const char *name : {"Photos", "Music", "Holidays", "Video", "Archive"})
        m_catalog->tree().addRoot(QString::fromLatin1(name));
    addRecord(QStringLiteral("x.txt"), 1);
    addRecord(QStringLiteral("a.png"), 3, QStringLiteral("beach"));
    addRecord(QStringLiteral("a.png"), 3, QStringLiteral("beach")); // filed twice, adjacent
    addRecord(QStringLiteral("y.txt"), 2);
    addRecord(QStringLiteral("b.png"), 3, QStringLiteral("sunset"));
    addRecord(QStringLiteral("c.txt"), 3);
    addRecord(QStringLiteral("d.mp3"), 3, QStringLiteral("rock"));
    m_catalog->markSaved();

    m_ui = std::make_unique<ScriptedInteraction>();
    m_types = std::make_unique<FileTypeCache>();
    m_icons = std::make_unique<FileIconCache>(m_source.source());
    m_model = std::make_unique<FileListModel>(*m_icons, *m_types);
    m_model->setBackgroundFillEnabled(false);
    m_commands = std::make_unique<FileListCommands>(*m_catalog, *m_model, *m_ui);
    list(3);
    QCOMPARE(rowNames(), (QStringList{"a", "b", "c", "d"}));
}

void TestFileListCommands::cleanup()
{
    m_commands.reset();
    m_model.reset();
    QVERIFY2(m_ui->unexpected.isEmpty(), qPrintable(m_ui->unexpected.join(QLatin1Char('\n'))));
}

QStringList TestFileListCommands::records() const
{
    QStringList result;
    const QString prefix = m_dir->path() + QLatin1Char('/');
    for (int i = 0; i < m_catalog->records().size(); ++i) {
        QString record = m_catalog->records().at(i);
        if (record.startsWith(prefix))
            record.remove(0, prefix.size());
        result.append(record);
    }
    return result;
}

QStringList TestFileListCommands::rowNames() const
{
    QStringList names;
    for (int row = 0; row < m_model->rowCount(); ++row)
        names.append(m_model->index(row, NameColumn).data().toString());
    return names;
}

QStringList TestFileListCommands::rowKeywords() const
{
    QStringList keywords;
    for (int row = 0; row < m_model->rowCount(); ++row)
        keywords.append(m_model->index(row, KeywordsColumn).data().toString());
    return keywords;
}

void TestFileListCommands::removeOneRow_data()
{
    QTest::addColumn<Answer>("answer");
    QTest::addColumn<QStringList>("rows");
    QTest::addColumn<QStringList>("records");
    QTest::addColumn<bool>("saved");
    const QStringList all{kSentinelRecord, "x.txt/1>",   "a.png/3>beach", "a.png/3>beach",
                          "y.txt/2>",      "b.png/3>sunset", "c.txt/3>",  "d.mp3/3>rock"};
    QTest::newRow("no keeps the file") << Answer::No << QStringList{"a", "b", "c", "d"} << all << true;
    QTest::newRow("yes removes both adjacent records and the row")
        << Answer::Yes << QStringList{"b", "c", "d"}
        << QStringList{kSentinelRecord, "x.txt/1>", "y.txt/2>", "b.png/3>sunset", "c.txt/3>", "d.mp3/3>rock"}
        << false;
}

void TestFileListCommands::removeOneRow()
{
    QFETCH(Answer, answer);
    m_ui->answers = {answer};
    m_commands->RemoveItem({0}, 0);

    QCOMPARE(m_ui->messages.size(), 1);
    const Interaction::Message &question = m_ui->messages.first();
    QCOMPARE(question.text, QStringLiteral("Are you sure you want to remove a from the file list?"));
    QCOMPARE(question.title, QStringLiteral("Marlowind"));
    QCOMPARE(question.icon, Icon::Critical);
    QCOMPARE(question.buttons, Buttons::YesNo);
    QTEST(rowNames(), "rows");
    QTEST(records(), "records");
    QTEST(m_catalog->FileListSaved(), "saved");
}

void TestFileListCommands::removeSeveralRows_data()
{
    QTest::addColumn<Answer>("answer");
    QTest::addColumn<QStringList>("rows");
    QTest::addColumn<QStringList>("records");
    QTest::addColumn<bool>("saved");
    QTest::newRow("no keeps all three")
        << Answer::No << QStringList{"a", "b", "c", "d"}
        << QStringList{kSentinelRecord, "x.txt/1>", "a.png/3>beach", "a.png/3>beach",
                       "y.txt/2>",      "b.png/3>sunset", "c.txt/3>", "d.mp3/3>rock"}
        << true;
    QTest::newRow("yes removes three rows and their records")
        << Answer::Yes << QStringList{"c"} << QStringList{kSentinelRecord, "x.txt/1>", "y.txt/2>", "c.txt/3>"}
        << false;
}

void TestFileListCommands::removeSeveralRows()
{
    QFETCH(Answer, answer);
    m_ui->answers = {answer};
    m_commands->RemoveItem({0, 1, 3}, 3);

    QCOMPARE(m_ui->messages.size(), 1);
    QCOMPARE(m_ui->messages.first().text, kPlaylistQuestion);
    QCOMPARE(m_ui->messages.first().title, QStringLiteral("Marlowind"));
    QCOMPARE(m_ui->messages.first().icon, Icon::Critical);
    QCOMPARE(m_ui->messages.first().buttons, Buttons::YesNo);
    QTEST(rowNames(), "rows");
    QTEST(records(), "records");
    QTEST(m_catalog->FileListSaved(), "saved");
}

void TestFileListCommands::removeWithNoneSelectedKeepsEverything_data()
{
    QTest::addColumn<bool>("savedBefore");
    QTest::newRow("saved catalog stays saved") << true;
    QTest::newRow("changed catalog stays changed") << false;
}

void TestFileListCommands::removeWithNoneSelectedKeepsEverything()
{
    QFETCH(bool, savedBefore);
    savedBefore ? m_catalog->markSaved() : m_catalog->markChanged();
    const QStringList before = records();
    m_ui->answers = {Answer::Yes};
    m_commands->RemoveItem({}, 2); // a current row without a selection is not removed

    QCOMPARE(m_ui->messageTexts(), QStringList{kPlaylistQuestion});
    QCOMPARE(rowNames(), (QStringList{"a", "b", "c", "d"}));
    QCOMPARE(records(), before);
    QCOMPARE(m_catalog->FileListSaved(), savedBefore);
}

void TestFileListCommands::dropWithoutCategoryIsRefused_data()
{
    QTest::addColumn<int>("target");
    QTest::newRow("nothing selected") << 0;
    QTest::newRow("a category that is not there") << 6;
}

void TestFileListCommands::dropWithoutCategoryIsRefused()
{
    QFETCH(int, target);
    const QStringList before = records();
    m_commands->MoveDroppedFiles({path(QStringLiteral("b.png")), path(QStringLiteral("d.mp3"))}, target, {1, 3});

    QCOMPARE(m_ui->messages.size(), 1);
    QCOMPARE(m_ui->messages.first().text, kNoCategory);
    QCOMPARE(m_ui->messages.first().title, QStringLiteral("Corvanta"));
    QCOMPARE(m_ui->messages.first().icon, Icon::None);
    QCOMPARE(m_ui->messages.first().buttons, Buttons::Ok);
    QCOMPARE(records(), before);
    QCOMPARE(rowNames(), (QStringList{"a", "b", "c", "d"}));
    QVERIFY(m_catalog->FileListSaved());
}

void TestFileListCommands::dropRefilesBehindFirstRecord_data()
{
    QTest::addColumn<QStringList>("dropped");
    QTest::addColumn<QList<int>>("selected");
    QTest::addColumn<int>("target");
    QTest::addColumn<QStringList>("records");
    QTest::addColumn<QStringList>("rows");

    // The last record refiled comes first, right behind the sentinel.
    QTest::newRow("two rows of category 3 onto 5")
        << QStringList{"b.png", "d.mp3"} << QList<int>{1, 3} << 5
        << QStringList{kSentinelRecord, "d.mp3/5>rock", "b.png/5>sunset", "x.txt/1>", "a.png/3>beach",
                       "a.png/3>beach", "y.txt/2>",     "c.txt/3>"}
        << QStringList{"a", "c"};
    QTest::newRow("a file filed twice has both records refiled")
        << QStringList{"a.png"} << QList<int>{0} << 4
        << QStringList{kSentinelRecord, "a.png/4>beach", "a.png/4>beach", "x.txt/1>",
                       "y.txt/2>",      "b.png/3>sunset", "c.txt/3>",     "d.mp3/3>rock"}
        << QStringList{"b", "c", "d"};
    QTest::newRow("onto the listed category the rows still go")
        << QStringList{"c.txt"} << QList<int>{2} << 3
        << QStringList{kSentinelRecord, "c.txt/3>",      "x.txt/1>", "a.png/3>beach", "a.png/3>beach",
                       "y.txt/2>",      "b.png/3>sunset", "d.mp3/3>rock"}
        << QStringList{"a", "b", "d"};
}

void TestFileListCommands::dropRefilesBehindFirstRecord()
{
    QFETCH(QStringList, dropped);
    QFETCH(QList<int>, selected);
    QFETCH(int, target);
    QStringList paths;
    for (const QString &name : dropped)
        paths.append(path(name));
    m_commands->MoveDroppedFiles(paths, target, selected);

    QVERIFY2(m_ui->messages.isEmpty(), qPrintable(m_ui->messageTexts().join(QLatin1Char('\n'))));
    QTEST(records(), "records");
    QTEST(rowNames(), "rows");
    QVERIFY(!m_catalog->FileListSaved());
}

void TestFileListCommands::dropOfUnknownFilesStillRemovesSelectedRows()
{
    const QString outside = TestFiles::createFile(m_dir->filePath(QStringLiteral("elsewhere/q.png")), "q");
    const QStringList before = records();
    m_commands->MoveDroppedFiles({outside, path(QStringLiteral("A.PNG"))}, 2, {1, 2});

    QVERIFY(m_ui->messages.isEmpty());
    QCOMPARE(records(), before); // a drop never adds files, and paths compare with case
    QCOMPARE(rowNames(), (QStringList{"a", "d"}));
    QVERIFY(m_catalog->FileListSaved());
}

void TestFileListCommands::updateKeywordsRefusesIllegalCharacters_data()
{
    QTest::addColumn<QString>("keywords");
    QTest::newRow("greater-than") << "sea>side";
    QTest::newRow("double quote") << "\"sea\"";
    QTest::newRow("apostrophe") << "sea's edge";
    QTest::newRow("slash at the end") << "sea/";
    QTest::newRow("backslash first") << "\\sea";
    QTest::newRow("several of them, one message") << "a/b\\c>d";
}

void TestFileListCommands::updateKeywordsRefusesIllegalCharacters()
{
    QFETCH(QString, keywords);
    const QStringList before = records();
    m_commands->UpdateKeywords({0, 1}, keywords);

    QCOMPARE(m_ui->messages.size(), 1);
    QCOMPARE(m_ui->messages.first().text, kIllegal);
    QCOMPARE(m_ui->messages.first().title, QStringLiteral("Corvanta"));
    QCOMPARE(m_ui->messages.first().icon, Icon::Critical);
    QCOMPARE(records(), before);
    QCOMPARE(rowKeywords(), (QStringList{"beach", "sunset", "", "rock"}));
    QVERIFY(m_catalog->FileListSaved());
}

void TestFileListCommands::updateKeywordsWithoutRecord_data()
{
    QTest::addColumn<QList<int>>("selected");
    QTest::addColumn<bool>("dropRecordOfRowOne");
    QTest::newRow("no row selected") << QList<int>{} << false;
    QTest::newRow("selected row has no record any more") << QList<int>{1} << true;
}

void TestFileListCommands::updateKeywordsWithoutRecord()
{
    QFETCH(QList<int>, selected);
    QFETCH(bool, dropRecordOfRowOne);
    if (dropRecordOfRowOne) {
        m_catalog->records().removeAt(5); // b.png's only record; its row stays listed
        m_catalog->markSaved();
    }
    const QStringList before = records();
    m_commands->UpdateKeywords(selected, QStringLiteral("sea"));

    QCOMPARE(m_ui->messages.size(), 1);
    QCOMPARE(m_ui->messages.first().text, kNoRecord);
    QCOMPARE(m_ui->messages.first().title, QStringLiteral("Corvanta"));
    QCOMPARE(m_ui->messages.first().icon, Icon::Critical);
    QCOMPARE(records(), before);
    QCOMPARE(rowKeywords(), (QStringList{"beach", "sunset", "", "rock"}));
    QVERIFY(m_catalog->FileListSaved());
}

void TestFileListCommands::updateKeywordsRewritesRecordsAndCells_data()
{
    QTest::addColumn<QList<int>>("selected");
    QTest::addColumn<QString>("keywords");
    QTest::addColumn<QStringList>("records");
    QTest::addColumn<QStringList>("cells");
    QTest::newRow("two rows, one of them filed twice")
        << QList<int>{0, 3} << "sea shore"
        << QStringList{kSentinelRecord, "x.txt/1>", "a.png/3>sea shore", "a.png/3>sea shore",
                       "y.txt/2>",      "b.png/3>sunset", "c.txt/3>",     "d.mp3/3>sea shore"}
        << QStringList{"sea shore", "sunset", "", "sea shore"};
    QTest::newRow("empty text clears the keywords")
        << QList<int>{1} << ""
        << QStringList{kSentinelRecord, "x.txt/1>", "a.png/3>beach", "a.png/3>beach",
                       "y.txt/2>",      "b.png/3>", "c.txt/3>",      "d.mp3/3>rock"}
        << QStringList{"beach", "", "", "rock"};
}

void TestFileListCommands::updateKeywordsRewritesRecordsAndCells()
{
    QFETCH(QList<int>, selected);
    QFETCH(QString, keywords);
    m_commands->UpdateKeywords(selected, keywords);

    QVERIFY2(m_ui->messages.isEmpty(), qPrintable(m_ui->messageTexts().join(QLatin1Char('\n'))));
    QTEST(records(), "records");
    QTEST(rowKeywords(), "cells");
    QVERIFY(!m_catalog->FileListSaved());
    for (int i = 0; i < m_catalog->records().size(); ++i)
        QVERIFY(!m_catalog->records().isMarked(i));
}

QTEST_MAIN(TestFileListCommands)
#include "tst_filelistcommands.moc"
