// The clearinghouse layout table: the column and row of every claim-form field on the page. Six
// service lines of 18 fields each (entries 87 to 194) take two rows each, from row 43 on.
#include "export/ClearinghouseLayout.h"

#include <iterator>

namespace {

const ClearinghouseEntry kEntries[] = {
    {0, "_1_MEDICARE", 2, 7},
    {1, "_1_MEDICAID", 10, 7},
    {2, "_1_TRICARE_CHAMPUS", 17, 7},
    {3, "_1_CHAMPVA", 25, 7},
    {4, "_1_GROUP_HEALTH_PLAN", 32, 7},
    {5, "_1_FECA_BLK_LUNG", 40, 7},
    {6, "_1_OTHER", 47, 7},
    {7, "_1a_Insureds_ID", 52, 7},
    {8, "_2_PATIENT_S_NAME_Last_First_Middle_Initial", 2, 9},
    {9, "_3_PATIENTS_BIRTH_DATE_MM_DD_CCYY", 33, 9},
    {10, "_3_PATIENTS_SEX_M", 45, 9},
    {11, "_3_PATIENTS_SEX_F", 48, 9},
    {12, "_4_INSUREDS_NAME_Last_First_Middle_Initial", 52, 9},
    {13, "_5_PATIENTS_ADDRESS_No_Street", 2, 11},
    {14, "_5_PATIENTS_CITY", 2, 13},
    {15, "_5_PATIENTS_STATE", 28, 13},
    {16, "_5_PATIENTS_ZIP_CODE", 2, 15},
    {17, "_5_PATIENTS_PHONE_AREA_CODE", 17, 15},
    {18, "_5_PATIENTS_PHONE_NUMBER", 21, 15},
    {19, "_6_PATIENT_RELATIONSHIP_TO_INSURED_SELF", 34, 11},
    {20, "_6_PATIENT_RELATIONSHIP_TO_INSURED_Spouse", 39, 11},
    {21, "_6_PATIENT_RELATIONSHIP_TO_INSURED_Child", 45, 11},
    {22, "_6_PATIENT_RELATIONSHIP_TO_INSURED_Other", 48, 11},
    {23, "_7_INSUREDS_ADDRESS_No_Street", 52, 11},
    {24, "_7_INSUREDS_CITY", 52, 13},
    {25, "_7_INSUREDS_STATE", 83, 13},
    {26, "_7_INSUREDS_ZIP_CODE", 52, 15},
    {27, "_7_INSUREDS_PHONE_AREA_CODE", 67, 15},
    {28, "_7_INSUREDS_PHONE_NUMBER", 71, 15},
    {29, "_8_PATIENT_STATUS_Single", 35, 13},
    {30, "_8_PATIENT_STATUS_Married", 42, 13},
    {31, "_8_PATIENT_STATUS_Other", 48, 13},
    {32, "_8_PATIENT_STATUS_Employed", 35, 15},
    {33, "_8_PATIENT_STATUS_Full-Time", 42, 15},
    {34, "_8_PATIENT_STATUS_Part-Time", 48, 15},
    {35, "_9_OTHER_INSUREDS_NAME", 2, 17},
    {36, "_9a_OTHER_INSUREDS_POLICY_OR_GROUP_NUMBER", 2, 19},
    {37, "_9B_OTHER_INSUREDS_DATE_OF_BIRTH_MM_DD_CCYY", 2, 21},
    {38, "_9B_OTHER_INSUREDS_SEX_M", 19, 21},
    {39, "_9B_OTHER_INSUREDS_SEX_F", 25, 21},
    {40, "_9c_EMPLOYERS_NAME_OR_SCHOOL_NAME", 2, 23},
    {41, "_9d_OTHER_INSURANCE_PLAN_NAME_OR_PROGRAM_NAME", 2, 25},
    {42, "_10a_EMPLOYMENT_YES", 35, 19},
    {43, "_10a_EMPLOYMENT_NO", 42, 19},
    {44, "_10b_AUTO_ACCIDENT_YES", 35, 21},
    {45, "_10b_AUTO_ACCIDENT_NO", 42, 21},
    {46, "_10_PLACE_State", 46, 21},
    {47, "_10c_OTHER_ACCIDENT_YES", 35, 23},
    {48, "_10c_OTHER_ACCIDENT_NO", 42, 23},
    {49, "_10d_RESERVED_FOR_LOCAL_USE", 30, 25},
    {50, "_11_Insureds_Policy_Group", 52, 17},
    {51, "_11a_Insureds_DATE_OF_BIRTH_MM_DD_CCYY", 55, 19},
    {52, "_11a_Insureds_SEX_M_2", 72, 19},
    {53, "_11a_Insureds_SEX_F_2", 81, 19},
    {54, "_11b_Employer_name_or_school", 52, 21},
    {55, "_11c_Insureds_Insurance_Plan_Name", 52, 23},
    {56, "_11d_IS_THERE_ANOTHER_HEALTH_BENEFIT_PLAN_YES_4", 57, 25},
    {57, "_11d_IS_THERE_ANOTHER_HEALTH_BENEFIT_PLAN_NO_4", 65, 25},
    {58, "_12_PATIENTS_OR_AUTHORIZED_PERSONS_SIGNATURE_I_AUTHORIZE_SIGNED", 9, 29},
    {59, "_12_PATIENTS_OR_AUTHORIZED_PERSONS_SIGNATURE_I_AUTHORIZE_DATE", 39, 29},
    {60, "_13_INSUREDS_OR_AUTHORIZED_PERSONS_SIGNATURE_I_authorize", 59, 29},
    {61, "_14_FIRST_DATE_OF_CURRENT_ILLNESS_SYMPTOM_OR_INJURY_ACCIDENT_OR_PREGNANCY_LMP_MM_DD_YY", 3, 31},
    {62, "_15_IF_PATIENT_HAS_HAD_SAME_OR_SIMILAR_ILLNESS_GIVE_FIRST_DATE_MM_DD_YY", 40, 31},
    {63, "_16_DATES_PARIENT_UNABLE_TO_WORK_IN_CURRENT_OCCUPATION_FROM_MM_DD_YY", 60, 31},
    {64, "_16_DATES_PARIENT_UNABLE_TO_WORK_IN_CURRENT_OCCUPATION_TO_MM_DD_YY", 75, 31},
    {65, "_17_NAME_OF_REFERRING_PROVIDER_OR_OTHER_SOURCE", 2, 33},
    {66, "_17a_NAME_OF_REFERRING_PROVIDER_OR_OTHER_SOURCE", 31, 32},
    {67, "_17a_Non_NPI_ID_Number", 34, 32},
    {68, "_17b_NAME_OF_REFERRING_PROVIDER_OR_OTHER_SOURCE_NPI", 34, 33},
    {69, "_18_HOSPITALIZAION_DATES_RELATED_TO_CURRENT_SERVICES_FROM_MM_DD_YY", 60, 33},
    {70, "_18_HOSPITALIZAION_DATES_RELATED_TO_CURRENT_SERVICES_TO_MM_DD_YY", 75, 33},
    {71, "_19_RESERVED_FOR_LOCAL_USE", 2, 35},
    {72, "_20_OUTSIDE_LAB_YES_5", 53, 35},
    {73, "_20_OUTSIDE_LAB_NO_5", 58, 35},
    {74, "_20_OUTSIDE_LAB_CHARGES_DOLLARS", 70, 35},
    {75, "_20_OUTSIDE_LAB_CHARGES_CENTS", 79, 35},
    {76, "_21_1a_DIAGNOSIS_OR_NATURE_OF_ILLNESS_OR_INJURY_Relate_Items_1_2_3_or_4_to_Item_24E_by_Line_1a", 4, 37},
    {77, "_21_1b_DIAGNOSIS_OR_NATURE_OF_ILLNESS_OR_INJURY_Relate_Items_1_2_3_or_4_to_Item_24E_by_Line_1b", 9, 37},
    {78, "_21_2a_DIAGNOSIS_OR_NATURE_OF_ILLNESS_OR_INJURY_Relate_Items_1_2_3_or_4_to_Item_24E_by_Line_2a", 4, 39},
    {79, "_21_2b_DIAGNOSIS_OR_NATURE_OF_ILLNESS_OR_INJURY_Relate_Items_1_2_3_or_4_to_Item_24E_by_Line_2b", 9, 39},
    {80, "_21_3a_DIAGNOSIS_OR_NATURE_OF_ILLNESS_OR_INJURY_Relate_Items_1_2_3_or_4_to_Item_24E_by_Line_3a", 31, 37},
    {81, "_21_3b_DIAGNOSIS_OR_NATURE_OF_ILLNESS_OR_INJURY_Relate_Items_1_2_3_or_4_to_Item_24E_by_Line_3b", 36, 37},
    {82, "_21_4a_DIAGNOSIS_OR_NATURE_OF_ILLNESS_OR_INJURY_Relate_Items_1_2_3_or_4_to_Item_24E_by_Line_4b", 31, 39},
    {83, "_21_4b_DIAGNOSIS_OR_NATURE_OF_ILLNESS_OR_INJURY_Relate_Items_1_2_3_or_4_to_Item_24E_by_Line_4b", 36, 39},
    {84, "_22_MEDICAID_RESUBMISSION_CODE", 50, 37},
    {85, "_22_MEDICAID_RESUBMISSION_ORIGINAL_REF_NUMBER", 65, 37},
    {86, "_23_PRIOR_AUTHORIZATION_NUMBER", 50, 39},
    {87, "SERVICE_LINE_1", 2, 43},
    {88, "_24a_1_DATES_OF_SERVICE_FROM_MM_DD_YY", 2, 44},
    {89, "_24a_1_DATES_OF_SERVICE_TO_MM_DD_YY", 12, 44},
    {90, "_24b_1_PLACE_OF_SERVICE", 22, 44},
    {91, "_24c_1_EMG", 25, 44},
    {92, "_24d_1_PROCEDURES_SERVICES_OR_SUPPLIES_CPT_HCPCS", 28, 44},
    {93, "_24d_1_PROCEDURES_SERVICES_OR_SUPPLIES_MODIFIER_box1", 35, 44},
    {94, "_24d_1_PROCEDURES_SERVICES_OR_SUPPLIES_MODIFIER_box2", 38, 44},
    {95, "_24d_1_PROCEDURES_SERVICES_OR_SUPPLIES_MODIFIER_box3", 41, 44},
    {96, "_24d_1_PROCEDURES_SERVICES_OR_SUPPLIES_MODIFIER_box4", 44, 44},
    {97, "_24E_1_Diagnosis_Pointer", 47, 44},
    {98, "_24f_1_Charges_dollars", 53, 44},
    {99, "_24f_1_Charges_cents", 61, 44},
    {100, "_24g_1_DAYS_OR_UNITS", 64, 44},
    {101, "_24H_1_EPSDT_Family_Plan", 68, 44},
    {102, "_24I_1_ID_QUAL", 71, 43},
    {103, "_24J_1_PROVIDER_ID_RENDERING", 74, 43},
    {104, "_24J_1_PROVIDER_ID_RENDERING_NPI", 74, 44},
    {105, "SERVICE_LINE_2", 2, 45},
    {106, "_24a_2_DATES_OF_SERVICE_FROM_MM_DD_YY", 2, 46},
    {107, "_24a_2_DATES_OF_SERVICE_TO_MM_DD_YY", 12, 46},
    {108, "_24b_2_PLACE_OF_SERVICE", 22, 46},
    {109, "_24c_2_EMG", 25, 46},
    {110, "_24d_2_PROCEDURES_SERVICES_OR_SUPPLIES_CPT_HCPCS", 28, 46},
    {111, "_24d_2_PROCEDURES_SERVICES_OR_SUPPLIES_MODIFIER_box1", 35, 46},
    {112, "_24d_2_PROCEDURES_SERVICES_OR_SUPPLIES_MODIFIER_box2", 38, 46},
    {113, "_24d_2_PROCEDURES_SERVICES_OR_SUPPLIES_MODIFIER_box3", 41, 46},
    {114, "_24d_2_PROCEDURES_SERVICES_OR_SUPPLIES_MODIFIER_box4", 44, 46},
    {115, "_24E_2_Diagnosis_Pointer", 47, 46},
    {116, "_24f_2_Charges_dollars", 53, 46},
    {117, "_24f_2_Charges_cents", 61, 46},
    {118, "_24g_2_DAYS_OR_UNITS", 64, 46},
    {119, "_24H_2_EPSDT_Family_Plan", 68, 46},
    {120, "_24I_2_ID_QUAL", 71, 45},
    {121, "_24J_2_PROVIDER_ID_RENDERING", 74, 45},
    {122, "_24J_2_PROVIDER_ID_RENDERING_NPI", 74, 46},
    {123, "SERVICE_LINE_3", 2, 47},
    {124, "_24a_3_DATES_OF_SERVICE_FROM_MM_DD_YY", 2, 48},
    {125, "_24a_3_DATES_OF_SERVICE_TO_MM_DD_YY", 12, 48},
    {126, "_24b_3_PLACE_OF_SERVICE", 22, 48},
    {127, "_24c_3_EMG", 25, 48},
    {128, "_24d_3_PROCEDURES_SERVICES_OR_SUPPLIES_CPT_HCPCS", 28, 48},
    {129, "_24d_3_PROCEDURES_SERVICES_OR_SUPPLIES_Modifier_box1", 35, 48},
    {130, "_24d_3_PROCEDURES_SERVICES_OR_SUPPLIES_Modifier_box2", 38, 48},
    {131, "_24d_3_PROCEDURES_SERVICES_OR_SUPPLIES_Modifier_box3", 41, 48},
    {132, "_24d_3_PROCEDURES_SERVICES_OR_SUPPLIES_Modifier_box4", 44, 48},
    {133, "_24E_3_Diagnosis_Pointer", 47, 48},
    {134, "_24f_3_Charges_dollars", 53, 48},
    {135, "_24f_3_Charges_cents", 61, 48},
    {136, "_24g_3_DAYS_OR_UNITS", 64, 48},
    {137, "_24H_3_EPSDT_Family_Plan", 68, 48},
    {138, "_24I_3_ID_QUAL", 71, 47},
    {139, "_24J_3_PROVIDER_ID_RENDERING", 74, 47},
    {140, "_24J_3_PROVIDER_ID_RENDERING_NPI", 74, 48},
    {141, "SERVICE_LINE_4", 2, 49},
    {142, "_24a_4_DATES_OF_SERVICE_FROM_MM_DD_YY", 2, 50},
    {143, "_24a_4_DATES_OF_SERVICE_TO_MM_DD_YY", 12, 50},
    {144, "_24b_4_PLACE_OF_SERVICE", 22, 50},
    {145, "_24c_4_EMG", 25, 50},
    {146, "_24d_4_PROCEDURES_SERVICES_OR_SUPPLIES_CPT_HCPCS", 28, 50},
    {147, "_24d_4_PROCEDURES_SERVICES_OR_SUPPLIES_Modifier_box1", 35, 50},
    {148, "_24d_4_PROCEDURES_SERVICES_OR_SUPPLIES_Modifier_box2", 38, 50},
    {149, "_24d_4_PROCEDURES_SERVICES_OR_SUPPLIES_Modifier_box3", 41, 50},
    {150, "_24d_4_PROCEDURES_SERVICES_OR_SUPPLIES_Modifier_box4", 44, 50},
    {151, "_24E_4_Diagnosis_Pointer", 47, 50},
    {152, "_24f_4_Charges_dollars", 53, 50},
    {153, "_24f_4_Charges_cents", 61, 50},
    {154, "_24g_4_DAYS_OR_UNITS", 64, 50},
    {155, "_24H_4_EPSDT_Family_Plan", 68, 50},
    {156, "_24I_4_ID_QUAL", 71, 49},
    {157, "_24J_4_PROVIDER_ID_RENDERING", 74, 49},
    {158, "_24J_4_PROVIDER_ID_RENDERING_NPI", 74, 50},
    {159, "SERVICE_LINE_5", 2, 51},
    {160, "_24a_5_DATES_OF_SERVICE_FROM_MM_DD_YY", 2, 52},
    {161, "_24a_5_DATES_OF_SERVICE_TO_MM_DD_YY", 12, 52},
    {162, "_24b_5_PLACE_OF_SERVICE", 22, 52},
    {163, "_24c_5_EMG", 25, 52},
    {164, "_24d_5_PROCEDURES_SERVICES_OR_SUPPLIES_CPT_HCPCS", 28, 52},
    {165, "_24d_5_PROCEDURES_SERVICES_OR_SUPPLIES_Modifier_box1", 35, 52},
    {166, "_24d_5_PROCEDURES_SERVICES_OR_SUPPLIES_Modifier_box2", 38, 52},
    {167, "_24d_5_PROCEDURES_SERVICES_OR_SUPPLIES_Modifier_box3", 41, 52},
    {168, "_24d_5_PROCEDURES_SERVICES_OR_SUPPLIES_Modifier_box4", 44, 52},
    {169, "_24E_5_Diagnosis_Pointer", 47, 52},
    {170, "_24f_5_Charges_dollars", 53, 52},
    {171, "_24f_5_Charges_cents", 61, 52},
    {172, "_24g_5_DAYS_OR_UNITS", 64, 52},
    {173, "_24H_5_EPSDT_Family_Plan", 68, 52},
    {174, "_24I_5_ID_QUAL", 71, 51},
    {175, "_24J_5_PROVIDER_ID_RENDERING", 74, 51},
    {176, "_24J_5_PROVIDER_ID_RENDERING_NPI", 74, 52},
    {177, "SERVICE_LINE_6", 2, 53},
    {178, "_24a_6_DATES_OF_SERVICE_FROM_MM_DD_YY", 2, 54},
    {179, "_24a_6_DATES_OF_SERVICE_TO_MM_DD_YY", 12, 54},
    {180, "_24b_6_PLACE_OF_SERVICE", 22, 54},
    {181, "_24c_6_EMG", 25, 54},
    {182, "_24d_6_PROCEDURES_SERVICES_OR_SUPPLIES_CPT_HCPCS", 28, 54},
    {183, "_24d_6_PROCEDURES_SERVICES_OR_SUPPLIES_Modifier_box1", 35, 54},
    {184, "_24d_6_PROCEDURES_SERVICES_OR_SUPPLIES_Modifier_box2", 38, 54},
    {185, "_24d_6_PROCEDURES_SERVICES_OR_SUPPLIES_Modifier_box3", 41, 54},
    {186, "_24d_6_PROCEDURES_SERVICES_OR_SUPPLIES_Modifier_box4", 44, 54},
    {187, "_24E_6_Diagnosis_Pointer", 47, 54},
    {188, "_24f_6_Charges_dollars", 53, 54},
    {189, "_24f_6_Charges_cents", 61, 54},
    {190, "_24g_6_DAYS_OR_UNITS", 64, 54},
    {191, "_24H_6_EPSDT_Family_Plan", 68, 54},
    {192, "_24I_6_ID_QUAL", 71, 53},
    {193, "_24J_6_PROVIDER_ID_RENDERING", 74, 53},
    {194, "_24J_6_PROVIDER_ID_RENDERING_NPI", 74, 54},
    {195, "_25_FEDERAL_TAX_ID_NUMBER_SSN_EIN", 2, 55},
    {196, "_25_SSN_Checkbox", 22, 55},
    {197, "_25_EIN_Checkbox", 24, 55},
    {198, "_26_PATIENT_S_ACCOUNT_NO", 28, 55},
    {199, "_27_Accept_Assignment_For_govt_claims_see_back_YES", 47, 55},
    {200, "_27_Accept_Assignment_For_govt_claims_see_back_NO", 50, 55},
    {201, "_28_Total_Charges_Dollars", 54, 55},
    {202, "_28_Total_Charges_Cents", 63, 55},
    {203, "_29_Amount_Paid_Charges_Dollars", 67, 55},
    {204, "_29_Amount_Paid_Charges_Cents", 75, 55},
    {205, "_30_Balance_Due_Charges_Dollars", 79, 55},
    {206, "_30_Balance_Due_Charges_Cents", 87, 55},
    {207, "_31_Signature_of_Physician_Or_Supplier", 2, 59},
    {208, "_31_Date", 17, 59},
    {209, "_32_SERVICE_FACILITY_LOCATION_INFORMATION_Line1", 26, 57},
    {210, "_32_SERVICE_FACILITY_LOCATION_INFORMATION_Line2", 26, 58},
    {211, "_32_SERVICE_FACILITY_LOCATION_INFORMATION_Line3", 26, 59},
    {212, "_32a_NPI", 26, 60},
    {213, "_32b_Other_Id_Number", 39, 60},
    {214, "_33_Billing_Provider_Phone_Area_Code", 68, 56},
    {215, "_33_Billing_Provider_Phone_Number", 72, 56},
    {216, "_33_BILLING_PROVIDER_INFO_Line1", 58, 57},
    {217, "_33_BILLING_PROVIDER_INFO_Line2", 58, 58},
    {218, "_33_BILLING_PROVIDER_INFO_Line3", 58, 59},
    {219, "_33a_NPI", 56, 60},
    {220, "_33b_2_Other_Id_Number", 69, 60},
    {221, "_34_Mailing_Address_1", 49, 1},
    {222, "_34_Mailing_Address_2", 49, 2},
    {223, "_34_Mailing_Address_3", 49, 3},
    {224, "_34_Mailing_Address_4", 49, 4},
};

} // namespace

