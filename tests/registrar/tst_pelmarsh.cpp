// Runs the built Pelmarsh, copied into a folder whose name has a space, against temporary
// XDG folders, with a fake "corvanta" beside it that logs each start and its arguments.
#include <QDirIterator>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QByteArray kOtherPrograms("# kept as it is\n[Default Applications]\ntext/plain=gedit.desktop\n"
                                "\n[Added Associations]\nimage/png=gimp.desktop;eog.desktop;\n");
const QByteArray kOtherProgramsWithOurs("# kept as it is\n[Default Applications]\ntext/plain=gedit.desktop\n"
                                        "application/x-corvanta-catalog=corvanta.desktop\n"
                                        "\n[Added Associations]\nimage/png=gimp.desktop;eog.desktop;\n");

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeAll(const QString &path, const QByteArray &content, QFile::Permissions permissions = {})
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(content);
    file.close();
    if (permissions)
        file.setPermissions(permissions);
}

struct Run {
    int exitCode = -1;
    QString errors;
};

} // namespace

class TestPelmarsh : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void writesEachFile_data();
    void writesEachFile();
    void desktopEntryIsValid();
    void secondRunWritesTheSameBytes();
    void xdgMimeFindsTypeAndDefault();
    void unwritableConfigStillStartsCorvanta();
    void refusesWithoutAProgramToRegister_data();
    void refusesWithoutAProgramToRegister();

private:
    QString path(const QString &relative) const { return m_root->filePath(relative); }
    QString binFolder() const { return path(QStringLiteral("Pel Marsh bin")); }
    Run runPelmarsh(const QString &configHome = {});
    QProcessEnvironment environment(const QString &configHome = {}) const;
    QMap<QString, QByteArray> writtenFiles() const;

    std::unique_ptr<QTemporaryDir> m_root;
};

void TestPelmarsh::init()
{
    m_root = std::make_unique<QTemporaryDir>();
    QVERIFY(m_root->isValid());
    QDir().mkpath(binFolder());
    QVERIFY(QFile::copy(QStringLiteral(PELMARSH_PROGRAM), binFolder() + QStringLiteral("/pelmarsh")));
    writeAll(binFolder() + QStringLiteral("/corvanta"),
             "#!/bin/sh\necho \"$# [$*]\" >> \"$(dirname \"$0\")/started.log\"\n",
             QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    writeAll(path(QStringLiteral("config/mimeapps.list")), kOtherPrograms);
}

QProcessEnvironment TestPelmarsh::environment(const QString &configHome) const
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("HOME"), path(QStringLiteral("home")));
    environment.insert(QStringLiteral("XDG_DATA_HOME"), path(QStringLiteral("data")));
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), configHome.isEmpty() ? path(QStringLiteral("config")) : configHome);
    environment.remove(QStringLiteral("XDG_CURRENT_DESKTOP"));
    return environment;
}

Run TestPelmarsh::runPelmarsh(const QString &configHome)
{
    QProcess process;
    process.setProcessEnvironment(environment(configHome));
    process.start(binFolder() + QStringLiteral("/pelmarsh"), {});
    Run run;
    if (process.waitForFinished(30000) && process.exitStatus() == QProcess::NormalExit)
        run.exitCode = process.exitCode();
    run.errors = QString::fromUtf8(process.readAllStandardError());
    return run;
}

QMap<QString, QByteArray> TestPelmarsh::writtenFiles() const
{
    QMap<QString, QByteArray> files;
    for (const QString &folder : {QStringLiteral("data"), QStringLiteral("config")}) {
        QDirIterator it(path(folder), QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString file = it.next();
            files.insert(file, readAll(file));
        }
    }
    return files;
}

