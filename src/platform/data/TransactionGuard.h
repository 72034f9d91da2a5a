#pragma once

#include "platform/data/Connection.h"

// Begins a transaction and rolls it back unless commit() was reached.
class TransactionGuard {
public:
    explicit TransactionGuard(Connection& c) : m_c(c) { m_c.beginTransaction(); }
    ~TransactionGuard() {
        if (!m_done) {
            try {
                m_c.rollback();
            } catch (...) {
            }
        }
    }
    void commit() {
        m_c.commit();
        m_done = true;
    }
    TransactionGuard(const TransactionGuard&) = delete;
    TransactionGuard& operator=(const TransactionGuard&) = delete;

private:
    Connection& m_c;
    bool m_done = false;
};
