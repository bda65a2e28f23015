// Filled-in copies of a form PDF for the import tests: the sample form's bytes with an incremental
// update that gives chosen text fields a value, as a program that fills and saves forms writes it.
#pragma once
#include <string>
#include <utility>
#include <vector>

// The names of the file's text fields, in file order.
std::vector<std::string> TextFieldNames(const std::string& pdf);
// The file with an update appended that sets each named field's value (ASCII text); empty when a
// field or the file's trailer cannot be found.
std::string FillTextFields(const std::string& pdf, const std::vector<std::pair<std::string, std::string>>& values);
