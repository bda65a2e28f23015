#!/usr/bin/env python3
"""The expected clearinghouse page of a record that fills every one of the 225 layout entries.

Written apart from the program's own table: the positions below are transcribed from the written
description of the page (field name, entry number, column, listed under its row), and the page is
built here by the written rules (61 lines of 90 characters and CR LF, values right-aligned in 7
columns for dollar fields). Each field gets a value of its own that fits before the next field of
its row, so a moved, swapped or misspelt entry changes the page.

    clearinghouse_golden.py RECORD.xml PAGE.txt
writes the record's form XML (UTF-8) and the page (ANSI bytes, one per character).
"""
import sys

# Row: [(field name, entry number, column), ...] as listed for that row.
ROWS = {
    1: [("_34_Mailing_Address_1", 221, 49)],
    2: [("_34_Mailing_Address_2", 222, 49)],
    3: [("_34_Mailing_Address_3", 223, 49)],
    4: [("_34_Mailing_Address_4", 224, 49)],
    7: [("_1_MEDICARE", 0, 2), ("_1_MEDICAID", 1, 10), ("_1_TRICARE_CHAMPUS", 2, 17), ("_1_CHAMPVA", 3, 25),
        ("_1_GROUP_HEALTH_PLAN", 4, 32), ("_1_FECA_BLK_LUNG", 5, 40), ("_1_OTHER", 6, 47),
        ("_1a_Insureds_ID", 7, 52)],
    9: [("_2_PATIENT_S_NAME_Last_First_Middle_Initial", 8, 2), ("_3_PATIENTS_BIRTH_DATE_MM_DD_CCYY", 9, 33),
        ("_3_PATIENTS_SEX_M", 10, 45), ("_3_PATIENTS_SEX_F", 11, 48),
        ("_4_INSUREDS_NAME_Last_First_Middle_Initial", 12, 52)],
    11: [("_5_PATIENTS_ADDRESS_No_Street", 13, 2), ("_6_PATIENT_RELATIONSHIP_TO_INSURED_SELF", 19, 34),
         ("_6_PATIENT_RELATIONSHIP_TO_INSURED_Spouse", 20, 39), ("_6_PATIENT_RELATIONSHIP_TO_INSURED_Child", 21, 45),
         ("_6_PATIENT_RELATIONSHIP_TO_INSURED_Other", 22, 48), ("_7_INSUREDS_ADDRESS_No_Street", 23, 52)],
    13: [("_5_PATIENTS_CITY", 14, 2), ("_5_PATIENTS_STATE", 15, 28), ("_8_PATIENT_STATUS_Single", 29, 35),
         ("_8_PATIENT_STATUS_Married", 30, 42), ("_8_PATIENT_STATUS_Other", 31, 48), ("_7_INSUREDS_CITY", 24, 52),
         ("_7_INSUREDS_STATE", 25, 83)],
    15: [("_5_PATIENTS_ZIP_CODE", 16, 2), ("_5_PATIENTS_PHONE_AREA_CODE", 17, 17), ("_5_PATIENTS_PHONE_NUMBER", 18, 21),
         ("_8_PATIENT_STATUS_Employed", 32, 35), ("_8_PATIENT_STATUS_Full-Time", 33, 42),
         ("_8_PATIENT_STATUS_Part-Time", 34, 48), ("_7_INSUREDS_ZIP_CODE", 26, 52),
         ("_7_INSUREDS_PHONE_AREA_CODE", 27, 67), ("_7_INSUREDS_PHONE_NUMBER", 28, 71)],
    17: [("_9_OTHER_INSUREDS_NAME", 35, 2), ("_11_Insureds_Policy_Group", 50, 52)],
    19: [("_9a_OTHER_INSUREDS_POLICY_OR_GROUP_NUMBER", 36, 2), ("_10a_EMPLOYMENT_YES", 42, 35),
         ("_10a_EMPLOYMENT_NO", 43, 42), ("_11a_Insureds_DATE_OF_BIRTH_MM_DD_CCYY", 51, 55),
         ("_11a_Insureds_SEX_M_2", 52, 72), ("_11a_Insureds_SEX_F_2", 53, 81)],
    21: [("_9B_OTHER_INSUREDS_DATE_OF_BIRTH_MM_DD_CCYY", 37, 2), ("_9B_OTHER_INSUREDS_SEX_M", 38, 19),
         ("_9B_OTHER_INSUREDS_SEX_F", 39, 25), ("_10b_AUTO_ACCIDENT_YES", 44, 35), ("_10b_AUTO_ACCIDENT_NO", 45, 42),
         ("_10_PLACE_State", 46, 46), ("_11b_Employer_name_or_school", 54, 52)],
    23: [("_9c_EMPLOYERS_NAME_OR_SCHOOL_NAME", 40, 2), ("_10c_OTHER_ACCIDENT_YES", 47, 35),
         ("_10c_OTHER_ACCIDENT_NO", 48, 42), ("_11c_Insureds_Insurance_Plan_Name", 55, 52)],
    25: [("_9d_OTHER_INSURANCE_PLAN_NAME_OR_PROGRAM_NAME", 41, 2), ("_10d_RESERVED_FOR_LOCAL_USE", 49, 30),
         ("_11d_IS_THERE_ANOTHER_HEALTH_BENEFIT_PLAN_YES_4", 56, 57),
         ("_11d_IS_THERE_ANOTHER_HEALTH_BENEFIT_PLAN_NO_4", 57, 65)],
    29: [("_12_PATIENTS_OR_AUTHORIZED_PERSONS_SIGNATURE_I_AUTHORIZE_SIGNED", 58, 9),
         ("_12_PATIENTS_OR_AUTHORIZED_PERSONS_SIGNATURE_I_AUTHORIZE_DATE", 59, 39),
         ("_13_INSUREDS_OR_AUTHORIZED_PERSONS_SIGNATURE_I_authorize", 60, 59)],
    31: [("_14_FIRST_DATE_OF_CURRENT_ILLNESS_SYMPTOM_OR_INJURY_ACCIDENT_OR_PREGNANCY_LMP_MM_DD_YY", 61, 3),
         ("_15_IF_PATIENT_HAS_HAD_SAME_OR_SIMILAR_ILLNESS_GIVE_FIRST_DATE_MM_DD_YY", 62, 40),
         ("_16_DATES_PARIENT_UNABLE_TO_WORK_IN_CURRENT_OCCUPATION_FROM_MM_DD_YY", 63, 60),
         ("_16_DATES_PARIENT_UNABLE_TO_WORK_IN_CURRENT_OCCUPATION_TO_MM_DD_YY", 64, 75)],
    32: [("_17a_NAME_OF_REFERRING_PROVIDER_OR_OTHER_SOURCE", 66, 31), ("_17a_Non_NPI_ID_Number", 67, 34)],
    33: [("_17_NAME_OF_REFERRING_PROVIDER_OR_OTHER_SOURCE", 65, 2),
         ("_17b_NAME_OF_REFERRING_PROVIDER_OR_OTHER_SOURCE_NPI", 68, 34),
         ("_18_HOSPITALIZAION_DATES_RELATED_TO_CURRENT_SERVICES_FROM_MM_DD_YY", 69, 60),
         ("_18_HOSPITALIZAION_DATES_RELATED_TO_CURRENT_SERVICES_TO_MM_DD_YY", 70, 75)],
    35: [("_19_RESERVED_FOR_LOCAL_USE", 71, 2), ("_20_OUTSIDE_LAB_YES_5", 72, 53), ("_20_OUTSIDE_LAB_NO_5", 73, 58),
         ("_20_OUTSIDE_LAB_CHARGES_DOLLARS", 74, 70), ("_20_OUTSIDE_LAB_CHARGES_CENTS", 75, 79)],
    37: [("_21_1a_DIAGNOSIS_OR_NATURE_OF_ILLNESS_OR_INJURY_Relate_Items_1_2_3_or_4_to_Item_24E_by_Line_1a", 76, 4),
         ("_21_1b_DIAGNOSIS_OR_NATURE_OF_ILLNESS_OR_INJURY_Relate_Items_1_2_3_or_4_to_Item_24E_by_Line_1b", 77, 9),
         ("_21_3a_DIAGNOSIS_OR_NATURE_OF_ILLNESS_OR_INJURY_Relate_Items_1_2_3_or_4_to_Item_24E_by_Line_3a", 80, 31),
         ("_21_3b_DIAGNOSIS_OR_NATURE_OF_ILLNESS_OR_INJURY_Relate_Items_1_2_3_or_4_to_Item_24E_by_Line_3b", 81, 36),
         ("_22_MEDICAID_RESUBMISSION_CODE", 84, 50), ("_22_MEDICAID_RESUBMISSION_ORIGINAL_REF_NUMBER", 85, 65)],
    39: [("_21_2a_DIAGNOSIS_OR_NATURE_OF_ILLNESS_OR_INJURY_Relate_Items_1_2_3_or_4_to_Item_24E_by_Line_2a", 78, 4),
         ("_21_2b_DIAGNOSIS_OR_NATURE_OF_ILLNESS_OR_INJURY_Relate_Items_1_2_3_or_4_to_Item_24E_by_Line_2b", 79, 9),
         ("_21_4a_DIAGNOSIS_OR_NATURE_OF_ILLNESS_OR_INJURY_Relate_Items_1_2_3_or_4_to_Item_24E_by_Line_4b", 82, 31),
         ("_21_4b_DIAGNOSIS_OR_NATURE_OF_ILLNESS_OR_INJURY_Relate_Items_1_2_3_or_4_to_Item_24E_by_Line_4b", 83, 36),
         ("_23_PRIOR_AUTHORIZATION_NUMBER", 86, 50)],
    55: [("_25_FEDERAL_TAX_ID_NUMBER_SSN_EIN", 195, 2), ("_25_SSN_Checkbox", 196, 22), ("_25_EIN_Checkbox", 197, 24),
         ("_26_PATIENT_S_ACCOUNT_NO", 198, 28), ("_27_Accept_Assignment_For_govt_claims_see_back_YES", 199, 47),
         ("_27_Accept_Assignment_For_govt_claims_see_back_NO", 200, 50), ("_28_Total_Charges_Dollars", 201, 54),
         ("_28_Total_Charges_Cents", 202, 63), ("_29_Amount_Paid_Charges_Dollars", 203, 67),
         ("_29_Amount_Paid_Charges_Cents", 204, 75), ("_30_Balance_Due_Charges_Dollars", 205, 79),
         ("_30_Balance_Due_Charges_Cents", 206, 87)],
    56: [("_33_Billing_Provider_Phone_Area_Code", 214, 68), ("_33_Billing_Provider_Phone_Number", 215, 72)],
    57: [("_32_SERVICE_FACILITY_LOCATION_INFORMATION_Line1", 209, 26), ("_33_BILLING_PROVIDER_INFO_Line1", 216, 58)],
    58: [("_32_SERVICE_FACILITY_LOCATION_INFORMATION_Line2", 210, 26), ("_33_BILLING_PROVIDER_INFO_Line2", 217, 58)],
    59: [("_31_Signature_of_Physician_Or_Supplier", 207, 2), ("_31_Date", 208, 17),
         ("_32_SERVICE_FACILITY_LOCATION_INFORMATION_Line3", 211, 26), ("_33_BILLING_PROVIDER_INFO_Line3", 218, 58)],
    60: [("_32a_NPI", 212, 26), ("_32b_Other_Id_Number", 213, 39), ("_33a_NPI", 219, 56),
         ("_33b_2_Other_Id_Number", 220, 69)],
}

