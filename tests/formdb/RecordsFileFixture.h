// A registered form database in a temporary folder, with helpers that run SQL on it directly.
#pragma once
#include <gtest/gtest.h>

#include <string>

#include "formdb/Database.h"
#include "formdb/DatabaseStatement.h"
#include "formdb/FormDatabase.h"
#include "tests/support/TempFolder.h"

// Index 2 is listed first: the list shows FirstName, Name, Birth.
inline const char kFieldList[] = "PATjjjj2jName|FIRSTjjjj1jFirstName|DOBjjjj3jBirth";

struct RecordsFile : ::testing::Test
{
    TempFolder folder;
    std::wstring path = folder.File(L"claim.gdb");

    void SetUp() override
    {
        ASSERT_TRUE(CreateFormDatabase(path, kFieldList, "CMS-1500").ok);
    }
    void Exec(const char* sql)
    {
        Database db;
        ASSERT_TRUE(db.Open(path.c_str())) << db.ErrorText();
        ASSERT_TRUE(db.Execute(sql)) << db.ErrorText() << " in " << sql;
    }
    std::string One(const char* sql)
    {
        Database db;
        EXPECT_TRUE(db.Open(path.c_str())) << db.ErrorText();
        Statement query;
        EXPECT_TRUE(query.Prepare(db, sql)) << query.ErrorText();
        return query.Step() == StepResult::Row ? std::string(query.ColumnText(0)) : std::string("<no row>");
    }
};