const ClearinghouseEntry* ClearinghouseEntries(size_t& count)
{
    count = std::size(kEntries);
    return kEntries;
}

std::string ClearinghouseKey(const ClearinghouseEntry& entry)
{
    std::string key = entry.name;
    key += "----";
    key += std::to_string(entry.number);
    key += '-';
    key += entry.name;
    return key;
}

ValueShape ShapeOfKey(const std::string& key)
{
    // Dollar fields are told by their name after its first character.
    if (key.find("_DOLLARS", 1) != std::string::npos || key.find("_dollars", 1) != std::string::npos ||
        key.find("_Dollars", 1) != std::string::npos)
        return ValueShape::Dollars;
    if (key.find("RESERVED_FOR_LOCAL") != std::string::npos)
        return ValueShape::LocalUse;
    if (key.find("SERVICE_LINE") != std::string::npos)
        return ValueShape::ServiceLine;
    return ValueShape::Plain;
}

void ClearinghouseLayout::FillClearinghouseLayout()
{
    m_positions.clear();
    m_positions.reserve(std::size(kEntries));
    for (const ClearinghouseEntry& entry : kEntries)
    {
        const std::string key = ClearinghouseKey(entry);
        m_positions[key] = ClearinghousePosition{entry.column, entry.row, ShapeOfKey(key)};
    }
}

const ClearinghousePosition* ClearinghouseLayout::Find(const std::string& key) const
{
    const auto found = m_positions.find(key);
    return found == m_positions.end() ? nullptr : &found->second;
}
