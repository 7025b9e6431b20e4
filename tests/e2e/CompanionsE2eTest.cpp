// The top's companions judged by the real tools, on projects the module wizard builds with the
// real engine from our own leaves in a folder whose name has a blank: frameworks in the three
// styles, test fixtures around framework and full-source tops (also under a new title), and
// file lists saved through the generated-text window and read by iverilog, verilator and yosys.
#include "WizardProject.h"

#include "editor/hdl/FileList.h"
#include "editor/hdl/FrameworkGenerator.h"
#include "editor/hdl/GenText.h"
#include "editor/hdl/TestFixture.h"
#include "platform/TextLines.h"

#include <gtest/gtest.h>

#include <regex>

namespace zun::e2e {
namespace {

class CompanionsE2e : public WizardProject {
protected:
    void SetUp() override {
        WizardProject::SetUp();
        fs::create_directories(designs_);
        for (const char* name : {"leaves.v", "leaves95.v", "leaves.vhd"})
            fs::copy_file(kLeaves / name, designs_ / name);
    }
    fs::path Src(const char* name) const { return designs_ / name; }

    // Saved as the generated-text window saves: every line ended by CR LF.
    fs::path Save(const std::string& name, const std::string& text) const {
        const fs::path path = designs_ / name;
        WriteBytes(path.string(), platform::JoinLines(platform::SplitLines(text)));
        return path;
    }
    std::string Framework(int style) {
        const std::size_t logStart = model_.Log.Lines().size();
        const std::string text =
            GenFramework(model_, style, true,
                         style == VhdlFrameworkStyle ? VhdlColumnWidths : VerilogColumnWidths);
        for (std::size_t i = logStart; i < model_.Log.Lines().size(); ++i)
            EXPECT_EQ(model_.Log.Lines()[i].rfind("Error", 0), std::string::npos)
                << model_.Log.Lines()[i];
        return text;
    }
    std::string Title() const { return model_.TopRecord()->Title; }
    // Gives the top the title the generation command gives it on a rename.
    void Retitle(const std::string& title) {
        ASSERT_TRUE(model_.SetPortLineFields(model_.TopName, "", "M", 3, title));
        Rebuild();
        ASSERT_EQ(Title(), title);
    }

    // Verilog 2001 and 1995 leaves: a counter whose width is set on the instance, an address
    // counter, a mixer and a gate sharing the top's inputs, one top output left open.
    void BuildVerilog() {
        NewProject({Src("leaves.v"), Src("leaves95.v")}, "fx_top");
        const std::string addr = Instance("gen_addr");
        const std::string mix = Instance("gen_mix");
        const std::string count = Instance("gen95_count");
        const std::string gate = Instance("gen95_gate");
        Confirm(addr, "addr", 3, 0);
        SetInstanceValue(count, "W", "6");
        Confirm(count, "q", 5, 0);
        Map(addr, "clk");
        MapTo(count, "clk", "clk");
        Map(addr, "rst");
        MapTo(count, "rst", "rst");
        Map(addr, "addr");
        Map(count, "q");
        Map(mix, "a");
        Map(mix, "b");
        MapTo(gate, "a", "a");
        MapTo(gate, "b", "b");
        Map(gate, "y");
        Map(mix, "flag");
        ASSERT_TRUE(IsolatePort(model_, P(model_.TopName, "flag"), false));
        Rebuild();
        model_.ClearLog();
    }
    std::vector<fs::path> VerilogLeaves() const { return {Src("leaves.v"), Src("leaves95.v")}; }

    // The 1995 leaves alone, for a compiler held to Verilog 1995.
    void BuildVerilog1995() {
        NewProject({Src("leaves95.v")}, "fx95_top");
        const std::string count = Instance("gen95_count");
        const std::string gate = Instance("gen95_gate");
        Confirm(count, "q", 3, 0);
        Map(count, "clk");
        Map(count, "rst");
        Map(count, "q");
        Map(gate, "a");
        Map(gate, "b");
        Map(gate, "y");
        model_.ClearLog();
    }

    // VHDL leaves: the oscillator's output is a top output read inside (a buffer), a generic
    // without default valued on the instance, a vector of one bit on the top.
    void BuildVhdl() {
        NewProject({Src("leaves.vhd")}, "vfx_top");
        const std::string scale = Instance("gen_scale");
        const std::string flag = Instance("gen_flag");
        const std::string osc = Instance("gen_osc");
        SetInstanceValue(scale, "K", "2");
        Map(scale, "a");
        Wire(scale, "y", flag, "d");
        Wire(osc, "o", flag, "clk");
        Map(osc, "o");
        Map(flag, "f");
        model_.ClearLog();
    }

