#pragma once

#include "AppSettings.h"
#include "CategoryTreeModel.h"
#include "CategoryTreeView.h"
#include "FileListModel.h"
#include "FileListView.h"
#include "MainWindow.h"
#include "ScriptedInteraction.h"
#include "TestFiles.h"

#include <QImage>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

// Main windows over a small catalog of real files in a temporary folder, every
// dialog answered from a script: 1 Photos (3 Holidays below it), 2 Music, 4 Empty.
// Photos holds a.png (filed twice), b.jpg, d.bmp and notes.txt.
class WindowFixture
{
public:
    // In the order of the catalog file, folder left out.
    static QStringList catalogRecords()
    {
        return {"a.png/1>sunset", "song.mp3/2>rock",       "b.jpg/1>beach", "notes.txt/1>",
                "a.png/1>sunset", "holiday.2004.png/3>sun", "d.bmp/1>mountain"};
    }

    void setUpFixture()
    {
        QStandardPaths::setTestModeEnabled(true);
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
        m_ui = std::make_unique<ScriptedInteraction>();
        QSettings(QStringLiteral("Corvanta"), QStringLiteral("Corvanta")).clear();
        m_settings = std::make_unique<AppSettings>();
        for (const char *name : {"a.png", "b.jpg", "holiday.2004.png", "d.bmp"}) {
            QImage picture(40, 30, QImage::Format_RGB32);
            picture.fill(Qt::darkGreen);
            QVERIFY(picture.save(path(QString::fromLatin1(name))));
        }
        QVERIFY(!TestFiles::createFile(path(QStringLiteral("song.mp3")), "ID3").isEmpty());
        QVERIFY(!TestFiles::createFile(path(QStringLiteral("notes.txt")), "some notes").isEmpty());

        QByteArray text = " 4 \r\n\"Photos\",\"Photos\",1\r\n\"Music\",\"Music\",2\r\n"
                          "\"Holidays\",\"Photos\\Holidays\",3\r\n\"Empty\",\"Empty\",4\r\n";
        for (const QString &record : catalogRecords()) {
            const int slash = record.lastIndexOf(QLatin1Char('/'));
            const int gt = record.lastIndexOf(QLatin1Char('>'));
            text += "\"" + path(record.left(slash)).toUtf8() + "\"," + record.mid(slash + 1, gt - slash - 1).toUtf8()
                + ",\"" + record.mid(gt + 1).toUtf8() + "\"\r\n";
        }
        m_catalogPath = TestFiles::createFile(path(QStringLiteral("catalog.kvd")), text);
        QVERIFY(!m_catalogPath.isEmpty());
    }

    // Fails the test when something was asked that no test scripted.
    void tearDownFixture()
    {
        // Closed before they go, as the program does: a window destroyed while shown
        // lays its list out once more after the caches its model reads are gone.
        for (auto &window : m_windows) {
            window->catalog().markSaved(); // no offer to save on the way out
            window->close();
        }
        m_windows.clear();
        QVERIFY2(m_ui->unexpected.isEmpty(), qPrintable(m_ui->unexpected.join(QLatin1Char('\n'))));
    }

    MainWindow *makeWindow(const QString &commandLine)
    {
        auto window = std::make_unique<MainWindow>(*m_ui, *m_settings);
        window->load(commandLine);
        window->show();
        if (!QTest::qWaitForWindowExposed(window.get()))
            return nullptr;
        window->categoryTree().expandAll();
        window->fileListModel().setBackgroundFillEnabled(false);
        m_windows.push_back(std::move(window));
        return m_windows.back().get();
    }
    MainWindow *makeLoadedWindow() { return makeWindow(m_catalogPath); }

    QString path(const QString &name) const { return m_dir->filePath(name); }

    // The records with the folder left out of their paths.
    QStringList records(MainWindow *window) const
    {
        QStringList result;
        const QString prefix = m_dir->path() + QLatin1Char('/');
        const RecordList &list = window->catalog().records();
        for (int i = 0; i < list.size(); ++i)
            result.append(list.at(i).startsWith(prefix) ? list.at(i).mid(prefix.size()) : list.at(i));
        return result;
    }

    // The tree as the view's model shows it: "Name#index(children) Next#index".
    static QString describeTree(const CategoryTreeModel &model, const QModelIndex &parent = QModelIndex())
    {
        QStringList nodes;
        for (int row = 0; row < model.rowCount(parent); ++row) {
            const QModelIndex node = model.index(row, 0, parent);
            QString text = node.data().toString() + QLatin1Char('#') + QString::number(model.categoryIndexAt(node));
            if (model.rowCount(node) > 0)
                text += QLatin1Char('(') + describeTree(model, node) + QLatin1Char(')');
            nodes.append(text);
        }
        return nodes.join(QLatin1Char(' '));
    }

    static QStringList column(MainWindow *window, int column, int role = Qt::DisplayRole)
    {
        QStringList cells;
        const FileListModel &model = window->fileListModel();
        for (int row = 0; row < model.rowCount(); ++row)
            cells.append(model.index(row, column).data(role).toString());
        return cells;
    }
    static QStringList rowNames(MainWindow *window) { return column(window, NameColumn); }

    static QPoint nodeCentre(MainWindow *window, int category)
    {
        const QModelIndex node = window->categoryTreeModel().indexForCategory(category);
        window->categoryTree().scrollTo(node);
        return window->categoryTree().visualRect(node).center();
    }
    // A point of the tree's viewport below every node.
    static QPoint besideNodes(MainWindow *window)
    {
        const QWidget *viewport = window->categoryTree().viewport();
        return QPoint(viewport->width() / 2, viewport->height() - 4);
    }
    static void clickCategory(MainWindow *window, int category)
    {
        QTest::mouseClick(window->categoryTree().viewport(), Qt::LeftButton, {}, nodeCentre(window, category));
        QTRY_VERIFY(!window->fileListModel().isListing());
    }
    static QPoint rowCentre(MainWindow *window, int row)
    {
        return window->fileList().visualRect(window->fileListModel().index(row, NameColumn)).center();
    }
    static void clickRow(MainWindow *window, int row)
    {
        QTest::mouseClick(window->fileList().viewport(), Qt::LeftButton, {}, rowCentre(window, row));
    }
    static void selectRows(MainWindow *window, const QStringList &names)
    {
        QItemSelectionModel *selection = window->fileList().selectionModel();
        selection->clear();
        for (const QString &name : names) {
            const QModelIndex index = window->fileListModel().index(int(rowNames(window).indexOf(name)), 0);
            selection->setCurrentIndex(index, QItemSelectionModel::Select | QItemSelectionModel::Rows);
        }
    }

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<ScriptedInteraction> m_ui;
    std::unique_ptr<AppSettings> m_settings;
    std::vector<std::unique_ptr<MainWindow>> m_windows;
    QString m_catalogPath;
};
