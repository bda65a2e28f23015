# The 225 places of the claim form: entry number, field name, column and row on the 90 x 61
# character grid of a clearinghouse page. Service lines 1 to 6 follow one pattern (all_places).

import re

FIXED_PLACES = [
    (0, '_1_MEDICARE', 2, 7),
    (1, '_1_MEDICAID', 10, 7),
    (2, '_1_TRICARE_CHAMPUS', 17, 7),
    (3, '_1_CHAMPVA', 25, 7),
    (4, '_1_GROUP_HEALTH_PLAN', 32, 7),
    (5, '_1_FECA_BLK_LUNG', 40, 7),
    (6, '_1_OTHER', 47, 7),
    (7, '_1a_Insureds_ID', 52, 7),
    (8, '_2_PATIENT_S_NAME_Last_First_Middle_Initial', 2, 9),
    (9, '_3_PATIENTS_BIRTH_DATE_MM_DD_CCYY', 33, 9),
    (10, '_3_PATIENTS_SEX_M', 45, 9),
    (11, '_3_PATIENTS_SEX_F', 48, 9),
    (12, '_4_INSUREDS_NAME_Last_First_Middle_Initial', 52, 9),
    (13, '_5_PATIENTS_ADDRESS_No_Street', 2, 11),
    (14, '_5_PATIENTS_CITY', 2, 13),
    (15, '_5_PATIENTS_STATE', 28, 13),
    (16, '_5_PATIENTS_ZIP_CODE', 2, 15),
    (17, '_5_PATIENTS_PHONE_AREA_CODE', 17, 15),
    (18, '_5_PATIENTS_PHONE_NUMBER', 21, 15),
    (19, '_6_PATIENT_RELATIONSHIP_TO_INSURED_SELF', 34, 11),
    (20, '_6_PATIENT_RELATIONSHIP_TO_INSURED_Spouse', 39, 11),
    (21, '_6_PATIENT_RELATIONSHIP_TO_INSURED_Child', 45, 11),
    (22, '_6_PATIENT_RELATIONSHIP_TO_INSURED_Other', 48, 11),
    (23, '_7_INSUREDS_ADDRESS_No_Street', 52, 11),
    (24, '_7_INSUREDS_CITY', 52, 13),
    (25, '_7_INSUREDS_STATE', 83, 13),
    (26, '_7_INSUREDS_ZIP_CODE', 52, 15),
    (27, '_7_INSUREDS_PHONE_AREA_CODE', 67, 15),
    (28, '_7_INSUREDS_PHONE_NUMBER', 71, 15),
    (29, '_8_PATIENT_STATUS_Single', 35, 13),
    (30, '_8_PATIENT_STATUS_Married', 42, 13),
    (31, '_8_PATIENT_STATUS_Other', 48, 13),
    (32, '_8_PATIENT_STATUS_Employed', 35, 15),
    (33, '_8_PATIENT_STATUS_Full-Time', 42, 15),
    (34, '_8_PATIENT_STATUS_Part-Time', 48, 15),
    (35, '_9_OTHER_INSUREDS_NAME', 2, 17),
    (36, '_9a_OTHER_INSUREDS_POLICY_OR_GROUP_NUMBER', 2, 19),
    (37, '_9B_OTHER_INSUREDS_DATE_OF_BIRTH_MM_DD_CCYY', 2, 21),
    (38, '_9B_OTHER_INSUREDS_SEX_M', 19, 21),
    (39, '_9B_OTHER_INSUREDS_SEX_F', 25, 21),
    (40, '_9c_EMPLOYERS_NAME_OR_SCHOOL_NAME', 2, 23),
    (41, '_9d_OTHER_INSURANCE_PLAN_NAME_OR_PROGRAM_NAME', 2, 25),
    (42, '_10a_EMPLOYMENT_YES', 35, 19),
    (43, '_10a_EMPLOYMENT_NO', 42, 19),
    (44, '_10b_AUTO_ACCIDENT_YES', 35, 21),
    (45, '_10b_AUTO_ACCIDENT_NO', 42, 21),
    (46, '_10_PLACE_State', 46, 21),
    (47, '_10c_OTHER_ACCIDENT_YES', 35, 23),
    (48, '_10c_OTHER_ACCIDENT_NO', 42, 23),
    (49, '_10d_RESERVED_FOR_LOCAL_USE', 30, 25),
    (50, '_11_Insureds_Policy_Group', 52, 17),
    (51, '_11a_Insureds_DATE_OF_BIRTH_MM_DD_CCYY', 55, 19),
    (52, '_11a_Insureds_SEX_M_2', 72, 19),
    (53, '_11a_Insureds_SEX_F_2', 81, 19),
    (54, '_11b_Employer_name_or_school', 52, 21),
    (55, '_11c_Insureds_Insurance_Plan_Name', 52, 23),
    (56, '_11d_IS_THERE_ANOTHER_HEALTH_BENEFIT_PLAN_YES_4', 57, 25),
    (57, '_11d_IS_THERE_ANOTHER_HEALTH_BENEFIT_PLAN_NO_4', 65, 25),
    (58, '_12_PATIENTS_OR_AUTHORIZED_PERSONS_SIGNATURE_I_AUTHORIZE_SIGNED', 9, 29),
    (59, '_12_PATIENTS_OR_AUTHORIZED_PERSONS_SIGNATURE_I_AUTHORIZE_DATE', 39, 29),
    (60, '_13_INSUREDS_OR_AUTHORIZED_PERSONS_SIGNATURE_I_authorize', 59, 29),
    (61, '_14_FIRST_DATE_OF_CURRENT_ILLNESS_SYMPTOM_OR_INJURY_ACCIDENT_OR_PREGNANCY_LMP_MM_DD_YY', 3, 31),
    (62, '_15_IF_PATIENT_HAS_HAD_SAME_OR_SIMILAR_ILLNESS_GIVE_FIRST_DATE_MM_DD_YY', 40, 31),
    (63, '_16_DATES_PARIENT_UNABLE_TO_WORK_IN_CURRENT_OCCUPATION_FROM_MM_DD_YY', 60, 31),
    (64, '_16_DATES_PARIENT_UNABLE_TO_WORK_IN_CURRENT_OCCUPATION_TO_MM_DD_YY', 75, 31),
    (65, '_17_NAME_OF_REFERRING_PROVIDER_OR_OTHER_SOURCE', 2, 33),
    (66, '_17a_NAME_OF_REFERRING_PROVIDER_OR_OTHER_SOURCE', 31, 32),
    (67, '_17a_Non_NPI_ID_Number', 34, 32),
    (68, '_17b_NAME_OF_REFERRING_PROVIDER_OR_OTHER_SOURCE_NPI', 34, 33),
    (69, '_18_HOSPITALIZAION_DATES_RELATED_TO_CURRENT_SERVICES_FROM_MM_DD_YY', 60, 33),
    (70, '_18_HOSPITALIZAION_DATES_RELATED_TO_CURRENT_SERVICES_TO_MM_DD_YY', 75, 33),
    (71, '_19_RESERVED_FOR_LOCAL_USE', 2, 35),
    (72, '_20_OUTSIDE_LAB_YES_5', 53, 35),
    (73, '_20_OUTSIDE_LAB_NO_5', 58, 35),
    (74, '_20_OUTSIDE_LAB_CHARGES_DOLLARS', 70, 35),
    (75, '_20_OUTSIDE_LAB_CHARGES_CENTS', 79, 35),
    (76, '_21_1a_DIAGNOSIS_OR_NATURE_OF_ILLNESS_OR_INJURY_Relate_Items_1_2_3_or_4_to_Item_24E_by_Line_1a', 4, 37),
    (77, '_21_1b_DIAGNOSIS_OR_NATURE_OF_ILLNESS_OR_INJURY_Relate_Items_1_2_3_or_4_to_Item_24E_by_Line_1b', 9, 37),
    (78, '_21_2a_DIAGNOSIS_OR_NATURE_OF_ILLNESS_OR_INJURY_Relate_Items_1_2_3_or_4_to_Item_24E_by_Line_2a', 4, 39),
    (79, '_21_2b_DIAGNOSIS_OR_NATURE_OF_ILLNESS_OR_INJURY_Relate_Items_1_2_3_or_4_to_Item_24E_by_Line_2b', 9, 39),
    (80, '_21_3a_DIAGNOSIS_OR_NATURE_OF_ILLNESS_OR_INJURY_Relate_Items_1_2_3_or_4_to_Item_24E_by_Line_3a', 31, 37),
    (81, '_21_3b_DIAGNOSIS_OR_NATURE_OF_ILLNESS_OR_INJURY_Relate_Items_1_2_3_or_4_to_Item_24E_by_Line_3b', 36, 37),
    (82, '_21_4a_DIAGNOSIS_OR_NATURE_OF_ILLNESS_OR_INJURY_Relate_Items_1_2_3_or_4_to_Item_24E_by_Line_4b', 31, 39),
    (83, '_21_4b_DIAGNOSIS_OR_NATURE_OF_ILLNESS_OR_INJURY_Relate_Items_1_2_3_or_4_to_Item_24E_by_Line_4b', 36, 39),
    (84, '_22_MEDICAID_RESUBMISSION_CODE', 50, 37),
    (85, '_22_MEDICAID_RESUBMISSION_ORIGINAL_REF_NUMBER', 65, 37),
    (86, '_23_PRIOR_AUTHORIZATION_NUMBER', 50, 39),
    (195, '_25_FEDERAL_TAX_ID_NUMBER_SSN_EIN', 2, 55),
    (196, '_25_SSN_Checkbox', 22, 55),
    (197, '_25_EIN_Checkbox', 24, 55),
    (198, '_26_PATIENT_S_ACCOUNT_NO', 28, 55),
    (199, '_27_Accept_Assignment_For_govt_claims_see_back_YES', 47, 55),
    (200, '_27_Accept_Assignment_For_govt_claims_see_back_NO', 50, 55),
    (201, '_28_Total_Charges_Dollars', 54, 55),
    (202, '_28_Total_Charges_Cents', 63, 55),
    (203, '_29_Amount_Paid_Charges_Dollars', 67, 55),
    (204, '_29_Amount_Paid_Charges_Cents', 75, 55),
    (205, '_30_Balance_Due_Charges_Dollars', 79, 55),
    (206, '_30_Balance_Due_Charges_Cents', 87, 55),
    (207, '_31_Signature_of_Physician_Or_Supplier', 2, 59),
    (208, '_31_Date', 17, 59),
    (209, '_32_SERVICE_FACILITY_LOCATION_INFORMATION_Line1', 26, 57),
    (210, '_32_SERVICE_FACILITY_LOCATION_INFORMATION_Line2', 26, 58),
    (211, '_32_SERVICE_FACILITY_LOCATION_INFORMATION_Line3', 26, 59),
    (212, '_32a_NPI', 26, 60),
    (213, '_32b_Other_Id_Number', 39, 60),
    (214, '_33_Billing_Provider_Phone_Area_Code', 68, 56),
    (215, '_33_Billing_Provider_Phone_Number', 72, 56),
    (216, '_33_BILLING_PROVIDER_INFO_Line1', 58, 57),
    (217, '_33_BILLING_PROVIDER_INFO_Line2', 58, 58),
    (218, '_33_BILLING_PROVIDER_INFO_Line3', 58, 59),
    (219, '_33a_NPI', 56, 60),
    (220, '_33b_2_Other_Id_Number', 69, 60),
    (221, '_34_Mailing_Address_1', 49, 1),
    (222, '_34_Mailing_Address_2', 49, 2),
    (223, '_34_Mailing_Address_3', 49, 3),
    (224, '_34_Mailing_Address_4', 49, 4),
]

