// The 87 pairs of the collections field map.
#include "export/CollectionsFieldMap.h"

namespace {
std::map<std::wstring, std::wstring> MakeFieldMap()
{
    std::map<std::wstring, std::wstring> map = {
        {L"_7_INSUREDS_ADDRESS_No_Street", L"FromAddress"},
        {L"_7_INSUREDS_CITY", L"FromCity"},
        {L"_7_INSUREDS_STATE", L"FromState"},
        {L"_7_INSUREDS_ZIP_CODE", L"FromZip"},
        {L"_5_PATIENTS_ADDRESS_No_Street", L"ToAddress"},
        {L"_5_PATIENTS_CITY", L"ToCity"},
        {L"_5_PATIENTS_STATE", L"ToState"},
        {L"_5_PATIENTS_ZIP_CODE", L"ToZip"},
        {L"_33_BILLING_PROVIDER_INFO_Line1", L"INFO_Line1"},
        {L"_33_BILLING_PROVIDER_INFO_Line2", L"INFO_Line2"},
        {L"_33_BILLING_PROVIDER_INFO_Line3", L"INFO_Line3"},
        {L"_2_PATIENT_S_NAME_Last_First_Middle_Initial", L"FirstPatientName"},
        {L"_3_PATIENTS_BIRTH_DATE_MM_DD_CCYY", L"DOBNo"},
        {L"_4_INSUREDS_NAME_Last_First_Middle_Initial", L"PatientName"},
        {L"_5_PATIENTS_PHONE_AREA_CODE", L"PhoneCodeNo_1"},
        {L"_5_PATIENTS_PHONE_NUMBER", L"PhoneNo_1"},
        {L"_7_INSUREDS_PHONE_AREA_CODE", L"PhoneCodeNo_2"},
        {L"_7_INSUREDS_PHONE_NUMBER", L"PhoneNo_2"},
        {L"_1a_Insureds_ID", L"IDNo"},
        {L"_11_Insureds_Policy_Group", L"PolicyNo"},
        {L"$DB$submdate", L"DateCreated"},
        {L"$DB$NumberOfDays", L"NumberOfDays"},
        {L"$DB$ID", L"ID"},
        {L"$DB$CurrentDate", L"Date"},
        {L"$DB$CompanyName", L"CompanyName"},
        {L"$DB$ImageLogo", L"ImageField1"},
        {L"$DB$ImageLogoSize", L"ImageLogoSize"},
        {L"$DB$Imagez2LogoSize", L"Imagez2LogoSize"},
        {L"$DB$Font", L"Font"},
        {L"$DB$Size", L"Size"},
        {L"$DB$TextLogo", L"TextLogo"},
        {L"$DB$ChangeAddress", L"ChangeAddress"},
        {L"$CX$Notes", L"Notes"},
    };
    for (int n = 1; n <= 6; ++n) {
        const std::wstring line = std::to_wstring(n);
        map[L"_24a_" + line + L"_DATES_OF_SERVICE_FROM_MM_DD_YY"] = L"FromDate_" + line;
        map[L"_24a_" + line + L"_DATES_OF_SERVICE_TO_MM_DD_YY"] = L"ToDate_" + line;
        map[L"_24d_" + line + L"_PROCEDURES_SERVICES_OR_SUPPLIES_CPT_HCPCS"] = L"CPT_" + line;
        map[L"_24f_" + line + L"_Charges_dollars"] = L"Charges_" + line;
        for (const wchar_t* name : {L"CoPay_", L"PatientPd_", L"Payer1Pd_", L"Payer2Pd_", L"TotalDue_"})
            map[L"$CX$" + std::wstring(name) + line] = name + line;
    }
    return map;
}
} // namespace

const std::map<std::wstring, std::wstring>& CollectionsFieldMap()
{
    static const std::map<std::wstring, std::wstring> map = MakeFieldMap();
    return map;
}
