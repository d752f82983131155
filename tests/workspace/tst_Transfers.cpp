#include <QtTest>
class tst_Transfers : public QObject
{
    Q_OBJECT
};
QTEST_GUILESS_MAIN(tst_Transfers)
#include "tst_Transfers.moc"
