// DataBuffer: reservation sizes, hand-over of blocks, UTF-16 helpers, and the integrity stop of
// both buffers (checked in a child process, since the stop ends the process).
#include <gtest/gtest.h>
#include <windows.h>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string>
#include "kit/DataBuffer.h"
#include "kit/StringBuffer.h"

namespace {
std::string bytes(const DataBuffer& db) { return std::string((const char*)db.getData(), db.getSize()); }
}

TEST(DataBufferGrowth, AppendReservesAndCopies)
{
    DataBuffer db;
    EXPECT_EQ(0u, db.getCapacity());
    EXPECT_TRUE(db.append(nullptr, 5));
    EXPECT_TRUE(db.append("x", 0));
    EXPECT_EQ(nullptr, db.getData());
    EXPECT_TRUE(db.append("a", 1));
    EXPECT_EQ(20000u, db.getCapacity());
    std::string big(30000, 'b');
    EXPECT_TRUE(db.append(big.data(), (uint32_t)big.size()));
    EXPECT_EQ(1u + 30000u, db.getCapacity()); // size + max(n, 20000)
    EXPECT_EQ(30001u, db.getSize());
    EXPECT_EQ('a', db.getData()[0]);
    EXPECT_EQ('b', db.getData()[30000]);

    DataBuffer chars;
    EXPECT_TRUE(chars.appendChar('z'));
    EXPECT_EQ(10000u, chars.getCapacity());
    EXPECT_EQ("z", bytes(chars));
}

TEST(DataBufferGrowth, OwnBytesCanBeAppendedWhileGrowing)
{
    DataBuffer db;
    db.takeOwnership(new unsigned char[3]{'a', 'b', 'c'}, 3); // full: the append must grow
    EXPECT_TRUE(db.append(db.getData(), 3));
    EXPECT_EQ("abcabc", bytes(db));
    EXPECT_TRUE(db.append(db.getData() + 1, 2)); // room left now
    EXPECT_EQ("abcabcbc", bytes(db));
}

TEST(DataBufferGrowth, SizeEditingAndIndexes)
{
    DataBuffer db;
    EXPECT_EQ(nullptr, db.getDataAt(0));
    db.append("abcdef", 6);
    EXPECT_EQ(db.getData() + 5, db.getDataAt(5));
    EXPECT_EQ(nullptr, db.getDataAt(6));
    EXPECT_EQ(nullptr, db.getDataAt(-1));
    db.shorten(2);
    EXPECT_EQ("abcd", bytes(db));
    db.shorten(99);
    EXPECT_EQ(0u, db.getSize());
    db.setSize(3);
    EXPECT_EQ("abc", bytes(db));
    db.setSize(1u << 30);
    EXPECT_EQ(db.getCapacity(), db.getSize());
    db.clear();
    db.append("0123456789", 10);
    db.removeFront(4);
    EXPECT_EQ("456789", bytes(db));
    db.removeFront(6);
    EXPECT_EQ(0u, db.getSize());
    EXPECT_TRUE(db.ensureBuffer(50000));
    EXPECT_EQ(50000u, db.getCapacity());
}

TEST(DataBufferOwnership, BorrowTakeAndForget)
{
    char outside[4] = {'w', 'x', 'y', 'z'};
    DataBuffer db;
    db.borrowData(outside, 4);
    EXPECT_TRUE(db.isBorrowed());
    EXPECT_EQ("wxyz", bytes(db));
    // Growing a borrowed block copies it and leaves the lender's memory alone.
    EXPECT_TRUE(db.append("!", 1));
    EXPECT_FALSE(db.isBorrowed());
    EXPECT_EQ("wxyz!", bytes(db));
    EXPECT_EQ('w', outside[0]);

    DataBuffer other;
    other.append("moved", 5);
    unsigned char* block = other.getData();
    db.takeFrom(other);
    EXPECT_EQ(block, db.getData());
    EXPECT_EQ("moved", bytes(db));
    EXPECT_EQ(nullptr, other.getData());
    EXPECT_EQ(0u, other.getCapacity());

    unsigned char* given = new unsigned char[3]{'1', '2', '3'};
    db.takeOwnership(given, 3);
    EXPECT_EQ("123", bytes(db));
    EXPECT_FALSE(db.isBorrowed());

    unsigned char* kept = db.getData();
    db.forget();
    EXPECT_EQ(nullptr, db.getData());
    delete[] kept;
}

