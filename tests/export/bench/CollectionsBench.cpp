// Collections benchmark: 10,000 submissions built into collection data (filters applied in the same
// pass), wrapped and sorted, as the collections page does before it sends them. Run by hand.
#include "export/CollectionsRecord.h"
#include "export/CollectionsSort.h"

#include <windows.h>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

int main(int argc, char** argv)
{
    const int count = argc > 1 ? std::atoi(argv[1]) : 10000;
    CollectionsContext context;
    context.year = 2024;
    context.month = 3;
    context.day = 1;
    context.filters.pastDue = kPastDueAll;
    context.filters.patient = L"Patient";
    LARGE_INTEGER frequency, start, stop, built, end;
    QueryPerformanceFrequency(&frequency);
    LONGLONG building = 0;
    CollectionTotals totals;
    std::wstring data;
    // Rows are made one at a time, as the query hands them over; only the building is timed.
    for (int i = 0; i < count; ++i) {
        CollectionRow row;
        row.rowId = i + 1;
        row.submdate = std::to_wstring(1 + i % 12) + L"/" + std::to_wstring(1 + i % 28) + L"/" + std::to_wstring(2015 + i % 9);
        std::wstring fields;
        auto add = [&](const std::wstring& name, int index, const std::wstring& value) {
            fields += L"<" + name + L"jjjj" + std::to_wstring(index) + L">" + value + L"</" + name + L"jjjj" +
                      std::to_wstring(index) + L">";
        };
        // About the size of a filled claim form: every mapped field and 200 others.
        add(L"_2_PATIENT_S_NAME_Last_First_Middle_Initial", 1, L"Patient " + std::to_wstring((i * 7919) % count));
        add(L"_4_INSUREDS_NAME_Last_First_Middle_Initial", 2, L"Insured " + std::to_wstring(i));
        for (int line = 1; line <= 6; ++line) {
            add(L"_24f_" + std::to_wstring(line) + L"_Charges_dollars", 10 + line, std::to_wstring(50 + line));
            add(L"_24f_" + std::to_wstring(line) + L"_Charges_cents", 20 + line, L"25");
            add(L"_24a_" + std::to_wstring(line) + L"_DATES_OF_SERVICE_FROM_MM_DD_YY", 30 + line, L"01 02 24");
        }
        for (int other = 0; other < 200; ++other) add(L"_99_OTHER_FIELD_" + std::to_wstring(other), 100 + other, L"value");
        row.fxml = L"<fields><topmostSubform/><numberedFields>" + fields + L"</numberedFields></fields>";
        if (i % 3 == 0) row.collectionsXml = L"<r><TotalDue_1>12.50</TotalDue_1><CoPay_1>5</CoPay_1></r>";
        QueryPerformanceCounter(&start);
        data += WrapCollections(BuildRecordCollectionsXml(row, context, totals));
        QueryPerformanceCounter(&stop);
        building += stop.QuadPart - start.QuadPart;
    }
    QueryPerformanceCounter(&built);
    const std::wstring sorted = SortCollections(WrapXfaData(data), kSortPatientAtoZ);
    QueryPerformanceCounter(&end);
    const double buildSeconds = double(building) / frequency.QuadPart;
    const double sortSeconds = double(end.QuadPart - built.QuadPart) / frequency.QuadPart;
    std::printf("%d records: built %.3f s, sorted %.3f s, total %.3f s, %zu characters\n", count, buildSeconds, sortSeconds,
                buildSeconds + sortSeconds, sorted.size());
    return sorted.empty() ? 1 : 0;
}
