#include "catalogue.h"

#include "store/connection.h"

Catalogue::Catalogue(const QString &absolutePath, QObject *parent)
    : Catalogue(absolutePath, std::make_unique<CatalogueLock>(absolutePath), parent)
{}

Catalogue::Catalogue(const QString &absolutePath, std::unique_ptr<CatalogueLock> taken, QObject *parent)
    : QObject(parent)
    , m_path(absolutePath)
    , m_lock(std::move(taken))
{}

Catalogue::~Catalogue() = default;

CatalogueLock::Outcome Catalogue::takeLock(int timeoutMs)
{
    return m_lock->tryLock(timeoutMs);
}

Connection &Catalogue::connection() const
{
    if (!m_connection)
        m_connection = std::make_unique<Connection>(m_path);
    return *m_connection;
}