    // The framework's blank actuals filled as a designer fills them: outputs and inouts open,
    // inputs a constant of their type.
    std::string FillVhdlFramework(const std::string& text) {
        static const std::regex instanceHead(R"(^(\S+):(\S+) $)");
        static const std::regex blankActual(R"(^(\s*)(\S+)(\s*)=>\s*(,?)$)");
        std::string filled;
        std::string instance;
        int blanks = 0;
        for (const std::string& line : platform::SplitLines(text)) {
            std::smatch m;
            if (std::regex_match(line, m, instanceHead)) {
                instance = m[1];
            } else if (!instance.empty() && std::regex_match(line, m, blankActual)) {
                const port& p = P(instance, m[2]);
                const std::string actual = p.Kind != 'I'         ? "open"
                                           : p.WidthText.empty() ? "'0'"
                                                                 : "(others => '0')";
                filled +=
                    m[1].str() + m[2].str() + m[3].str() + "=> " + actual + m[4].str() + "\r\n";
                ++blanks;
                continue;
            }
            filled += line + "\r\n";
        }
        EXPECT_GT(blanks, 0) << text;
        return filled;
    }

    void ExpectIverilog(const std::string& standard, const fs::path& top,
                        const std::vector<fs::path>& leaves) {
        CommandResult r = RunCommand("iverilog " + standard + " -Wall -o /dev/null " +
                                     ShellWord(top) + Join(leaves));
        EXPECT_EQ(r.status, 0) << r.output << ReadBytes(top.string());
        EXPECT_EQ(r.output.find("warning: Port"), std::string::npos) << r.output;
    }
    void ExpectVerilatorLint(const fs::path& top, const std::vector<fs::path>& leaves) {
        CommandResult r = RunCommand("verilator --lint-only --top-module " + Title() + " " +
                                     ShellWord(top) + Join(leaves));
        EXPECT_EQ(r.status, 0) << r.output << ReadBytes(top.string());
    }
    // The Verilog fixture around a top: compiled with the top as its unit and run.
    void ExpectVerilogFixtureRuns(const fs::path& top, const std::vector<fs::path>& leaves) {
        const std::optional<FixtureText> fixture = VerilogFixture(model_);
        ASSERT_TRUE(fixture);
        EXPECT_EQ(fixture->FileName, "tb_" + Title() + ".v");
        const fs::path tb = Save(fixture->FileName, fixture->Text);
        const fs::path sim = designs_ / "sim.vvp";
        CommandResult built =
            RunCommand("iverilog -g2001 -Wall -s tb_" + Title() + " -o " + ShellWord(sim) + " " +
                       ShellWord(tb) + " " + ShellWord(top) + Join(leaves));
        ASSERT_EQ(built.status, 0) << built.output << fixture->Text;
        EXPECT_EQ(built.output.find("warning: Port"), std::string::npos) << built.output;
        CommandResult ran = RunCommand("vvp -n " + ShellWord(sim));
        EXPECT_EQ(ran.status, 0) << ran.output;
    }
    fs::path VhdlFixtureFile() {
        const std::optional<FixtureText> fixture = VhdlFixture(model_);
        EXPECT_TRUE(fixture);
        if (!fixture)
            return {};
        EXPECT_EQ(fixture->FileName, "tb_" + Title() + ".vhd");
        return Save(fixture->FileName, fixture->Text);
    }