# Line 1 of the service lines: field name, offset of the entry number, row (0 first, 1 second), column.
SERVICE_LINE_1 = [
    ('SERVICE_LINE_1', 0, 0, 2),
    ('_24I_1_ID_QUAL', 15, 0, 71),
    ('_24J_1_PROVIDER_ID_RENDERING', 16, 0, 74),
    ('_24a_1_DATES_OF_SERVICE_FROM_MM_DD_YY', 1, 1, 2),
    ('_24a_1_DATES_OF_SERVICE_TO_MM_DD_YY', 2, 1, 12),
    ('_24b_1_PLACE_OF_SERVICE', 3, 1, 22),
    ('_24c_1_EMG', 4, 1, 25),
    ('_24d_1_PROCEDURES_SERVICES_OR_SUPPLIES_CPT_HCPCS', 5, 1, 28),
    ('_24d_1_PROCEDURES_SERVICES_OR_SUPPLIES_MODIFIER_box1', 6, 1, 35),
    ('_24d_1_PROCEDURES_SERVICES_OR_SUPPLIES_MODIFIER_box2', 7, 1, 38),
    ('_24d_1_PROCEDURES_SERVICES_OR_SUPPLIES_MODIFIER_box3', 8, 1, 41),
    ('_24d_1_PROCEDURES_SERVICES_OR_SUPPLIES_MODIFIER_box4', 9, 1, 44),
    ('_24E_1_Diagnosis_Pointer', 10, 1, 47),
    ('_24f_1_Charges_dollars', 11, 1, 53),
    ('_24f_1_Charges_cents', 12, 1, 61),
    ('_24g_1_DAYS_OR_UNITS', 13, 1, 64),
    ('_24H_1_EPSDT_Family_Plan', 14, 1, 68),
    ('_24J_1_PROVIDER_ID_RENDERING_NPI', 17, 1, 74),
]


