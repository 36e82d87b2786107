// The worksheet scanner against expat: for well-formed documents the same
// events however the text is cut into pieces, and what expat refuses as
// malformed or hostile the scanner refuses too.
#include "support/leak_checked_test.h"
#include "excel/xlsx_sheet_scanner.h"
#include "excel/xlsx_xml.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using namespace excelsim::xlsx;

// Every event as one line; adjacent texts joined, as handlers append them.
class Recorder : public XmlHandler {
public:
    void Start(const std::string& name, const XmlAttributes& attributes) override
    {
        Flush();
        std::string line = "<" + name;
        for (const char* a : {"r", "s", "t", "id", "space", "min", "w", "x", "y"})
            if (const std::string* v = attributes.Find(a))
                line += " " + std::string(a) + "=[" + *v + "]";
        events.push_back(line);
    }
    void End(const std::string& name) override
    {
        Flush();
        events.push_back("</" + name);
    }
    void Text(const char* text, int length) override { text_.append(text, static_cast<std::size_t>(length)); }
    std::vector<std::string> Done()
    {
        Flush();
        return events;
    }

private:
    void Flush()
    {
        if (!text_.empty())
            events.push_back("'" + text_ + "'");
        text_.clear();
    }
    std::vector<std::string> events;
    std::string text_;
};

struct Outcome {
    bool ok;
    std::vector<std::string> events;
    std::string error;
};

Outcome Expat(const std::string& xml)
{
    Recorder recorder;
    Outcome o;
    o.ok = ParseXml(xml, "p", recorder, o.error);
    o.events = recorder.Done();
    return o;
}

Outcome Scan(const std::string& xml, std::size_t piece)
{
    Recorder recorder;
    Outcome o;
    o.ok = ScanXmlInPieces(
        [&](const XmlPieces& feed) {
            for (std::size_t at = 0; at < xml.size(); at += piece)
                if (!feed(xml.data() + at, std::min(piece, xml.size() - at)))
                    return true;
            return true;
        },
        "p", recorder, o.error);
    o.events = recorder.Done();
    return o;
}

using XlsxSheetScannerTest = LeakCheckedTest;

TEST_F(XlsxSheetScannerTest, WellFormedDocumentsGiveExpatsEventsInAnyPieces)
{
    const std::string documents[] = {
        R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>
<worksheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main" xmlns:r="rel"><sheetData><row r="1"><c r="A1" s="2" t="inlineStr"><is><t xml:space="preserve"> a &lt;b&gt; &amp; &quot;c&quot; &apos;d&apos; </t></is></c></row></sheetData></worksheet>)",
        "\xEF\xBB\xBF<x:worksheet xmlns:x='m'><x:row r = '2' ><x:c r=\"B2\"><x:v>1.5</x:v></x:c></x:row></x:worksheet>",
        "<w><t>&#65;&#x42;&#x1F600;&#233; caf\xC3\xA9 \xE6\x9D\xB1 \xF0\x9F\x98\x80</t></w>",
        "<w><t><![CDATA[<not> &a; markup]]]]><![CDATA[>]]></t><!-- a comment - with dashes --><?pi some data?></w>",
        "<w>line\r\nbreak\rcarriage\n<t a=\"x\r\ny\tz\nw\" b='&#9;&#10;&#13;'/></w>",
        "<w><c r=\"A1\" t=\"s\"/><c r=\"A2\"></c>  <c\tr=\"A3\"\n/></w>\n<!-- after -->\n<?after?>\n",
        "<w><t>]] > ]>]</t><t a='>&gt;'/></w>",
        "<?xml version='1.0'?><!-- first --><w/>",
        "<w><\xC3\xA9l \xC3\xA9t\xE6\x9D\xB1=\"1\" b='a\"b>c'/></w>",
    };
    for (const std::string& xml : documents) {
        Outcome expected = Expat(xml);
        ASSERT_TRUE(expected.ok) << expected.error << "\n" << xml;
        for (std::size_t piece : {std::size_t{1}, std::size_t{2}, std::size_t{7}, xml.size()}) {
            Outcome got = Scan(xml, piece);
            EXPECT_TRUE(got.ok) << got.error << "\n" << xml;
            EXPECT_EQ(got.events, expected.events) << "pieces of " << piece << "\n" << xml;
        }
    }
}

TEST_F(XlsxSheetScannerTest, WhatExpatRefusesIsRefusedWithAReason)
{
    const std::string documents[] = {
        "<w><a></w>",
        "<w>",
        "",
        "   ",
        "<w/><w/>",
        "<w/>text",
        "text<w/>",
        "<w>&nbsp;</w>",
        "<w>&#0;</w>",
        "<w>&#xD800;</w>",
        "<w>&#x110000;</w>",
        "<w>&#xZZ;</w>",
        "<w>&amp</w>",
        "<w>\x01</w>",
        "<w>\xC3</w>",
        "<w>\xC0\x80</w>",
        "<w>\xED\xA0\x80</w>",
        "<w>\xEF\xBF\xBE</w>",
        "<w>a ]]> b</w>",
        "<w a='1' a='2'/>",
        "<w a='1'b='2'/>",
        "<w a=1/>",
        "<w a='<'/>",
        "<w a/>",
        "<1w/>",
        "<w></ w>",
        "<w><!-- a -- b --></w>",
        "<w><![CDATA[x]]</w>",
        "<w><!ELEMENT x ANY></w>",
        "<w/><?xml version='1.0'?>",
        "<!DOCTYPE w [<!ENTITY a 'x'>]><w>&a;</w>",
        "<w><t>unclosed",
        "<w a='x",
        "<w><a\xC3/></w>",
        "<w><a b\xC3\xA9\xFF='1'/></w>",
    };
    for (const std::string& xml : documents) {
        Outcome expected = Expat(xml);
        ASSERT_FALSE(expected.ok) << "expat takes " << xml;
        for (std::size_t piece : {std::size_t{1}, std::size_t{3}, std::max<std::size_t>(xml.size(), 1)}) {
            Outcome got = Scan(xml, piece);
            EXPECT_FALSE(got.ok) << "the scanner takes " << xml;
            EXPECT_FALSE(got.error.empty()) << xml;
            EXPECT_EQ(got.error.rfind("p: ", 0), 0u) << got.error;
        }
    }
    // A part in another encoding is refused rather than misread.
    Outcome latin = Scan("<?xml version='1.0' encoding='ISO-8859-1'?><w>\xE9</w>", 64);
    EXPECT_FALSE(latin.ok);
    EXPECT_NE(latin.error.find("UTF-8"), std::string::npos) << latin.error;
    // Deep nesting stops at the reader's limit, as with expat.
    std::string deep;
    for (int i = 0; i < 100; ++i)
        deep += "<d>";
    Outcome nested = Scan(deep, 4096);
    EXPECT_FALSE(nested.ok);
    EXPECT_NE(nested.error.find("nested too deeply"), std::string::npos) << nested.error;
    EXPECT_NE(Expat(deep).error.find("nested too deeply"), std::string::npos);
}

} // namespace
