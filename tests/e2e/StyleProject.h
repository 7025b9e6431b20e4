// A project of the style designs as the user makes one: the module wizard with the real engine,
// width confirmation for every new instance and for every instance value set on the Instances
// page (bounds the arithmetic cannot give set by hand in its dialog), duplicated instances,
// wires, top ports and combined buses through the context menu; and the generated tops judged
// by every tool that reads them.
#pragma once

#include "AcceptingDialogs.h"
#include "HdlJudges.h"
#include "WizardProject.h"

#include "editor/canvas/CanvasController.h"
#include "editor/canvas/ContextEdits.h"
#include "editor/canvas/ContextMenu.h"
#include "editor/canvas/PropertiesPresenter.h"
#include "editor/hdl/ModuleUpdate.h"
#include "editor/hdl/TestFixture.h"
#include "editor/hdl/WidthConfirmation.h"
#include "editor/model/TopLevel.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <utility>
#include <vector>

namespace zun::e2e {

inline const fs::path kStyles = fs::path(ZUN_TEST_DATA) / "styles";

// Bounds typed into the width dialog's "Set MSB" and "Set LSB" cells, by port.
using ManualBounds = std::map<std::string, std::pair<int, int>>;

class StyleProject : public WizardProject {
protected:
    void SetUp() override {
        WizardProject::SetUp();
        for (const char* tool : {"iverilog", "verilator", "yosys", "ghdl"})
            REQUIRE_TOOL(tool);
        page_.UpdatePicture = [this] { Rebuild(); };
        widths_.UpdatePicture = page_.UpdatePicture;
        host_.Rebuild = [this] { Rebuild(); };
        host_.SetStatusText = [](int, const std::string&) {};
        host_.SetCursor = [](int) {};
        host_.prompt = &prompt_;
    }

    // New Project with the sources and every module once, each new instance's widths confirmed
    // as the command confirms them; bounds that do not evaluate are then set by hand.
    void NewConfirmedProject(const std::vector<fs::path>& sources, const std::string& top,
                             const std::map<std::string, ManualBounds>& manual = {}) {
        ThroughTheWizard(sources, top);
        if (HasFatalFailure())
            return;
        model_.UpdatePicExecute(RebuildSender::FileNewPrj);
        std::vector<std::string> added;
        for (const mdu& m : model_.MduList)
            if (!m.IsTop())
                added.push_back(m.InstName);
        bool first = true;
        for (const std::string& inst : added) {
            CheckAddedInstance(model_, page_, widths_, inst, first);
            first = false;
        }
        Rebuild();
        for (const auto& [inst, bounds] : manual)
            SetBoundsByHand(inst, bounds);
    }

    // The instance's value of the parameter set on the Instances page and applied: width
    // confirmation evaluates the widths again, and asks for the bounds given by hand.
    void SetValue(const std::string& inst, const std::string& parameter, const std::string& value,
                  const ManualBounds& manual = {}) {
        page_.ComboBox1DropDown();
        page_.ComboBox1Change(inst);
        int row = -1;
        for (std::size_t i = 0; i < page_.ListView2.size(); ++i)
            if (page_.ListView2[i].Name == parameter)
                row = static_cast<int>(i);
        ASSERT_GE(row, 0) << inst << "." << parameter;
        page_.FloatEditExit(row, ValueColumn, value, false);
        page_.ShowWidthDialog = [&] { return AnswerWidthDialog(manual); };
        page_.Btn3Click();
        Rebuild();
    }

    // A double click on a port whose width did not evaluate, and its bounds typed in the dialog.
    void SetBoundsByHand(const std::string& inst, const ManualBounds& manual) {
        page_.ShowWidthDialog = [&] { return AnswerWidthDialog(manual); };
        ASSERT_TRUE(page_.ConfirmWidths(inst)) << inst;
        Rebuild();
    }

    void Duplicate(const std::string& inst, const std::string& name) {
        const int at = model_.FindInstance(inst);
        ASSERT_GE(at, 0) << inst;
        DuplicateInstance(model_, model_.MduList[static_cast<std::size_t>(at)], name);
        Rebuild();
    }
    void DropInstance(const std::string& inst) {
        const int at = model_.FindInstance(inst);
        ASSERT_GE(at, 0) << inst;
        DeleteInstance(model_, model_.MduList[static_cast<std::size_t>(at)]);
        Rebuild();
    }
    // A new top port named by the rule, which stays the plain "%P" afterwards.
    void MapAs(const std::string& rule, const std::string& inst, const std::string& name) {
        model_.TopNameRule = rule;
        Map(inst, name);
        model_.TopNameRule = "%P";
    }
    void Open(const std::string& inst, const std::string& name) {
        ASSERT_TRUE(IsolatePort(model_, P(inst, name), false)) << inst << "." << name;
        Rebuild();
    }