void TestPelmarsh::writesEachFile_data()
{
    QTest::addColumn<QString>("written");
    QTest::addColumn<QString>("sameAsData"); // the file in data/ it copies; empty: see expectedLines
    QTest::addColumn<QStringList>("expectedLines");
    QTest::newRow("mime package") << "data/mime/packages/corvanta.xml" << "corvanta.xml" << QStringList();
    QTest::newRow("desktop entry")
        << "data/applications/corvanta.desktop" << QString()
        << QStringList{"[Desktop Entry]", "Type=Application", "Name=Corvanta", "Icon=corvanta",
                       "Exec=\"<root>/Pel Marsh bin/corvanta\" %f", "MimeType=application/x-corvanta-catalog;",
                       "Categories=Utility;Archiving;Qt;"};
    QTest::newRow("program icon 48") << "data/icons/hicolor/48x48/apps/corvanta.png"
                                     << "icons/hicolor/48x48/apps/corvanta.png" << QStringList();
    QTest::newRow("program icon scalable") << "data/icons/hicolor/scalable/apps/corvanta.svg"
                                           << "icons/hicolor/scalable/apps/corvanta.svg" << QStringList();
    QTest::newRow("type icon 16") << "data/icons/hicolor/16x16/mimetypes/application-x-corvanta-catalog.png"
                                  << "icons/hicolor/16x16/mimetypes/application-x-corvanta-catalog.png"
                                  << QStringList();
}

void TestPelmarsh::writesEachFile()
{
    QFETCH(QString, written);
    QFETCH(QString, sameAsData);
    QFETCH(QStringList, expectedLines);
    const Run run = runPelmarsh();
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(run.errors, QString());
    QTRY_COMPARE(readAll(binFolder() + QStringLiteral("/started.log")), QByteArray("0 []\n"));

    const QByteArray content = readAll(path(written));
    if (!sameAsData.isEmpty()) {
        QVERIFY(!content.isEmpty());
        QCOMPARE(content, readAll(QStringLiteral(CORVANTA_DATA_DIR "/") + sameAsData));
        return;
    }
    const QStringList lines = QString::fromUtf8(content).split('\n');
    for (const QString &line : expectedLines)
        QVERIFY2(lines.contains(QString(line).replace(QStringLiteral("<root>"), m_root->path())), qPrintable(line));
}

void TestPelmarsh::desktopEntryIsValid()
{
    const QString validator = QStandardPaths::findExecutable(QStringLiteral("desktop-file-validate"));
    if (validator.isEmpty())
        QSKIP("desktop-file-validate is not installed");
    QCOMPARE(runPelmarsh().exitCode, 0);
    QProcess process;
    process.start(validator, {path(QStringLiteral("data/applications/corvanta.desktop"))});
    QVERIFY(process.waitForFinished(30000));
    QCOMPARE(QString::fromUtf8(process.readAll()), QString());
    QCOMPARE(process.exitCode(), 0);
}

void TestPelmarsh::secondRunWritesTheSameBytes()
{
    QCOMPARE(runPelmarsh().exitCode, 0);
    const QMap<QString, QByteArray> first = writtenFiles();
    QCOMPARE(runPelmarsh().exitCode, 0);
    QCOMPARE(writtenFiles(), first);
    // The other programs' entries kept, ours once.
    QCOMPARE(readAll(path(QStringLiteral("config/mimeapps.list"))), kOtherProgramsWithOurs);
    QVERIFY(first.size() >= 17); // desktop entry, mime package, mimeapps.list, 16 icons
    QTRY_COMPARE(readAll(binFolder() + QStringLiteral("/started.log")), QByteArray("0 []\n0 []\n"));
}