TEST(DataBufferUtf16, TerminatedAppendReplaceAndLower)
{
    DataBuffer db;
    EXPECT_TRUE(db.appendUtf16z(nullptr));
    EXPECT_EQ(std::string(2, '\0'), bytes(db));
    db.clear();
    EXPECT_TRUE(db.appendUtf16z(L"A\x0130\x0391"));
    ASSERT_EQ(8u, db.getSize());
    db.appendChar('Z'); // an odd trailing byte is left alone
    db.toLowerUtf16();
    const unsigned char want[] = {'a', 0, 0x69, 0, 0xB1, 0x03, 0, 0, 'Z'};
    EXPECT_EQ(std::string((const char*)want, sizeof want), bytes(db));

    db.replaceUtf16Unit(0x0069, 0x2022);
    EXPECT_EQ(0x22, db.getData()[2]);
    EXPECT_EQ(0x20, db.getData()[3]);
    db.replaceUtf16Unit(0, 0x41); // a unit of 0 is never replaced
    EXPECT_EQ(0, db.getData()[6]);
}

// Runs in the child only: uses a destroyed buffer, which must end the process before the marker.
TEST(DISABLED_IntegrityChild, UseAfterDestroy)
{
    const char* which = getenv("KIT_INTEGRITY_CASE");
    ASSERT_NE(nullptr, which);
    alignas(DataBuffer) unsigned char dataRoom[sizeof(DataBuffer)];
    alignas(kit::StringBuffer) unsigned char textRoom[sizeof(kit::StringBuffer)];
    if (strcmp(which, "data") == 0) {
        DataBuffer* db = new (dataRoom) DataBuffer;
        db->~DataBuffer();
        db->append("x", 1);
    } else {
        kit::StringBuffer* sb = new (textRoom) kit::StringBuffer("abc");
        sb->~StringBuffer();
        sb->clear();
    }
    printf("STILL-RUNNING\n");
    fflush(stdout);
}

namespace {
// Re-launches this executable on the child test; returns its exit code and output.
DWORD runIntegrityChild(const char* which, std::string& output)
{
    char exe[MAX_PATH];
    GetModuleFileNameA(nullptr, exe, MAX_PATH);
    SetEnvironmentVariableA("KIT_INTEGRITY_CASE", which);
    std::string command = std::string("\"") + exe +
                          "\" --gtest_also_run_disabled_tests --gtest_catch_exceptions=0 "
                          "--gtest_filter=DISABLED_IntegrityChild.UseAfterDestroy";
    SECURITY_ATTRIBUTES sa = {sizeof sa, nullptr, TRUE};
    HANDLE readEnd = nullptr, writeEnd = nullptr;
    if (!CreatePipe(&readEnd, &writeEnd, &sa, 0))
        return 0xFFFFFFFF;
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdOutput = writeEnd;
    si.hStdError = writeEnd;
    si.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    PROCESS_INFORMATION pi = {};
    std::string line = command;
    BOOL started = CreateProcessA(nullptr, &line[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi);
    CloseHandle(writeEnd);
    SetEnvironmentVariableA("KIT_INTEGRITY_CASE", nullptr);
    if (!started) {
        CloseHandle(readEnd);
        return 0xFFFFFFFF;
    }
    char chunk[512];
    DWORD got = 0;
    while (ReadFile(readEnd, chunk, sizeof chunk, &got, nullptr) && got)
        output.append(chunk, got);
    CloseHandle(readEnd);
    WaitForSingleObject(pi.hProcess, 30000);
    DWORD code = 0;
    GetExitCodeProcess(pi.hProcess, &code);
    CloseHandle(pi.hProcess);
    CloseHandle(pi.hThread);
    return code;
}
}

TEST(BufferIntegrity, DestroyedBuffersStopTheProcess)
{
    for (const char* which : {"data", "text"}) {
        std::string output;
        DWORD code = runIntegrityChild(which, output);
        EXPECT_NE(0xFFFFFFFFu, code) << which;
        EXPECT_EQ((DWORD)EXCEPTION_ACCESS_VIOLATION, code) << which;
        EXPECT_NE(std::string::npos, output.find("UseAfterDestroy")) << which << ": child did not run\n" << output;
        EXPECT_EQ(std::string::npos, output.find("STILL-RUNNING")) << which;
    }
}