def service_line_name(name, k):
    """The name of a line-1 field for service line k: the line digit changes, and the modifier
    boxes are spelled in mixed case from line 3 on."""
    if name.startswith("SERVICE_LINE_"):
        return "SERVICE_LINE_%d" % k
    # "_24a_1_..." -> "_24a_k_...": the digit after the item letter and its underscore.
    head, letter, rest = name[:3], name[3], name[4:]
    assert head == "_24" and rest.startswith("_1_"), name
    renamed = "%s%s_%d_%s" % (head, letter, k, rest[3:])
    if k >= 3:
        renamed = renamed.replace("MODIFIER_box", "Modifier_box")
    return renamed


def all_places():
    """Every place as (entry number, field name, column, row), ordered by entry number."""
    places = list(FIXED_PLACES)
    for k in range(1, 7):
        first_row = 41 + 2 * k
        for name, offset, second, column in SERVICE_LINE_1:
            places.append((87 + 18 * (k - 1) + offset, service_line_name(name, k), column, first_row + second))
    places.sort()
    return places


def field_key(number, name):
    return "%s----%d-%s" % (name, number, name)


_CHECK_MARKERS = ("_SEX_", "Checkbox", "_6_PATIENT_RELATIONSHIP_TO_INSURED_", "_8_PATIENT_STATUS_")
_YES_NO = re.compile(r"_(YES|NO)(_\d+)?$")
_ALL_NAMES = None


def is_check_box(number, name):
    """The places where the clearinghouse page puts an "X": the insurance type boxes of item 1 and
    every yes/no pair, sex, relationship, status and SSN/EIN box."""
    global _ALL_NAMES
    if _ALL_NAMES is None:
        _ALL_NAMES = {n for _, n, _, _ in all_places()}
    if number <= 6 or any(marker in name for marker in _CHECK_MARKERS):
        return True
    match = _YES_NO.search(name)
    if not match:
        return False
    # A yes box and its no box come in pairs ("ACCOUNT_NO" is a number, not a box).
    other = "NO" if match.group(1) == "YES" else "YES"
    twin = name[:match.start()] + "_" + other + (match.group(2) or "")
    return twin in _ALL_NAMES