    // A right click on the clicked top port with the given top ports selected, and a click on
    // the menu item.
    void Combine(const std::string& caption, const std::string& clicked,
                 const std::vector<std::string>& selected, const std::string& name) {
        dialogs_.BusName = name;
        dialogs_.InoutName = name;
        model_.SelList.clear();
        for (const std::string& s : selected)
            model_.SelList.push_back(model_.FindPortQuiet(model_.TopName, s));
        const port& p = P(model_.TopName, clicked);
        menu_.PopupMenu1Popup(p.X + model_.PrtWidth / 2, p.Y + model_.PrtHeight / 2, 600);
        for (const PopupItem& item : menu_.Items)
            if (item.Caption == caption) {
                menu_.PopupItemClick(&item);
                ASSERT_GE(model_.FindPortQuiet(model_.TopName, name), 0) << name;
                return;
            }
        ADD_FAILURE() << "no " << caption << " on " << clicked;
    }

    // The Verilog top read by iverilog, verilator (the rules of waived off) and yosys (every
    // wire on the same bits at both ends), and the Verilog fixture around it compiled and run.
    void ExpectVerilogToolsAccept(const fs::path& top, const std::vector<fs::path>& leaves,
                                  const std::string& waived = "") {
        const std::string name = model_.TopRecord()->Title;
        ExpectIverilogAccepts(top, leaves);
        ExpectVerilatorAccepts(scratch_, top, name, leaves, false, waived);
        const std::optional<Json> netlist = YosysJson(scratch_, top, name, leaves);
        if (netlist)
            ExpectNetlistMatchesTheWires(*netlist, model_);
        const std::optional<FixtureText> fixture = VerilogFixture(model_);
        ASSERT_TRUE(fixture);
        const fs::path tb = scratch_ / fixture->FileName;
        WriteBytes(tb.string(), platform::JoinLines(platform::SplitLines(fixture->Text)));
        const fs::path sim = scratch_ / "fixture.vvp";
        const CommandResult built =
            RunCommand("iverilog -g2005 -Wall -s tb_" + name + " -o " + ShellWord(sim) + " " +
                       ShellWord(tb) + " " + ShellWord(top) + Join(leaves));
        EXPECT_EQ(built.status, 0) << built.output;
        EXPECT_EQ(built.output.find("warning: Port"), std::string::npos) << built.output;
        const CommandResult ran = RunCommand("vvp -n " + ShellWord(sim));
        EXPECT_EQ(ran.status, 0) << ran.output;
        if (HasFailure())
            ADD_FAILURE() << ReadBytes(top.string());
    }

    // The VHDL top analysed and elaborated under each standard, and the VHDL fixture around it
    // elaborated and run; libraries are analysed first, each into its own.
    void ExpectVhdlToolsAccept(const fs::path& top, const std::vector<fs::path>& leaves,
                               const std::vector<std::string>& standards = kVhdlStandards,
                               const GhdlLibraries& libraries = {}) {
        const std::string name = model_.TopRecord()->Title;
        ExpectGhdlAccepts(scratch_ / "top", top, name, leaves, "work", standards, libraries);
        const std::optional<FixtureText> fixture = VhdlFixture(model_);
        ASSERT_TRUE(fixture);
        const fs::path tb = scratch_ / fixture->FileName;
        WriteBytes(tb.string(), platform::JoinLines(platform::SplitLines(fixture->Text)));
        std::vector<fs::path> files = leaves;
        files.push_back(top);
        files.push_back(tb);
        for (const std::string& standard : standards) {
            SCOPED_TRACE("fixture under --std=" + standard);
            const fs::path work = scratch_ / ("fixture" + standard);
            fs::create_directories(work);
            for (const auto& [library, file] : libraries)
                EXPECT_EQ(RunCommand("ghdl -a --std=" + standard + " --workdir=" + ShellWord(work) +
                                     " --work=" + library + " " + ShellWord(file))
                              .status,
                          0);
            ExpectGhdlElaborates(work, files, "tb_" + name, standard, "work", true);
        }
        if (HasFailure())
            ADD_FAILURE() << ReadBytes(top.string());
    }

    std::string GeneratedText(const fs::path& top) const { return ReadBytes(top.string()); }

private:
    bool AnswerWidthDialog(const ManualBounds& manual) {
        for (int r = 0; r < static_cast<int>(widths_.Rows.size()); ++r) {
            const auto it = manual.find(widths_.Rows[static_cast<std::size_t>(r)].Port);
            if (it == manual.end())
                continue;
            widths_.SetCell(r, SetMsbColumn, std::to_string(it->second.first));
            widths_.SetCell(r, SetLsbColumn, std::to_string(it->second.second));
        }
        return widths_.BitBtn1Click();
    }

protected:
    WidthConfirmation widths_{model_, prompt_};
    PropertiesPresenter page_{model_, prompt_, widths_};
    ViewState view_ = ViewState::Initial();
    CanvasHost host_;
    CanvasController canvas_{model_, view_, host_};
    AcceptingDialogs dialogs_;
    ContextMenu menu_{model_, view_, canvas_, host_, dialogs_, prompt_};
};

} // namespace zun::e2e
