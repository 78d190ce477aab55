#pragma once

class Dataset;
class Connection;

// A change of several rows that is made whole or not at all: everything the
// dataset writes between construction and commit() is one transaction, rolled
// back if the object goes away without commit() (an error on the way).
class Transaction
{
public:
    explicit Transaction(Dataset &dataset);
    explicit Transaction(Connection &connection);
    ~Transaction();
    void commit();

    Transaction(const Transaction &) = delete;
    Transaction &operator=(const Transaction &) = delete;

private:
    Connection &m_connection;
    bool m_open = true;
};
