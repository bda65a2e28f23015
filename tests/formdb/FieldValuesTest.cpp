// Value lookup in "Save" replies: keys match only whole entry keys, the "jjjj" cut, the form-type rule,
// escaped values.
#include <gtest/gtest.h>

#include "formdb/FieldValues.h"

TEST(FieldValues, ShortKeyNeverMatchesInsideALongerKey)
{
    const std::string reply = "F10=ten|XF1=wrong|F1=one|F100=hundred";
    EXPECT_EQ("one", FindReplyValue(reply, "F1"));
    EXPECT_EQ("ten", FindReplyValue(reply, "F10"));
    EXPECT_EQ("hundred", FindReplyValue(reply, "F100"));
    EXPECT_EQ("", FindReplyValue("F10=ten", "F1"));
}

TEST(FieldValues, ValueRunsToTheNextBarOrTheEnd)
{
    EXPECT_EQ("a=b", FindReplyValue("K=a=b|L=2", "K"));
    EXPECT_EQ("2", FindReplyValue("K=a=b|L=2", "L"));
    EXPECT_EQ("", FindReplyValue("K=|L=2", "K"));
    EXPECT_EQ("", FindReplyValue("K=1|L=2", "M"));
    EXPECT_EQ("", FindReplyValue("", "M"));
}

TEST(FieldValues, KeysAreCutAtTheMarker)
{
    // The stored entry is the key; the reply may carry the short key or the whole entry.
    EXPECT_EQ("Smith", FindReplyValue("F2=x|F1=Smith", "F1jjjj0jName"));
    EXPECT_EQ("Smith", FindReplyValue("F2jjjj1jB=x|F1jjjj0jName=Smith", "F1jjjj0jName"));
    EXPECT_EQ("", FindReplyValue("F1x=Smith", "F1jjjj0jName"));
    // A key that is only the marker part finds nothing rather than the first value of the reply.
    EXPECT_EQ("", FindReplyValue("A=1|B=2", "jjjj0jName"));
}

TEST(FieldValues, FormTypeStartingWithZeroUsesThePartBeforeTheMarker)
{
    EXPECT_EQ("F1", FieldKeyOfEntry("F1jjjj0jName", "0X"));
    EXPECT_EQ("F1jjjj0jName", FieldKeyOfEntry("F1jjjj0jName", "CMS-1500"));
    EXPECT_EQ("F1jjjj0jName", FieldKeyOfEntry("F1jjjj0jName", ""));
}

TEST(FieldValues, ValuesFollowTheListOrder)
{
    const std::string list = "F2jjjj1jB|F1jjjj0jA|F3jjjj2jC";
    EXPECT_EQ((std::vector<std::string>{"two", "one", ""}),
              ReplyValuesForFields("F1=one|F2=two", list, "CMS-1500", 3));
    EXPECT_EQ((std::vector<std::string>{"two", "", ""}), ReplyValuesForFields("F2=two", list, "0", 3));
}

TEST(FieldValues, EscapedValuesComeBackWholeAndStayInTheirOwnEntry)
{
    // "X|B=HACKED" typed into A, "Real Name" into B, as the form's reply carries them.
    const std::string reply = "A=X%7CB%3DHACKED|B=Real Name";
    EXPECT_EQ("X|B=HACKED", FindReplyValue(reply, "A"));
    EXPECT_EQ("Real Name", FindReplyValue(reply, "B"));
    EXPECT_EQ((std::vector<std::string>{"X|B=HACKED", "Real Name"}),
              ReplyValuesForFields(reply, "Ajjjj0jA|Bjjjj1jB", "CMS-1500", 2));
    EXPECT_EQ("100%", FindReplyValue("K=100%25", "K"));
    EXPECT_EQ("%7C", FindReplyValue("K=%257C", "K"));
}

TEST(FieldValues, UnescapingTouchesExactlyTheThreeEscapes)
{
    EXPECT_EQ("%|=", UnescapeReplyValue("%25%7C%3D"));
    EXPECT_EQ("a%3Db", UnescapeReplyValue("a%253Db"));
    // Anything else after "%" (other codes, lower-case hex, a cut escape) is plain text.
    EXPECT_EQ("%20%7c%3d%41", UnescapeReplyValue("%20%7c%3d%41"));
    EXPECT_EQ("50%", UnescapeReplyValue("50%"));
    EXPECT_EQ("%7", UnescapeReplyValue("%7"));
    EXPECT_EQ("%%", UnescapeReplyValue("%%"));
    EXPECT_EQ("%|", UnescapeReplyValue("%%7C"));
    EXPECT_EQ("", UnescapeReplyValue(""));
    // UTF-8 bytes pass through.
    EXPECT_EQ("M\xC3\xBCller|", UnescapeReplyValue("M\xC3\xBCller%7C"));
}
