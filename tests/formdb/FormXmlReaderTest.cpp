// The export's reads of form XML from a real form database: ASCII, UTF-8 and older ANSI bytes come
// back as the same UTF-16 text, in a reused buffer of any earlier length.
#include "formdb/FormXmlReader.h"

#include "tests/formdb/RecordsFileFixture.h"

using FormXmlRead = RecordsFile;

TEST_F(FormXmlRead, StoredBytesComeBackAsTheirCharactersWhateverTheBufferHeldBefore)
{
    Exec("INSERT INTO submissions (rowid,[Name],fxml) VALUES (1,'a','<f><v>Ann Boston</v></f>');"
         "INSERT INTO submissions (rowid,[Name],fxml) VALUES (2,'b',CAST(X'3C763E4DC3BC6C6C657220E282AC3C2F763E' AS TEXT));"
         "INSERT INTO submissions (rowid,[Name],fxml) VALUES (3,'c',CAST(X'3C763E4BF66C6E3C2F763E' AS TEXT));"
         "INSERT INTO submissions (rowid,[Name],fxml) VALUES (4,'d','');"
         "INSERT INTO templates (rowid,[Name],fxml,RSRV_TEMPLATE_NAME) VALUES (7,'t','<t/>','T');");
    FormXmlReader reader;
    std::string error;
    ASSERT_TRUE(reader.Open(path, error)) << error;

    std::wstring xml = L"left over from a longer record before this one";
    ASSERT_EQ(FormXmlReader::Result::Found, reader.Read(false, 1, xml, error)) << error;
    EXPECT_EQ(L"<f><v>Ann Boston</v></f>", xml);
    // UTF-8: M, u-umlaut, l, l, e, r, blank, euro sign.
    ASSERT_EQ(FormXmlReader::Result::Found, reader.Read(false, 2, xml, error)) << error;
    EXPECT_EQ(L"<v>M\u00fcller \u20ac</v>", xml);
    // An older file's ANSI byte 0xF6 (o-umlaut in code page 1252), not valid UTF-8.
    ASSERT_EQ(FormXmlReader::Result::Found, reader.Read(false, 3, xml, error)) << error;
    EXPECT_EQ(L"<v>K\u00f6ln</v>", xml);
    ASSERT_EQ(FormXmlReader::Result::Found, reader.Read(false, 4, xml, error)) << error;
    EXPECT_EQ(L"", xml);
    ASSERT_EQ(FormXmlReader::Result::Found, reader.Read(false, 1, xml, error)) << error;
    EXPECT_EQ(L"<f><v>Ann Boston</v></f>", xml);
    ASSERT_EQ(FormXmlReader::Result::Found, reader.Read(true, 7, xml, error)) << error;
    EXPECT_EQ(L"<t/>", xml);
    EXPECT_EQ(FormXmlReader::Result::Missing, reader.Read(false, 99, xml, error));
}
