#include "AssociationText.h"

#include <QTest>

class TestAssociationText : public QObject
{
    Q_OBJECT

private slots:
    void execArgument_data();
    void execArgument();
    void withExecProgram_data();
    void withExecProgram();
    void withDefaultApplication_data();
    void withDefaultApplication();
};

void TestAssociationText::execArgument_data()
{
    QTest::addColumn<QString>("argument");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("plain path") << "/usr/bin/corvanta" << QByteArray("/usr/bin/corvanta");
    QTest::newRow("space") << "/opt/my apps/corvanta" << QByteArray("\"/opt/my apps/corvanta\"");
    QTest::newRow("percent doubled") << "/opt/100%/corvanta" << QByteArray("/opt/100%%/corvanta");
    QTest::newRow("quote and dollar escaped") << "/opt/a\"$b/corvanta" << QByteArray("\"/opt/a\\\\\"\\\\$b/corvanta\"");
    QTest::newRow("backslash escaped twice") << "/opt/a\\b/corvanta" << QByteArray("\"/opt/a\\\\\\\\b/corvanta\"");
    QTest::newRow("reserved character") << "/opt/a&b/corvanta" << QByteArray("\"/opt/a&b/corvanta\"");
    QTest::newRow("not ASCII") << QStringLiteral("/opt/f\u00e4hre/corvanta") << QByteArray("/opt/f\xc3\xa4hre/corvanta");
}

void TestAssociationText::execArgument()
{
    QFETCH(QString, argument);
    QFETCH(QByteArray, expected);
    QCOMPARE(AssociationText::execArgument(argument), expected);
}

void TestAssociationText::withExecProgram_data()
{
    QTest::addColumn<QByteArray>("entry");
    QTest::addColumn<QString>("program");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("field code kept") << QByteArray("[Desktop Entry]\nName=Corvanta\nExec=corvanta %f\nIcon=corvanta\n")
                                     << "/opt/c/corvanta"
                                     << QByteArray("[Desktop Entry]\nName=Corvanta\nExec=/opt/c/corvanta %f\nIcon=corvanta\n");
    QTest::newRow("quoted program, CR LF kept") << QByteArray("Exec=corvanta %f\r\nTryExec=corvanta\r\n")
                                                << "/tmp/a b/corvanta"
                                                << QByteArray("Exec=\"/tmp/a b/corvanta\" %f\r\nTryExec=corvanta\r\n");
    QTest::newRow("no arguments") << QByteArray("Exec=corvanta") << "/opt/corvanta" << QByteArray("Exec=/opt/corvanta");
}

void TestAssociationText::withExecProgram()
{
    QFETCH(QByteArray, entry);
    QFETCH(QString, program);
    QFETCH(QByteArray, expected);
    QCOMPARE(AssociationText::withExecProgram(entry, program), expected);
}

void TestAssociationText::withDefaultApplication_data()
{
    QTest::addColumn<QByteArray>("list");
    QTest::addColumn<QByteArray>("expected");
    const QByteArray ours("application/x-corvanta-catalog=corvanta.desktop");
    QTest::newRow("no file yet") << QByteArray() << "[Default Applications]\n" + ours + "\n";
    QTest::newRow("group missing") << QByteArray("[Added Associations]\ntext/plain=gedit.desktop;\n")
                                   << "[Added Associations]\ntext/plain=gedit.desktop;\n\n[Default Applications]\n" + ours
            + "\n";
    QTest::newRow("added at the end of the group")
        << QByteArray("[Default Applications]\ntext/plain=gedit.desktop\n\n[Added Associations]\nx/y=z.desktop;\n")
        << "[Default Applications]\ntext/plain=gedit.desktop\n" + ours + "\n\n[Added Associations]\nx/y=z.desktop;\n";
    QTest::newRow("another program's default replaced in place")
        << QByteArray("[Default Applications]\napplication/x-corvanta-catalog=other.desktop\ntext/html=firefox.desktop\n")
        << "[Default Applications]\n" + ours + "\ntext/html=firefox.desktop\n";
    QTest::newRow("already ours") << "[Default Applications]\n" + ours + "\n" << "[Default Applications]\n" + ours + "\n";
    QTest::newRow("doubled entry made one")
        << "[Default Applications]\n" + ours + "\ntext/html=f.desktop\n" + ours + "\n"
        << "[Default Applications]\n" + ours + "\ntext/html=f.desktop\n";
    QTest::newRow("no final line end") << QByteArray("[Default Applications]\ntext/plain=gedit.desktop")
                                       << "[Default Applications]\ntext/plain=gedit.desktop\n" + ours + "\n";
    QTest::newRow("CR LF list") << QByteArray("[Default Applications]\r\ntext/plain=a.desktop\r\n")
                                << "[Default Applications]\r\ntext/plain=a.desktop\r\n" + ours + "\r\n";
    QTest::newRow("comments and odd spacing kept")
        << QByteArray("# mine\n[Default Applications]\n text/plain = a.desktop \n# end\n")
        << "# mine\n[Default Applications]\n text/plain = a.desktop \n" + ours + "\n# end\n";
    QTest::newRow("same key elsewhere untouched")
        << "[Added Associations]\n" + ours + ";\n"
        << "[Added Associations]\n" + ours + ";\n\n[Default Applications]\n" + ours + "\n";
}

void TestAssociationText::withDefaultApplication()
{
    QFETCH(QByteArray, list);
    QFETCH(QByteArray, expected);
    QCOMPARE(AssociationText::withDefaultApplication(list, "application/x-corvanta-catalog", "corvanta.desktop"), expected);
}

QTEST_GUILESS_MAIN(TestAssociationText)
#include "tst_associationtext.moc"