    fs::path designs_{scratch_ / "my designs"};
};

TEST_F(CompanionsE2e, VerilogFrameworksPassIverilogAndVerilator) {
    REQUIRE_TOOL("iverilog");
    REQUIRE_TOOL("verilator");
    BuildVerilog();
    for (int style : {Verilog2001Style, Verilog1995Style}) {
        SCOPED_TRACE(style);
        const fs::path top = Save("fx_top.v", Framework(style));
        ExpectIverilog("-g2001", top, VerilogLeaves());
        ExpectVerilatorLint(top, VerilogLeaves());
        const std::string text = ReadBytes(top.string());
        EXPECT_NE(text.find("defparam "), std::string::npos) << text;
        EXPECT_NE(text.find("     output [7 :0] y "), std::string::npos) << text;
        EXPECT_NE(text.find("assign flag ={1{1'b0}};"), std::string::npos) << text;
    }
    BuildVerilog1995();
    for (int style : {Verilog1995Style, Verilog2001Style}) {
        SCOPED_TRACE(style);
        const fs::path top = Save("fx95_top.v", Framework(style));
        ExpectIverilog(style == Verilog1995Style ? "-g1995" : "-g2001", top, {Src("leaves95.v")});
        ExpectVerilatorLint(top, {Src("leaves95.v")});
    }
}

TEST_F(CompanionsE2e, FilledVhdlFrameworkPassesGhdl) {
    REQUIRE_TOOL("ghdl");
    BuildVhdl();
    const std::string text = Framework(VhdlFrameworkStyle);
    EXPECT_NE(text.find(":buffer"), std::string::npos) << text;
    const fs::path top = Save("vfx_top.vhd", FillVhdlFramework(text));
    ExpectGhdlAccepts(scratch_, top, Title(), {Src("leaves.vhd")}, "work");
}

TEST_F(CompanionsE2e, VerilogFixtureRunsAroundFrameworkAndFullSourceTops) {
    REQUIRE_TOOL("iverilog");
    REQUIRE_TOOL("vvp");
    BuildVerilog();
    for (int round = 0; round < 2; ++round) {
        if (round == 1)
            Retitle("fx_renamed");
        SCOPED_TRACE(Title());
        ExpectVerilogFixtureRuns(Save(Title() + ".v", Framework(Verilog2001Style)),
                                 VerilogLeaves());
        ExpectVerilogFixtureRuns(Generate(false), VerilogLeaves());
    }
}

TEST_F(CompanionsE2e, VhdlFixtureRunsAroundFilledFrameworkAndFullSourceTops) {
    REQUIRE_TOOL("ghdl");
    BuildVhdl();
    for (int round = 0; round < 2; ++round) {
        if (round == 1)
            Retitle("vfx_renamed");
        SCOPED_TRACE(Title());
        const fs::path framework =
            Save(Title() + ".vhd", FillVhdlFramework(Framework(VhdlFrameworkStyle)));
        const fs::path tb = VhdlFixtureFile();
        EXPECT_NE(ReadBytes(tb.string()).find("\t\to :OUT STD_LOGIC;"), std::string::npos)
            << ReadBytes(tb.string());
        const fs::path full = Generate(true);
        ExpectGhdlAccepts(scratch_ / ("full" + Title()), full, Title(), {Src("leaves.vhd")},
                          "work");
        // The fixture declares an output the design reads as out, as the full-source top does
        // (through a signal of its own); the framework's entity has it buffer, as the designer
        // who fills it reads it there, and only VHDL-2008 binds the one to the other.
        for (const char* standard : {"93c", "08"}) {
            SCOPED_TRACE(standard);
            const fs::path lib = scratch_ / (std::string("fixture") + standard + Title());
            fs::create_directories(lib);
            ExpectGhdlElaborates(lib, {Src("leaves.vhd"), full, tb}, "tb_" + Title(), standard,
                                 "work", true);
        }
        const fs::path lib = scratch_ / ("lib" + Title());
        fs::create_directories(lib);
        ExpectGhdlElaborates(lib, {Src("leaves.vhd"), framework, tb}, "tb_" + Title(), "08",
                             "work", true);
    }
}

// A module of a public project, the uart's RAM with widths set by its parameters: both
// Verilog frameworks and the fixture around them and around the full-source top are read by
// the real tools with the corpus source itself.
TEST_F(CompanionsE2e, CorpusRamFrameworksAndFixturePassTheTools) {
    REQUIRE_TOOL("iverilog");
    REQUIRE_TOOL("vvp");
    REQUIRE_TOOL("verilator");
    REQUIRE_TOOL("yosys");
    const fs::path ram = fs::path(ZUN_CORPUS_DIR) / "uart16550/rtl/verilog/raminfr.v";
    REQUIRE_CORPUS(ram.string());
    NewProject({ram}, "ram_top");
    const std::string inst = Instance("raminfr");
    SetInstanceValue(inst, "addr_width", "5");
    SetInstanceValue(inst, "depth", "32");
    for (const auto& [name, msb] :
         {std::pair<const char*, int>{"a", 4}, {"dpra", 4}, {"di", 7}, {"dpo", 7}})
        Confirm(inst, name, msb, 0);
    for (const char* name : {"clk", "we", "a", "dpra", "di", "dpo"})
        Map(inst, name);
    model_.ClearLog();
    for (int style : {Verilog2001Style, Verilog1995Style}) {
        SCOPED_TRACE(style);
        const fs::path top = Save("ram_top.v", Framework(style));
        ExpectIverilog(style == Verilog1995Style ? "-g1995" : "-g2001", top, {ram});
        ExpectVerilatorLint(top, {ram});
        CommandResult r = RunCommand(
            "yosys -q -p " + ShellWord("read_verilog \"" + top.string() + "\"; read_verilog \"" +
                                       ram.string() + "\"; hierarchy -check -top ram_top"));
        EXPECT_EQ(r.status, 0) << r.output;
        const std::string text = ReadBytes(top.string());
        EXPECT_NE(text.find("defparam " + inst + ".addr_width = 5 ;"), std::string::npos) << text;
        ExpectVerilogFixtureRuns(top, {ram});
    }
    ExpectVerilogFixtureRuns(Generate(false), {ram});
}

class FileListsE2e : public CompanionsE2e {
protected:
    // The list built with the dialog's choices and saved through the window's "Save As".
    fs::path SaveList(const std::string& name, const std::function<void(FileListForm&)>& choose) {
        FileListCommand command(model_);
        command.ShowFormFLst = [&](FileListForm& form) {
            choose(form);
            form.LabeledEdit1Change();
            return true;
        };
        GenTextModel window(model_, prompt_);
        EXPECT_TRUE(command.BFLstExecute(window));
        EXPECT_EQ(window.SaveFileName, "fx_top.lst");
        const fs::path path = designs_ / name;
        prompt_.ExpectSaveFile("Save As", {path.string()});
        EXPECT_TRUE(window.BitBtn2Click());
        EXPECT_EQ(platform::SplitLines(ReadBytes(path.string())).size(), 2u)
            << ReadBytes(path.string());
        return path;
    }
    void SetUp() override {
        CompanionsE2e::SetUp();
        BuildVerilog();
        top_ = Save("fx_top.v", Framework(Verilog2001Style));
    }
    fs::path top_;
};

TEST_F(FileListsE2e, FileNamesOnlyRelativeToTheFolderAreReadByIverilogThere) {
    REQUIRE_TOOL("iverilog");
    const fs::path list = SaveList("names.lst", [&](FileListForm& f) {
        f.CheckBox1 = false;
        f.CheckBox1Click();
        f.LabeledEdit2 = designs_.string() + "/";
    });
    EXPECT_EQ(ReadBytes(list.string()), "leaves.v\r\nleaves95.v\r\n");
    CommandResult r = RunCommand("cd " + ShellWord(designs_) +
                                 " && iverilog -g2001 -o /dev/null -c names.lst fx_top.v");
    EXPECT_EQ(r.status, 0) << r.output;
}

TEST_F(FileListsE2e, QuotedDefaultIsReadByVerilator) {
    REQUIRE_TOOL("verilator");
    const fs::path list = SaveList("quoted.lst", [](FileListForm&) {});
    EXPECT_EQ(ReadBytes(list.string()),
              "\"" + Src("leaves.v").string() + "\"\r\n\"" + Src("leaves95.v").string() + "\"\r\n");
    CommandResult r = RunCommand("verilator --lint-only --top-module fx_top -f " + ShellWord(list) +
                                 " " + ShellWord(top_));
    EXPECT_EQ(r.status, 0) << r.output;
}

TEST_F(FileListsE2e, CustomReadCommandsAreAYosysScript) {
    REQUIRE_TOOL("yosys");
    const fs::path list = SaveList("read.ys", [](FileListForm& f) {
        f.Preset = FileListPreset::Custom;
        f.RadioButton1Click();
        f.LabeledEdit1 = "read_%T \"%F\"";
    });
    EXPECT_EQ(platform::SplitLines(ReadBytes(list.string())).front(),
              "read_verilog \"" + Src("leaves.v").string() + "\"");
    CommandResult r = RunCommand(
        "yosys -q -s " + ShellWord(list) + " -p " +
        ShellWord("read_verilog \"" + top_.string() + "\"; hierarchy -check -top fx_top"));
    EXPECT_EQ(r.status, 0) << r.output;
}

} // namespace
} // namespace zun::e2e
