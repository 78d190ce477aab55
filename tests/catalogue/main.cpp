#include "registry.h"

#include <QApplication>
#include <QtTest>

namespace registry {

std::vector<Maker> &classes()
{
    static std::vector<Maker> all;
    return all;
}

} // namespace registry

// Runs every registered class; fails when any of them fails.
int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    int failed = 0;
    for (const registry::Maker &make : registry::classes()) {
        const std::unique_ptr<QObject> test = make();
        failed += QTest::qExec(test.get(), argc, argv);
    }
    return failed;
}