void TestPelmarsh::xdgMimeFindsTypeAndDefault()
{
    const QString xdgMime = QStandardPaths::findExecutable(QStringLiteral("xdg-mime"));
    if (xdgMime.isEmpty() || QStandardPaths::findExecutable(QStringLiteral("update-mime-database")).isEmpty())
        QSKIP("xdg-mime or update-mime-database is not installed");
    QCOMPARE(runPelmarsh().exitCode, 0);
    const QString catalog = path(QStringLiteral("a b/x.kvd"));
    writeAll(catalog, "1\r\n\"Photos\",\"Photos\",1\r\n");

    QProcessEnvironment env = environment();
    // Outside a desktop xdg-mime knows types by extension only through mimetype (package
    // libfile-mimeinfo-perl); without it GNOME's gio answers in the same way.
    if (QStandardPaths::findExecutable(QStringLiteral("mimetype")).isEmpty()) {
        if (QStandardPaths::findExecutable(QStringLiteral("gio")).isEmpty())
            QSKIP("neither mimetype nor gio is installed");
        env.insert(QStringLiteral("XDG_CURRENT_DESKTOP"), QStringLiteral("GNOME"));
    }
    const auto query = [&](const QStringList &arguments) {
        QProcess process;
        process.setProcessEnvironment(env);
        process.start(xdgMime, QStringList{QStringLiteral("query")} + arguments);
        process.waitForFinished(30000);
        return QString::fromUtf8(process.readAllStandardOutput()).trimmed();
    };
    QCOMPARE(query({QStringLiteral("filetype"), catalog}), QStringLiteral("application/x-corvanta-catalog"));
    QCOMPARE(query({QStringLiteral("default"), QStringLiteral("application/x-corvanta-catalog")}),
             QStringLiteral("corvanta.desktop"));
}

void TestPelmarsh::unwritableConfigStillStartsCorvanta()
{
    // A configuration "folder" that is a file: mimeapps.list cannot be written.
    writeAll(path(QStringLiteral("not a folder")), "x");
    const Run run = runPelmarsh(path(QStringLiteral("not a folder")));
    QCOMPARE(run.exitCode, 1); // a step failed
    QVERIFY2(run.errors.contains(QStringLiteral("mimeapps.list")), qPrintable(run.errors));
    QVERIFY(!readAll(path(QStringLiteral("data/applications/corvanta.desktop"))).isEmpty());
    QTRY_COMPARE(readAll(binFolder() + QStringLiteral("/started.log")), QByteArray("0 []\n"));
}

void TestPelmarsh::refusesWithoutAProgramToRegister_data()
{
    QTest::addColumn<QString>("setUp");
    QTest::addColumn<QString>("error");
    QTest::newRow("no corvanta beside it")
        << "rm \"$0/corvanta\"; exec \"$0/pelmarsh\""
        << "pelmarsh: nothing registered: Corvanta is not beside Pelmarsh (<bin>/corvanta is missing)\n";
    QTest::newRow("a corvanta that is no program")
        << "chmod 644 \"$0/corvanta\"; exec \"$0/pelmarsh\""
        << "pelmarsh: nothing registered: Corvanta is not beside Pelmarsh (<bin>/corvanta is not a program)\n";
    // The shell makes the name: Qt would turn the byte into text on its way.
    QTest::newRow("a folder name that is not UTF-8")
        << "d=\"$0$(printf '\\377')\"; mv \"$0\" \"$d\" && exec \"$d/pelmarsh\""
        << "pelmarsh: nothing registered: the name of the folder Pelmarsh is in (<bin>\uFFFD) is not valid UTF-8, which "
           "a desktop entry cannot hold; move Corvanta and Pelmarsh to another folder\n";
}

void TestPelmarsh::refusesWithoutAProgramToRegister()
{
    QFETCH(QString, setUp);
    QFETCH(QString, error);
    const QMap<QString, QByteArray> before = writtenFiles();
    QProcess process;
    process.setProcessEnvironment(environment());
    process.start(QStringLiteral("sh"), {QStringLiteral("-c"), setUp, binFolder()});
    QVERIFY(process.waitForFinished(30000));
    QCOMPARE(process.exitCode(), 1);
    QCOMPARE(QString::fromUtf8(process.readAllStandardError()), error.replace(QStringLiteral("<bin>"), binFolder()));
    QCOMPARE(writtenFiles(), before);
}

QTEST_GUILESS_MAIN(TestPelmarsh)
#include "tst_pelmarsh.moc"
