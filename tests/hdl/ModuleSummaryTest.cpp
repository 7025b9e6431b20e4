// The HTML module summary: one page for a top and two instances, the values escaped and put in
// once, the bit totals, and the file written and opened (the desktop faked).
#include "editor/hdl/ModuleSummary.h"

#include "editor/model/Documents.h"
#include "model/ModelText.h"
#include "platform/TextLines.h"
#include "support/FileFixtures.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <string>
#include <vector>

namespace {

using Lines = std::vector<std::string>;

std::size_t Count(const std::string& text, const std::string& piece) {
    std::size_t n = 0;
    for (std::size_t at = text.find(piece); at != std::string::npos; at = text.find(piece, at + 1))
        ++n;
    return n;
}

// The label rows of every section, and its port rows, in page order.
Lines ValueRows(const Lines& page) {
    Lines rows;
    for (const std::string& line : page)
        if (line.rfind("<tr><td class=\"label\">", 0) == 0 ||
            line.rfind("<tr><td width=\"51%\">", 0) == 0)
            rows.push_back(line);
    return rows;
}

std::string Row(const std::string& label, const std::string& value) {
    return "<tr><td class=\"label\">" + label + "</td><td>" + value + "</td></tr>";
}

std::string PortRow(const std::string& name, const std::string& width, char kind) {
    return "<tr><td width=\"51%\">" + name + "</td><td width=\"23%\">" + width +
           "&nbsp;</td><td width=\"26%\">" + kind + "</td></tr>";
}

Lines Section(const std::string& inst, const std::string& type, const std::string& file,
              const std::string& total, const std::string& in, const std::string& out) {
    return {Row("Instance Name:", inst),    Row("Instance Type:", type),
            Row("Top Module:", "top"),      Row("File:", file),
            Row("Total Bits:", total),      Row("Total Input Bits:", in),
            Row("Total Output Bits:", out), Row("Author:", "ZUN2012")};
}

class SummaryTest : public ::testing::Test {
protected:
    void Load(const std::string& text) {
        LoadProject(m, text);
        m.WorkDir = dir.Dir();
        services.ShellOpen = [this](const std::string& target) {
            opened.push_back(target);
            return openResult;
        };
    }
    std::string Page() {
        ModuleSummary s(m);
        bool first = true;
        for (const mdu& r : m.MduList) {
            s.MakeModuleSummary(r, first);
            first = false;
        }
        return s.HtmlBuf();
    }

