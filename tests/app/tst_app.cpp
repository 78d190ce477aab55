#include <QtTest>
class AppTest : public QObject { Q_OBJECT };
QTEST_MAIN(AppTest)
#include "tst_app.moc"
