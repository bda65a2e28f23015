// What pypdf read from a form PDF (the build writes it beside each form it makes, see
// tools/forms/pdf_facts.py): the tests' independent reference for pages, field names and widgets.
#pragma once
#include "viewer/PdfForm.h"
#include <string>
#include <vector>

struct FactWidget
{
    std::wstring field; // dotted name of its field, through /Parent
    int page = 0;
    double rect[4] = {0, 0, 0, 0};
    std::string onState;
};

struct FormFacts
{
    std::vector<int> pageRotations;
    std::vector<std::wstring> fields; // as pypdf names them, non-terminal fields included
    std::vector<FactWidget> widgets;  // every widget of each page's annotations, in page order

    // The field names that have a widget on a page: the fields a reader shows.
    std::vector<std::wstring> ShownFields() const;
    std::vector<FactWidget> WidgetsOf(const std::wstring& field) const;
};

// Expects the form read as pypdf read it: its pages turned as the facts say, one field per name
// that has a widget (a parent without widgets is no column), and every widget of the pages, in the
// order of the pages' annotations, on its page and in its place.
void ExpectReadAsFacts(const pdf::FormDocument& doc, const FormFacts& facts);

// Reads <folder><name>-facts.txt; empty facts when the file is missing.
FormFacts ReadFormFacts(const std::wstring& path);

// The path of a form made by make_latex_forms.sh: <build>/latex_forms/<name><suffix>.
std::wstring LatexFormPath(const std::wstring& name, const wchar_t* suffix);
