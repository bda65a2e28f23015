// Test helpers: a compact canonical dump of a parsed document, and parsing/serialising shortcuts.
#pragma once
#include <string>

class TreeNode;

// The root's prolog (declaration, stylesheets with attributes, DOCTYPE text) and its element tree,
// e.g. `?xml[version=1.0] r[a=1]("x" b c:"raw" d())`. Text in double quotes, CDATA content marked
// "c:". An empty tag reads "nothing", the name the serialiser writes for it; prolog items carry the
// fixed names they are written with.
std::string dumpDocument(TreeNode* root);
std::string dumpElement(TreeNode* node);

// Parses the text with trimming; "<no root>" when no element came out.
std::string parseAndDump(const std::string& text);
// The serialised text of the text's root element; "" when there is none.
std::string parseAndSerialize(const std::string& text);
