#include "transaction.h"

#include "connection.h"
#include "dataset.h"

Transaction::Transaction(Dataset &dataset)
    : Transaction(dataset.connection())
{}

Transaction::Transaction(Connection &connection)
    : m_connection(connection)
{
    m_connection.exec("BEGIN IMMEDIATE");
}

Transaction::~Transaction()
{
    if (!m_open)
        return;
    try {
        m_connection.exec("ROLLBACK");
    } catch (...) {
        // SQLite has already rolled back when the transaction failed.
    }
}

void Transaction::commit()
{
    m_connection.exec("COMMIT");
    m_open = false;
}
