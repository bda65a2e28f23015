# Writes the claim form's 225 field names, in entry order, as a C++ array for the records benchmark.
# Arguments: the folder of claim_layout.py, the header to write.
import sys

sys.path.insert(0, sys.argv[1])
import claim_layout  # noqa: E402

places = claim_layout.all_places()
lines = ["// Made by write_field_names.py from the claim form's layout.", "#pragma once", "",
         "struct ClaimField", "{", "    int number;", "    const char* name;", "    bool checkBox;", "};", "",
         "const ClaimField CLAIM_FIELDS[] = {"]
for number, name, _, _ in places:
    lines.append('    {%d, "%s", %s},' % (number, name, "true" if claim_layout.is_check_box(number, name) else "false"))
lines += ["};", "const int CLAIM_FIELD_COUNT = %d;" % len(places), ""]
with open(sys.argv[2], "w") as out:
    out.write("\n".join(lines))