# Service line 1 as written: (field name, offset, on the line's second row?, column).
SERVICE_LINE_1 = [
    ("SERVICE_LINE_1", 0, False, 2),
    ("_24I_1_ID_QUAL", 15, False, 71),
    ("_24J_1_PROVIDER_ID_RENDERING", 16, False, 74),
    ("_24a_1_DATES_OF_SERVICE_FROM_MM_DD_YY", 1, True, 2),
    ("_24a_1_DATES_OF_SERVICE_TO_MM_DD_YY", 2, True, 12),
    ("_24b_1_PLACE_OF_SERVICE", 3, True, 22),
    ("_24c_1_EMG", 4, True, 25),
    ("_24d_1_PROCEDURES_SERVICES_OR_SUPPLIES_CPT_HCPCS", 5, True, 28),
    ("_24d_1_PROCEDURES_SERVICES_OR_SUPPLIES_MODIFIER_box1", 6, True, 35),
    ("_24d_1_PROCEDURES_SERVICES_OR_SUPPLIES_MODIFIER_box2", 7, True, 38),
    ("_24d_1_PROCEDURES_SERVICES_OR_SUPPLIES_MODIFIER_box3", 8, True, 41),
    ("_24d_1_PROCEDURES_SERVICES_OR_SUPPLIES_MODIFIER_box4", 9, True, 44),
    ("_24E_1_Diagnosis_Pointer", 10, True, 47),
    ("_24f_1_Charges_dollars", 11, True, 53),
    ("_24f_1_Charges_cents", 12, True, 61),
    ("_24g_1_DAYS_OR_UNITS", 13, True, 64),
    ("_24H_1_EPSDT_Family_Plan", 14, True, 68),
    ("_24J_1_PROVIDER_ID_RENDERING_NPI", 17, True, 74),
]


