#include "files/dlgFileExists.h"

#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

class tst_dlgFileExists : public QObject
{
    Q_OBJECT
private slots:
    void answers_data();
    void answers();
};

void tst_dlgFileExists::answers_data()
{
    QTest::addColumn<QString>("button"); // empty: closed with Escape
    QTest::addColumn<FileExistsAnswer>("answer");
    QTest::newRow("append") << "AppendButton" << FileExistsAnswer::Append;
    QTest::newRow("overwrite") << "OverwriteButton" << FileExistsAnswer::Overwrite;
    QTest::newRow("cancel") << "CancelButton" << FileExistsAnswer::Cancel;
    QTest::newRow("escape") << "" << FileExistsAnswer::Cancel;
}

void tst_dlgFileExists::answers()
{
    QFETCH(QString, button);
    QFETCH(FileExistsAnswer, answer);
    dlgFileExists dialog;
    QTimer::singleShot(0, &dialog,
                       [&] { dialog.findChild<QPushButton*>("OverwriteButton")->click(); });
    QCOMPARE(dialog.Ask("first"), FileExistsAnswer::Overwrite); // the next use must not inherit it
    QString shown;
    QTimer::singleShot(0, &dialog, [&] {
        shown = dialog.findChild<QLabel*>("Label1")->text();
        if (button.isEmpty())
            QTest::keyClick(&dialog, Qt::Key_Escape);
        else
            dialog.findChild<QPushButton*>(button)->click();
    });
    QCOMPARE(dialog.Ask(QStringLiteral("C:\\x.txt\n already exists!")), answer);
    QCOMPARE(shown, QStringLiteral("C:\\x.txt\n already exists!"));
}

QTEST_MAIN(tst_dlgFileExists)
#include "tst_dlgFileExists.moc"
