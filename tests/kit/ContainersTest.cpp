// ExtPtrArray, ExtIntArray, CK_List and HashTableI: growth steps, removal and lookups.
#include <gtest/gtest.h>
#include "kit/CK_List.h"
#include "kit/ExtIntArray.h"
#include "kit/ExtPtrArray.h"
#include "kit/HashTableI.h"

namespace {
// Counts its destructions, to see what deleteAll deletes.
struct Tracked : KitObject
{
    explicit Tracked(int* deaths) : m_deaths(deaths) {}
    ~Tracked() override { ++*m_deaths; }
    int* m_deaths;
};
}

TEST(ExtPtrArrayTest, GrowthDoublesThroughTheStep)
{
    ExtPtrArray arr(0, 0);
    EXPECT_EQ(5, arr.getCapacity());
    EXPECT_EQ(5, arr.getGrowthStep());
    KitObject objects[11];
    for (int i = 0; i < 6; i++)
        arr.appendPtr(&objects[i]);
    EXPECT_EQ(10, arr.getCapacity());
    EXPECT_EQ(10, arr.getGrowthStep());
    for (int i = 6; i < 11; i++)
        arr.appendPtr(&objects[i]);
    EXPECT_EQ(20, arr.getCapacity());
    for (int i = 0; i < 11; i++)
        EXPECT_EQ(&objects[i], arr.getAt(i));

    ExtPtrArray lazy;
    EXPECT_EQ(0, lazy.getCapacity());
    EXPECT_EQ(nullptr, lazy.lastElement());
    lazy.appendPtr(&objects[0]);
    EXPECT_EQ(5, lazy.getCapacity());
    lazy.removeAll();
    EXPECT_EQ(0, lazy.getSize());
}

TEST(ExtPtrArrayTest, StepKeepsDoublingPast100000)
{
    ExtPtrArray arr(1, 1);
    KitObject one;
    for (int i = 0; i < 300000; i++)
        arr.appendPtr(&one);
    EXPECT_EQ(300000, arr.getSize());
    // Capacities 1, 3 (a growth to no more than the count takes one more), then doubling: 6, 12, ...
    // up to 3 x 2^17, the first above 300,000, and the step with it.
    EXPECT_EQ(393216, arr.getCapacity());
    EXPECT_EQ(393216, arr.getGrowthStep());
    EXPECT_EQ(&one, arr.getAt(299999));
}

TEST(ExtPtrArrayTest, RemovePopAndDeleteAll)
{
    int deaths = 0;
    ExtPtrArray arr;
    Tracked* a = new Tracked(&deaths);
    Tracked* b = new Tracked(&deaths);
    Tracked* c = new Tracked(&deaths);
    arr.appendPtr(a);
    arr.appendPtr(b);
    arr.appendPtr(c);
    EXPECT_EQ(nullptr, arr.getAt(-1));
    EXPECT_EQ(nullptr, arr.getAt(3));
    EXPECT_EQ(b, arr.removeAt(1));
    EXPECT_EQ(c, arr.getAt(1));
    EXPECT_EQ(nullptr, arr.removeAt(2));
    EXPECT_EQ(c, arr.pop());
    EXPECT_EQ(c, (arr.appendPtr(c), arr.lastElement()));
    arr.appendPtr(nullptr);
    EXPECT_EQ(0, deaths);
    arr.deleteAll();
    EXPECT_EQ(2, deaths); // a and c; the NULL slot is skipped
    EXPECT_EQ(0, arr.getSize());
    EXPECT_EQ(nullptr, arr.pop());
    arr.appendPtr(b);
    EXPECT_EQ(b, arr.getAt(0));
    arr.deleteAll();
    EXPECT_EQ(3, deaths);
}

TEST(ExtIntArrayTest, AppendGrowRemove)
{
    ExtIntArray arr(6, 15);
    for (int i = 0; i < 100; i++)
        arr.append(i * 3);
    EXPECT_EQ(100, arr.getSize());
    EXPECT_EQ(297, arr.getAt(99));
    EXPECT_EQ(0, arr.getAt(100));
    EXPECT_EQ(0, arr.getAt(-1));
    arr.removeAt(0);
    EXPECT_EQ(3, arr.getAt(0));
    EXPECT_EQ(99, arr.getSize());
    arr.removeAt(99);
    EXPECT_EQ(99, arr.getSize());

    ExtIntArray tiny(0, 1);
    EXPECT_EQ(2, tiny.getCapacity());
    tiny.append(-7);
    tiny.append(8);
    tiny.append(9);
    EXPECT_EQ(3, tiny.getCapacity());
    EXPECT_EQ(-7, tiny.getAt(0));
    EXPECT_EQ(9, tiny.getAt(2));
}