def service_line_name(name, k):
    """Line 1's spelling turned into line k's: the digit after SERVICE_LINE_ or after the _24 item
    letter and its underscore, and the modifier boxes' spelling from line 3 on."""
    if name == "SERVICE_LINE_1":
        return "SERVICE_LINE_%d" % k
    assert name[:3] == "_24" and name[4:7] == "_1_", name
    spelled = name[:5] + str(k) + name[6:]
    if k >= 3:
        spelled = spelled.replace("MODIFIER_box", "Modifier_box")
    return spelled


def entries():
    """Every entry as (key, entry number, column, row)."""
    found = []
    for row, fields in ROWS.items():
        for name, number, column in fields:
            found.append((name, number, column, row))
    for k in range(1, 7):
        first_row = 41 + 2 * k
        for name, offset, second, column in SERVICE_LINE_1:
            found.append((service_line_name(name, k), 87 + 18 * (k - 1) + offset, column,
                          first_row + 1 if second else first_row))
    keyed = [("%s----%d-%s" % (name, number, name), number, column, row) for name, number, column, row in found]
    keyed.sort(key=lambda entry: entry[1])
    assert [entry[1] for entry in keyed] == list(range(225)), "entry numbers must run 0..224"
    assert len({(column, row) for _, _, column, row in keyed}) == 225, "no two entries share a place"
    return keyed


