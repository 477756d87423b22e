#include "QtInteraction.h"

#include <QApplication>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

// The real dialogs, where they show.
class TestQtInteraction : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void messageBelongsToTheWindowThatAsked();
};

void TestQtInteraction::messageBelongsToTheWindowThatAsked()
{
    // A window that stays on top (Missing Files) asks: its message must not show
    // underneath it, where the program would look frozen.
    QWidget main;
    main.show();
    QWidget asking(&main, Qt::Window | Qt::WindowStaysOnTopHint);
    asking.show();
    QApplication::setActiveWindow(&asking);
    QtInteraction interaction(&main);
    QWidget *parentOfBox = nullptr;
    QTimer::singleShot(0, [&parentOfBox] {
        if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
            parentOfBox = box->parentWidget();
            box->accept();
        }
    });
    interaction.message(QStringLiteral("Saved."), Interaction::kProgramTitle, Interaction::Icon::None);
    QCOMPARE(parentOfBox, &asking);
}

QTEST_MAIN(TestQtInteraction)
#include "tst_qtinteraction.moc"
