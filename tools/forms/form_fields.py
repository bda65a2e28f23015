"""Writes the fields of a PDF form as pypdf reads them, opened with the empty user password: one line
per field that has a type, "name<TAB>type<TAB>value" (a button's value without its slash). A file
that the empty password does not open, or that another security handler protects, gets no output.

Usage: form_fields.py FORM.pdf OUTPUT.fields
"""
import sys

import pypdf


def main(form, output):
    try:
        reader = pypdf.PdfReader(form)
    except NotImplementedError:
        return  # not the standard security handler
    if reader.is_encrypted and not reader.decrypt(""):
        return
    lines = []
    for name, field in (reader.get_fields() or {}).items():
        if "/FT" not in field:
            continue  # a parent that only names its kids
        value = field.get("/V", "")
        value = str(value)
        if field["/FT"] == "/Btn" and value.startswith("/"):
            value = value[1:]
        lines.append("%s\t%s\t%s\n" % (name, field["/FT"][1:], value))
    with open(output, "w", encoding="utf-8", newline="\n") as out:
        out.writelines(lines)


if __name__ == "__main__":
    main(sys.argv[1], sys.argv[2])
