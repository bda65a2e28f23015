// The five predefined XML entities: decoding them into text and recognising them after '&'.
#pragma once
#include "xml/KitTypes.h"

class ParseEngine;
class TreeNode;
class LogBase;

// Appends the bytes with &lt; &gt; &amp; &quot; &apos; replaced by their characters (one pass).
void appendDecodedEntities(kit::StringBuffer& out, const char* bytes, int length);
// Length of the predefined entity reference at p (with its ';'), 0 when there is none; c receives
// its character.
int predefinedEntityAt(const char* p, int available, char& c);

// Reads the pseudo-attributes of a declaration or stylesheet instruction into the node and moves
// past its end; false when memory ran out.
bool parsePrologLineAttr(ParseEngine& in, TreeNode* node, LogBase* log);