TEST(CKListTest, LinksAndDeletion)
{
    CK_List list;
    int x = 1, y = 2, z = 3;
    list.appendData(&x);
    list.appendData(&y);
    list.appendItem(nullptr);
    list.appendData(&z);
    EXPECT_EQ(3, list.getCount());
    EXPECT_EQ(&z, list.getTail()->getData());
    EXPECT_EQ(&y, list.getTail()->getPrev()->getData());
    EXPECT_EQ(&x, list.getHead()->getData());
    EXPECT_EQ(nullptr, list.getHead()->getPrev());
    EXPECT_EQ(nullptr, list.getTail()->getNext());
    CK_ListItem same(&z);
    EXPECT_TRUE(list.getTail()->dataEquals(&same));
    EXPECT_FALSE(list.getHead()->dataEquals(&same));
    list.deleteItems();
    EXPECT_EQ(0, list.getCount());
    EXPECT_EQ(nullptr, list.getTail());
    EXPECT_EQ(nullptr, list.getHead());
}

TEST(HashTableITest, InsertLookupAndSharedBuckets)
{
    HashTableI table(800);
    EXPECT_EQ(5u, table.bucketIndex(805));
    table.hashInsert(5, 50);
    table.hashInsert(805, 8050);
    table.hashInsert(5, 51);
    bool found = false;
    EXPECT_EQ(51u, table.hashLookup(5, found));
    EXPECT_TRUE(found);
    EXPECT_EQ(8050u, table.hashLookup(805, found));
    EXPECT_TRUE(found);
    table.hashInsert(7, 0);
    EXPECT_EQ(0u, table.hashLookup(7, found));
    EXPECT_TRUE(found);
    EXPECT_EQ(0u, table.hashLookup(1605, found));
    EXPECT_FALSE(found);
    EXPECT_EQ(nullptr, table.findPair(6));
    for (uint32_t k = 1000; k < 3000; k++)
        table.hashInsert(k, k * 2);
    for (uint32_t k = 1000; k < 3000; k++)
        ASSERT_EQ(k * 2, table.hashLookup(k, found));
    EXPECT_EQ(0xFFFFFFFFu % 800, table.bucketIndex(0xFFFFFFFFu));
}

TEST(ExtPtrArrayTest, CallersSlotsWithOneInUseThenGrowth)
{
    KitObject a, b, c;
    KitObject* slots[2] = {&a, nullptr};
    {
        ExtPtrArray arr(slots, 2, 5, 1);
        EXPECT_EQ(1, arr.getSize());
        EXPECT_EQ(&a, arr.getAt(0));
        EXPECT_EQ(&a, arr.lastElement());
        ASSERT_TRUE(arr.appendPtr(&b));
        EXPECT_EQ(&b, slots[1]) << "the caller's slots are used until they are full";
        ASSERT_TRUE(arr.appendPtr(&c));
        EXPECT_EQ(3, arr.getSize());
        EXPECT_GE(arr.getCapacity(), 3);
        EXPECT_EQ(&a, arr.getAt(0));
        EXPECT_EQ(&b, arr.getAt(1));
        EXPECT_EQ(&c, arr.getAt(2));
    }
    // The array moved to slots of its own and left the caller's as they were.
    EXPECT_EQ(&a, slots[0]);
    EXPECT_EQ(&b, slots[1]);
}

TEST(KitObjectTest, SerialsCountOnPast32Bits)
{
    const uint64_t saved = kit::g_nextSerial;
    kit::g_nextSerial = 0xFFFFFFFEull;
    KitObject first, second, third;
    kit::g_nextSerial = saved;
    EXPECT_EQ(0xFFFFFFFEull, first.getSerial());
    EXPECT_EQ(0xFFFFFFFFull, second.getSerial());
    EXPECT_EQ(0x100000000ull, third.getSerial());
}
