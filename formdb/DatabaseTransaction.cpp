// Transaction: BEGIN, COMMIT and ROLLBACK through the traced Execute of Database.
#include "formdb/DatabaseTransaction.h"

Transaction::Transaction(Database& db) : m_db(db)
{
    m_active = m_db.Execute("BEGIN");
}

Transaction::~Transaction()
{
    if (m_active)
        Rollback();
}

bool Transaction::Commit()
{
    if (!m_active || !m_db.Execute("COMMIT"))
        return false;
    m_active = false;
    return true;
}

bool Transaction::Rollback()
{
    if (!m_active)
        return false;
    // After a failed ROLLBACK there is no transaction this guard could still end, so it is not
    // active afterwards either way.
    m_active = false;
    if (m_db.Execute("ROLLBACK"))
        return true;
    // Closing the database also rolls back; so does SQLite after some errors.
    return !m_db.IsOpen() || sqlite3_get_autocommit(m_db.Handle());
}
