// A transaction as a scope guard: BEGIN when made, ROLLBACK when it ends without a successful Commit,
// so that a group of changes (delete the old row, insert the new one) lands whole or not at all.
#pragma once
#include "formdb/Database.h"

class Transaction
{
public:
    // Begins a transaction on db; check Active() (ErrorText of db tells why it failed).
    explicit Transaction(Database& db);
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;

    bool Active() const { return m_active; }
    // COMMIT; false when not active or when SQLite refuses (the transaction then stays active and is
    // rolled back by Rollback or the destructor).
    bool Commit();
    // ROLLBACK; false when not active or when SQLite refuses.
    bool Rollback();

private:
    Database& m_db;
    bool m_active = false;
};