def is_dollars(key):
    return any(key.find(word, 1) > 0 for word in ("_DOLLARS", "_dollars", "_Dollars"))


def value_for(number, width, dollars):
    """A value of its own for entry number, at most width characters. Letters and digits from the
    entry number, so no two entries share one; dollar amounts are digits that stay under 7."""
    if dollars:
        return str(9000 + number)[-min(width, 6):]
    digits = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"
    code = digits[number // len(digits)] + digits[number % len(digits)]
    tail = "".join(digits[(number * 7 + i) % len(digits)] for i in range(max(0, width - 2)))
    return (code + tail)[:width]


def record(all_entries):
    """(key, value) for every entry: each value ends before the next field of its row begins (a
    dollar field's 7 right-aligned columns counted), and at most 12 characters."""
    by_row = {}
    for key, number, column, row in all_entries:
        by_row.setdefault(row, []).append((column, key, number))
    values = []
    for row, fields in by_row.items():
        fields.sort()
        for i, (column, key, number) in enumerate(fields):
            room = (fields[i + 1][0] if i + 1 < len(fields) else 91) - column
            dollars = is_dollars(key)
            value = value_for(number, min(room, 12), dollars)
            assert value and value != "YES"
            values.append((number, key, value))
    values.sort()
    return [(key, value) for _, key, value in values]


def page(all_entries, values):
    lines = [[" "] * 90 for _ in range(61)]
    place = {key: (column, row) for key, _, column, row in all_entries}
    for key, value in values:
        if is_dollars(key):
            value = value.rjust(7)
        column, row = place[key]
        c, r = column - 1, row - 1
        value = value[:90 - c]
        lines[r][c:c + len(value)] = list(value)
    return "".join("".join(line) + "\r\n" for line in lines)


def main():
    all_entries = entries()
    values = record(all_entries)
    xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<fields><topmostSubform>"
    xml += "".join("<%s>%s</%s>" % (key, value, key) for key, value in values)
    xml += "</topmostSubform></fields>\n"
    with open(sys.argv[1], "w", encoding="utf-8", newline="") as out:
        out.write(xml)
    with open(sys.argv[2], "wb") as out:
        out.write(page(all_entries, values).encode("cp1252"))


if __name__ == "__main__":
    main()
