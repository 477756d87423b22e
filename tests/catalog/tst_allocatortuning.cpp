#include "AllocatorTuning.h"

#include <QFileInfo>
#include <QProcess>
#include <QTest>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

// The restart with huge pages: once, keeping what the user set, never in a loop.
// The test starts itself with --child, which tunes and prints what it then runs with.
class TestAllocatorTuning : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void restartsOnceWithHugePages_data();
    void restartsOnceWithHugePages();
};

void TestAllocatorTuning::restartsOnceWithHugePages_data()
{
    QTest::addColumn<QString>("given"); // "-" for none
    QTest::addColumn<QString>("runsWith");
    QTest::newRow("none set") << "-" << "glibc.malloc.hugetlb=1 starts=2";
    QTest::newRow("others kept") << "glibc.malloc.check=0" << "glibc.malloc.check=0:glibc.malloc.hugetlb=1 starts=2";
    QTest::newRow("the user's own choice stays") << "glibc.malloc.hugetlb=0" << "glibc.malloc.hugetlb=0 starts=1";
}

void TestAllocatorTuning::restartsOnceWithHugePages()
{
    QFETCH(QString, given);
    QProcess child;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("GLIBC_TUNABLES"));
    if (given != QLatin1String("-"))
        environment.insert(QStringLiteral("GLIBC_TUNABLES"), given);
    environment.insert(QStringLiteral("TUNING_STARTS"), QStringLiteral("0"));
    child.setProcessEnvironment(environment);
    child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--child")});
    QVERIFY(child.waitForFinished(10000));
    const QStringList lines = QString::fromLocal8Bit(child.readAllStandardOutput()).trimmed().split(QLatin1Char('\n'));
    QCOMPARE(lines.size(), 2);
    QTEST(lines.first(), "runsWith");
    // The kernel keeps 15 characters of the name.
    QCOMPARE(lines.last(), QFileInfo(QCoreApplication::applicationFilePath()).fileName().left(15));
}

int main(int argc, char **argv)
{
    if (argc > 1 && std::strcmp(argv[1], "--child") == 0) {
        // Counts the starts through the environment, which the restart keeps.
        const int starts = std::atoi(std::getenv("TUNING_STARTS")) + 1;
        setenv("TUNING_STARTS", std::to_string(starts).c_str(), 1);
        tuneAllocatorForLargeCatalogs(argv);
        const char *tunables = std::getenv("GLIBC_TUNABLES");
        std::printf("%s starts=%d\n", tunables ? tunables : "(none)", starts);
        // The process keeps its own name.
        std::FILE *comm = std::fopen("/proc/self/comm", "r");
        char name[64] = {};
        if (comm && std::fgets(name, sizeof name, comm))
            std::printf("%s", name);
        if (comm)
            std::fclose(comm);
        return 0;
    }
    QCoreApplication application(argc, argv);
    TestAllocatorTuning test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_allocatortuning.moc"
