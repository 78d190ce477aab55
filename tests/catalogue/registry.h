#pragma once

#include <QObject>

#include <functional>
#include <memory>
#include <vector>

// The catalogue's test program holds one test class per subject, each in its
// own file and registered there with QM_CATALOGUE_TEST; main() runs them all.
namespace registry {

using Maker = std::function<std::unique_ptr<QObject>()>;
std::vector<Maker> &classes();

template <class T> struct Registration
{
    Registration()
    {
        classes().push_back([] { return std::make_unique<T>(); });
    }
};

} // namespace registry

#define QM_CATALOGUE_TEST(Class) static const registry::Registration<Class> registered##Class;
