#include <QtTest>
class MainTest : public QObject { Q_OBJECT };
QTEST_MAIN(MainTest)
#include "tst_main.moc"
