#include <QtTest>
class ComponentsTest : public QObject { Q_OBJECT };
QTEST_MAIN(ComponentsTest)
#include "tst_components.moc"