    TempDir dir;
    ProjectModel m;
    EditorServices services;
    std::vector<std::string> opened;
    IoStatus openResult = IoStatus::Ok();
};

const char* const TwoInstances = "TOP\t\ttop\n"
                                 "INPUT\t\t\tclk\n"
                                 "OUTPUT\t7\t0\tq\n"
                                 "MODULE\tcore\tu_core\t/src/core.v\tverilog\n"
                                 "INPUT\t\t\tclk\n"
                                 "INPUT\t0\t3\td\n"
                                 "BIDIR\t1\t0\tio\n"
                                 "KVAR\t\t\tv\n"
                                 "OUTPUT_B\t15\t0\ty\n"
                                 "MODULE\tempty\tu_e\t/src/e.v\tverilog\n";

TEST_F(SummaryTest, PageOfATopAndTwoInstances) {
    Load(TwoInstances);
    const std::string page = Page();
    Lines expected = Section("top", "Top Module", "NA", "9", "1", "8");
    expected.push_back(PortRow("clk", "", 'I'));
    expected.push_back(PortRow("q", "7:0", 'O'));
    // 1 + 4 + 2 + 1 + 16 bits; the inout and the variant count only in the total.
    for (const std::string& row : Section("u_core", "core", "/src/core.v", "24", "5", "16"))
        expected.push_back(row);
    for (const std::string& row :
         {PortRow("clk", "", 'I'), PortRow("d", "0:3", 'I'), PortRow("io", "1:0", 'B'),
          PortRow("v", "", 'V'), PortRow("y", "15:0", 'O')})
        expected.push_back(row);
    for (const std::string& row : Section("u_e", "empty", "/src/e.v", "0", "0", "0"))
        expected.push_back(row);
    EXPECT_EQ(ValueRows(platform::SplitLines(page)), expected) << page;

    // One document: its head and foot once, a section per instance.
    EXPECT_EQ(page.rfind("<!DOCTYPE", 0), 0u);
    EXPECT_EQ(Count(page, "<html>"), 1u);
    EXPECT_EQ(Count(page, "</html>"), 1u);
    EXPECT_EQ(Count(page, "<title>Module Summary</title>"), 1u);
    EXPECT_EQ(Count(page, "Port Name"), 3u);
    EXPECT_EQ(Count(page, "TEM_"), 0u) << "every tag is filled, the markers are gone";
    EXPECT_NE(page.find("<a href=\"" + std::string(HomePageAddress) + "\">"), std::string::npos);
    EXPECT_EQ(Count(page, "\n"), Count(page, "\r\n")) << "every line ends with CR LF";
    EXPECT_EQ(page.substr(page.size() - 9), "</html>\r\n");
}

TEST_F(SummaryTest, ValuesAreEscapedAndNeverReadForTagsAgain) {
    Load("TOP\t\tTEM_TOP_X\n"
         "INPUT\t\t\tTEM_PORTS\n"
         "MODULE\tcore\t\\a<b> \t/r&d/\"x\".v\tverilog\n"
         "INPUT\t\t\tTEM_FILE\n"
         "MODULE\tTEM_MODULE\tTEM_TYPE\t/src/TEM_TOTB.v\tverilog\n");
    const Lines rows = ValueRows(platform::SplitLines(Page()));
    ASSERT_EQ(rows.size(), 8u * 3 + 2);
    EXPECT_EQ(rows[0], Row("Instance Name:", "TEM_TOP_X"));
    EXPECT_EQ(rows[2], Row("Top Module:", "TEM_TOP_X"));
    EXPECT_EQ(rows[8], PortRow("TEM_PORTS", "", 'I'));
    EXPECT_EQ(rows[9], Row("Instance Name:", "\\a&lt;b&gt; "));
    EXPECT_EQ(rows[12], Row("File:", "/r&amp;d/&quot;x&quot;.v"));
    EXPECT_EQ(rows[17], PortRow("TEM_FILE", "", 'I'));
    EXPECT_EQ(rows[18], Row("Instance Name:", "TEM_TYPE"));
    EXPECT_EQ(rows[19], Row("Instance Type:", "TEM_MODULE"));
    EXPECT_EQ(rows[21], Row("File:", "/src/TEM_TOTB.v"));
}

TEST_F(SummaryTest, AWidthThatIsNoNumberIsNoBitCount) {
    Load("TOP\t\ttop\n"
         "INPUT\t7\t0\ta\n"
         "INPUT\tNA\t0\tbus\t\tW-1\t0\n"
         "OUTPUT\t3\t0\tq\n");
    const Lines rows = ValueRows(platform::SplitLines(Page()));
    ASSERT_GE(rows.size(), 7u);
    EXPECT_EQ(rows[4], Row("Total Bits:", "12+?"));
    EXPECT_EQ(rows[5], Row("Total Input Bits:", "8+?"));
    EXPECT_EQ(rows[6], Row("Total Output Bits:", "4"));
    EXPECT_EQ(rows[9], PortRow("bus", "W-1:0", 'I'));
}

TEST_F(SummaryTest, FirstStartsANewPage) {
    Load(TwoInstances);
    ModuleSummary s(m);
    s.MakeModuleSummary(m.MduList[0], true);
    s.MakeModuleSummary(m.MduList[1], false);
    EXPECT_EQ(Count(s.HtmlBuf(), "Instance Name:"), 2u);
    s.MakeModuleSummary(m.MduList[2], true);
    const std::string page = s.HtmlBuf();
    EXPECT_EQ(Count(page, "Instance Name:"), 1u);
    EXPECT_NE(page.find(Row("Instance Name:", "u_e")), std::string::npos);
    EXPECT_EQ(s.HtmlBufLines(), platform::SplitLines(page));
}

TEST_F(SummaryTest, AllInstancesAreSavedAndOpened) {
    Load(TwoInstances);
    ASSERT_TRUE(ViewModuleSummary1Click(m, services));
    const std::string path = dir.Path("summary.htm");
    EXPECT_EQ(opened, Lines{path});
    EXPECT_EQ(ReadBytes(path), Page());
    EXPECT_TRUE(m.Log.Lines().empty());
}

TEST_F(SummaryTest, OneInstanceForTheContextMenu) {
    Load(TwoInstances);
    ASSERT_TRUE(ShowModuleSummary(m, services, 1));
    const std::string page = ReadBytes(dir.Path("summary.htm"));
    EXPECT_EQ(Count(page, "Instance Name:"), 1u);
    EXPECT_NE(page.find(Row("Instance Name:", "u_core")), std::string::npos);
    EXPECT_FALSE(ShowModuleSummary(m, services, 7));
    EXPECT_EQ(opened.size(), 1u);
}

TEST_F(SummaryTest, AFailedWriteOpensNoOldPage) {
    Load(TwoInstances);
    const std::string path = dir.Path("summary.htm");
    WriteBytes(path, "old page");
    ::chmod(path.c_str(), 0444);
    EXPECT_FALSE(ViewModuleSummary1Click(m, services));
    EXPECT_TRUE(opened.empty());
    EXPECT_EQ(ReadBytes(path), "old page");
    EXPECT_EQ(m.Log.Lines(), Lines{"Error: Can't write the file " + path + "."});
}

TEST_F(SummaryTest, AFailedOpenIsLogged) {
    Load(TwoInstances);
    openResult = IoStatus::Fail("no browser");
    EXPECT_FALSE(ViewModuleSummary1Click(m, services));
    ASSERT_EQ(m.Log.Lines().size(), 1u);
    EXPECT_EQ(m.Log.Lines()[0].rfind("Error: Can not open ", 0), 0u);
}

} // namespace
