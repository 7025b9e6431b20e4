// The index of wire records, port widths and placeholders that both finishing jobs look up.
#include "engine/FinishIndex.h"

#include "FinishTestLines.h"

#include <gtest/gtest.h>

#include <string>

namespace qve {
namespace {

using test::ProjectLine;
using test::VerilogConnection;
using test::VhdlAssociation;

struct WireLineCase {
    const char* name;
    std::string line;
    bool isWire;
    const char* netName;
};

TEST(ConnectionIndex, TakesOnlyWholeWireLinesWithANetName) {
    const WireLineCase cases[] = {
        {"ordinary wire line", ProjectLine({"WIRE", "u1", "a", "u2", "b", "n1"}), true, "n1"},
        {"disabled wire line", ProjectLine({"#WIRE", "u1", "a", "u2", "b", "n1"}), false, ""},
        {"module named WIRE", ProjectLine({"MODULE", "WIRE", "u1", "w.v", "verilog"}), false, ""},
        {"instance named WIRE", ProjectLine({"MODULE", "m", "WIRE", "m.v", "verilog"}), false, ""},
        {"keyword only begins with WIRE", ProjectLine({"WIRES", "u1", "a", "u2", "b", "n1"}), false,
         ""},
        {"empty net name", ProjectLine({"WIRE", "u1", "a", "u2", "b", ""}), false, ""},
        {"too few fields", "WIRE\tu1\ta\tu2\n", false, ""},
        {"no trailing fields", "WIRE\tu1\ta\tu2\tb\tn2\n", true, "n2"},
        {"lone CR left by the read", "WIRE\tu1\ta\tu2\tb\tn3\t\t\r\n", true, "n3"},
        {"stray text in field 6", "WIRE\tu1\ta\tu2\tb\tn4\tx\t\n", true, "n4"},
    };
    for (const WireLineCase& c : cases) {
        SCOPED_TRACE(c.name);
        std::string text = ProjectLine({"TOP", "", "top"}) + c.line;
        ConnectionIndex index(text);
        ASSERT_EQ(index.Wires().size(), c.isWire ? 1u : 0u);
        if (c.isWire) {
            const WireRecord& wire = index.Wires().front();
            EXPECT_EQ(wire.instanceA, "u1");
            EXPECT_EQ(wire.portA, "a");
            EXPECT_EQ(wire.instanceB, "u2");
            EXPECT_EQ(wire.portB, "b");
            EXPECT_EQ(wire.name, c.netName);
        }
    }
}

TEST(ConnectionIndex, KeepsWireRecordsInFileOrder) {
    std::string text = ProjectLine({"WIRE", "u1", "a", "u2", "b", "first"}) +
                       ProjectLine({"WIRE", "u3", "c", "u4", "d", "second"}) +
                       ProjectLine({"WIRE", "u1", "a", "u5", "e", "first"});
    ConnectionIndex index(text);
    ASSERT_EQ(index.Wires().size(), 3u);
    EXPECT_EQ(index.Wires()[0].name, "first");
    EXPECT_EQ(index.Wires()[1].name, "second");
    EXPECT_EQ(index.Wires()[2].instanceB, "u5");
}

// A design in which every way a width could leak from elsewhere is present.
std::string LeakyDesign() {
    return ProjectLine({"TOP", "", "top"}) + ProjectLine({"OUTPUT", "31", "0", "q"}) +
           ProjectLine({"MODULE", "m", "u10", "m.v", "verilog"}) +
           ProjectLine({"OUTPUT", "15", "0", "d"}) +
           ProjectLine({"MODULE", "m", "u1", "m.v", "verilog"}) +
           ProjectLine({"PARAMETER", "3", "0", "p", "8", "", "K"}) +
           ProjectLine({"OUTPUT", "NA", "NA", "d", "", "W-1", "0"}) +
           ProjectLine({"INPUT", "", "", "e"}) + ProjectLine({"#INPUT", "9", "0", "f"}) +
           ProjectLine({"INPUT", "", "", "q"}) + ProjectLine({"OUTPUT", "-1", "0", "g"}) +
           ProjectLine({"OUTPUT", "2", "1", "h"}) +
           ProjectLine({"MODULE", "m2", "u2", "m2.v", "verilog"}) +
           ProjectLine({"INPUT", "3", "0", "e"}) + ProjectLine({"INPUT", "8", "0", "p"}) +
           ProjectLine({"INPUT", "7", "0", "f"}) +
           ProjectLine({"MODULE", "m", "\\u.x ", "m.v", "verilog"}) +
           ProjectLine({"OUTPUT", "5", "0", "\\y.z "}) +
           ProjectLine({"MODULE", "m", "\\u.w", "m.v", "verilog"}) +
           ProjectLine({"OUTPUT", "6", "0", "\\y.v"}) +
           ProjectLine({"WIRE", "u1", "d", "top", "q", "q"});
}

struct WidthCase {
    const char* name;
    const char* instance;
    const char* port;
    bool found;
    const char* first;
    const char* second;
};

TEST(ConnectionIndex, FindsAWidthOnlyInTheBlockOfTheExactInstance) {
    const WidthCase cases[] = {
        {"own numeric port line", "u1", "h", true, "2", "1"},
        {"u1 is not u10", "u10", "d", true, "15", "0"},
        {"u10's width never reaches u1", "u1", "d", false, "", ""},
        {"one-bit port does not take a later instance's port", "u1", "e", false, "", ""},
        {"a disabled port line is no port", "u1", "f", false, "", ""},
        {"a parameter named like a port gives no width", "u1", "p", false, "", ""},
        {"negative bound is not a whole number", "u1", "g", false, "", ""},
        {"the top's widths are never used", "top", "q", false, "", ""},
        {"one-bit port named like a top port", "u1", "q", false, "", ""},
        {"later instance keeps its own", "u2", "e", true, "3", "0"},
        {"unknown instance", "u3", "e", false, "", ""},
        {"instance given as a prefix", "u", "d", false, "", ""},
        {"escaped names as stored", "\\u.x ", "\\y.z ", true, "5", "0"},
        {"escaped names without their closing blank", "\\u.x", "\\y.z", true, "5", "0"},
        {"escaped names stored without their closing blank", "\\u.w ", "\\y.v ", true, "6", "0"},
    };
    std::string text = LeakyDesign();
    ConnectionIndex index(text);
    for (const WidthCase& c : cases) {
        SCOPED_TRACE(c.name);
        std::optional<PortWidth> width = index.Width(c.instance, c.port);
        ASSERT_EQ(width.has_value(), c.found);
        if (c.found) {
            EXPECT_EQ(width->first, c.first);
            EXPECT_EQ(width->second, c.second);
        }
    }
}

TEST(WholeNumber, AcceptsOnlyDigitsThatFitAnInt) {
    EXPECT_EQ(WholeNumber("0"), 0);
    EXPECT_EQ(WholeNumber("007"), 7);
    EXPECT_EQ(WholeNumber("2147483647"), 2147483647);
    EXPECT_FALSE(WholeNumber("2147483648"));
    EXPECT_FALSE(WholeNumber("99999999999999999999"));
    EXPECT_FALSE(WholeNumber(""));
    EXPECT_FALSE(WholeNumber("-1"));
    EXPECT_FALSE(WholeNumber("1 "));
    EXPECT_FALSE(WholeNumber("0x10"));
}

std::string TwoRams() {
    return "module top(\n\tq0 ,\n\tq1 \n);\n\n//Instantiate cell modules\n"
           "ram ram_0(\n" +
           VerilogConnection("dout", true) + ");\nram ram(\n" + VerilogConnection("dout", true) +
           ");\n";
}

TEST(PlaceholderIndex, FillsVerilogPortsOnTheInstanceHeadOnly) {
    std::string skeleton = TwoRams();
    PlaceholderIndex index = PlaceholderIndex::ForVerilog(skeleton);
    EXPECT_EQ(index.Count(), 2u);
    EXPECT_TRUE(index.Fill("ram", "dout", "(R)"));
    EXPECT_TRUE(index.Fill("ram_0", "dout", "(R0)"));
    EXPECT_EQ(index.Apply(skeleton, ""),
              "module top(\n\tq0 ,\n\tq1 \n);\n\n//Instantiate cell modules\n"
              "ram ram_0(\n\t." +
                  test::Padded("dout", 20) + " (R0)\n);\nram ram(\n\t." + test::Padded("dout", 20) +
                  " (R)\n);\n");
}

TEST(PlaceholderIndex, RefusesWhatHasNoOpenPlaceholder) {
    std::string skeleton = TwoRams();
    PlaceholderIndex index = PlaceholderIndex::ForVerilog(skeleton);
    EXPECT_FALSE(index.Fill("top", "q0", "(x)")) << "the top's port list holds no placeholder";
    EXPECT_FALSE(index.Fill("ram", "dou", "(x)")) << "a port name is no prefix";
    EXPECT_FALSE(index.Fill("ra", "dout", "(x)")) << "an instance name is no prefix";
    EXPECT_TRUE(index.Fill("ram", "dout", "(first)"));
    EXPECT_FALSE(index.Fill("ram", "dout", "(second)")) << "an end already filled stays";
    EXPECT_NE(index.Apply(skeleton, "").find("(first)"), std::string::npos);
    EXPECT_EQ(index.Apply(skeleton, "").find("(second)"), std::string::npos);
}

TEST(PlaceholderIndex, FillsEscapedVerilogNamesWithOrWithoutTheirClosingBlank) {
    std::string skeleton =
        "m \\u.a (\n" + VerilogConnection("\\d[0]") + VerilogConnection("clk", true) + ");\n";
    PlaceholderIndex index = PlaceholderIndex::ForVerilog(skeleton);
    EXPECT_TRUE(index.Fill("\\u.a ", "\\d[0]", "(n)"));
    EXPECT_TRUE(index.Fill("\\u.a", "clk", "(c)"));
    EXPECT_EQ(index.Apply(skeleton, ""), "m \\u.a (\n\t." + test::Padded("\\d[0]", 20) +
                                             " (n),\n\t." + test::Padded("clk", 20) + " (c)\n);\n");
}

TEST(PlaceholderIndex, EndsAVerilogInstanceAtItsClosingLine) {
    // A connection-like line after ");" belongs to no instance.
    std::string skeleton =
        "m u1(\n" + VerilogConnection("a", true) + ");\n" + VerilogConnection("b", true);
    PlaceholderIndex index = PlaceholderIndex::ForVerilog(skeleton);
    EXPECT_EQ(index.Count(), 1u);
    EXPECT_FALSE(index.Fill("u1", "b", "(x)"));
}

TEST(PlaceholderIndex, FillsVhdlAssociationsAfterAGenericMap) {
    std::string skeleton = "component ram  \n\tport(\n\t\tdout :out std_logic);\nend component;\n"
                           "begin\nram_0:ram \n\tgeneric map(\n\t\tW => 8    )\n\tport map(\n" +
                           VhdlAssociation("clk") + VhdlAssociation("dout", true) + "\nram:ram \n" +
                           "\tport map(\n" + VhdlAssociation("dout", true);
    PlaceholderIndex index = PlaceholderIndex::ForVhdl(skeleton);
    EXPECT_EQ(index.Count(), 3u);
    EXPECT_TRUE(index.Fill("ram", "dout", "R"));
    EXPECT_TRUE(index.Fill("ram_0", "dout", "R0"));
    EXPECT_FALSE(index.Fill("ram_0", "W", "x")) << "a generic is no port";
    std::string applied = index.Apply(skeleton, "");
    EXPECT_NE(applied.find("ram_0:ram \n\tgeneric map(\n\t\tW => 8    )\n\tport map(\n" +
                           VhdlAssociation("clk") + "\t\t" + test::Padded("dout", 20) + " => R0);"),
              std::string::npos);
    EXPECT_NE(applied.find("ram:ram \n\tport map(\n\t\t" + test::Padded("dout", 20) + " => R);"),
              std::string::npos);
}

TEST(PlaceholderIndex, WritesOpenPlaceholdersAndASpanInTheSamePass) {
    std::string skeleton = "--block\nold\n--end\nu1:m \n\tport map(\n" + VhdlAssociation("a") +
                           VhdlAssociation("b", true);
    PlaceholderIndex index = PlaceholderIndex::ForVhdl(skeleton);
    EXPECT_TRUE(index.Fill("u1", "b", "n"));
    PlaceholderIndex::Span span{0, skeleton.find("--end") + 5, "new"};
    EXPECT_EQ(index.Apply(skeleton, "OPEN", &span), "new\nu1:m \n\tport map(\n\t\t" +
                                                        test::Padded("a", 20) + " => OPEN,\n\t\t" +
                                                        test::Padded("b", 20) + " => n);\n");
    EXPECT_EQ(index.Apply(skeleton, ""), skeleton.substr(0, skeleton.rfind("__")) + "n);\n");
}

TEST(IndexTable, FindsEveryKeyAfterGrowing) {
    // Hashes that collide in their low bits exercise the probing and the growth.
    IndexTable table;
    std::vector<std::size_t> hashes;
    for (std::size_t i = 0; i < 1000; ++i) {
        hashes.push_back((i % 7) << 40 | (i & 3));
        table.Insert(hashes.back(), i);
    }
    for (std::size_t i = 0; i < 1000; ++i)
        EXPECT_EQ(table.Find(hashes[i], [&](std::size_t index) { return index == i; }), i);
    EXPECT_EQ(table.Find(12345, [&](std::size_t index) { return hashes[index] == 12345; }),
              IndexTable::kNone);
}

TEST(PortDirectory, FindsThePortsOfSmallAndLargeInstancesApart) {
    // Names must outlive the directory: it keeps views.
    std::vector<std::string> names;
    for (int i = 0; i < 300; ++i)
        names.push_back("p" + std::to_string(i));
    PortDirectory directory;
    bool isNew = false;
    directory.BeginInstance("big");
    for (const std::string& name : names)
        directory.AddPort(name, isNew);
    directory.BeginInstance("small");
    std::size_t small = directory.AddPort(names[7], isNew);
    EXPECT_TRUE(isNew);
    EXPECT_EQ(directory.AddPort(names[7], isNew), small) << "a repeated port keeps its entry";
    EXPECT_FALSE(isNew);
    for (std::size_t i = 0; i < names.size(); ++i)
        ASSERT_EQ(directory.Find("big", names[i]), i) << names[i];
    EXPECT_EQ(directory.Find("small", names[7]), small);
    EXPECT_EQ(directory.Find("small", names[8]), PortDirectory::kNone);
    EXPECT_EQ(directory.Find("big", "p300"), PortDirectory::kNone);
    EXPECT_EQ(directory.Find("bi", "p1"), PortDirectory::kNone);
}

TEST(PortDirectory, KeepsTheFirstBlockOfARepeatedInstance) {
    PortDirectory directory;
    bool isNew = false;
    directory.BeginInstance("u1");
    std::size_t first = directory.AddPort("a", isNew);
    directory.BeginInstance("u2");
    directory.AddPort("a", isNew);
    directory.BeginInstance("u1");
    EXPECT_EQ(directory.AddPort("b", isNew), PortDirectory::kNone);
    directory.EndInstance();
    EXPECT_EQ(directory.AddPort("c", isNew), PortDirectory::kNone);
    EXPECT_EQ(directory.Find("u1", "a"), first);
    EXPECT_EQ(directory.Find("u1", "b"), PortDirectory::kNone);
    EXPECT_NE(directory.Find("u2", "a"), first);
}

} // namespace
} // namespace qve
