// The bounded random driver over the editor's own files: mutated project files open (or are
// refused with a message), save and open again to the same text; mutated settings files load and
// save to the same text. Nothing crashes or hangs on the way. Seeds that once failed are run on
// every build from the tables of fixed cases.
#include "editor/model/Documents.h"
#include "editor/model/ProjectFile.h"
#include "editor/model/Scramble.h"
#include "editor/model/Settings.h"
#include "platform/AsciiCase.h"
#include "platform/IniFile.h"
#include "platform/TextLines.h"

#include "ModelText.h"
#include "support/DriverRounds.h"
#include "support/FileFixtures.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <iostream>
#include <string>
#include <vector>

namespace {

// A mutated file may give any message and ask any question: the messages are taken, every
// question is answered No and every chooser cancelled, as a user who lets nothing happen would.
class AnyPrompt : public Prompt {
public:
    void Message(const std::string& text, const std::string&, MessageKind) override {
        messages.push_back(text);
    }
    bool YesNo(const std::string&, const std::string&) override { return false; }
    PromptAnswer YesNoCancel(const std::string&, const std::string&) override {
        return PromptAnswer::Cancel;
    }
    std::optional<std::string> OpenFile(const FileChooser&) override { return std::nullopt; }
    std::vector<std::string> OpenFiles(const FileChooser&) override { return {}; }
    std::optional<std::string> SaveFile(const FileChooser&) override { return std::nullopt; }

    std::vector<std::string> messages;
};

struct Sandbox {
    TempDir dir;
    AnyPrompt prompt;
    EditorServices services;
    std::vector<std::string> shellOpened;

    Sandbox() {
        services.prompt = &prompt;
        services.ShellOpen = [this](const std::string& target) {
            shellOpened.push_back(target);
            return IoStatus::Ok();
        };
        services.Spawn = [](const std::vector<std::string>&) { return IoStatus::Ok(); };
        services.Today = [] { return std::int64_t{46366}; };
        services.OpenSettingsDialog = [] {};
        services.ShowMainWindow = [](bool) {};
    }

    void Prepare(ProjectModel& model) const {
        model.AppDir = dir.Dir();
        model.WorkDir = dir.Dir();
    }
};

bool Logged(const ProjectModel& model, const std::string& line) {
    const std::vector<std::string>& lines = model.Log.Lines();
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

// The lines in which two texts differ, a few of them, for the failure message.
std::string LineDifferences(const std::string& a, const std::string& b) {
    const std::vector<std::string> x = platform::SplitLines(a);
    const std::vector<std::string> y = platform::SplitLines(b);
    std::string out = std::to_string(x.size()) + " lines, then " + std::to_string(y.size()) + "\n";
    int shown = 0;
    for (std::size_t i = 0; i < std::max(x.size(), y.size()) && shown < 6; ++i) {
        const std::string l = i < x.size() ? x[i] : "<none>";
        const std::string r = i < y.size() ? y[i] : "<none>";
        if (l == r)
            continue;
        ++shown;
        out += "line " + std::to_string(i) + ":\n  " + l.substr(0, 200) + "\n  " +
               r.substr(0, 200) + "\n";
    }
    return out;
}

std::string PlainContent(const std::string& path) {
    std::string text = ReadBytes(path);
    ProjectScramble(text);
    return text;
}

// Words of the project text, so that mutations make lines the parser and the rebuild take
// seriously.
const std::vector<std::string> kProjectTokens = {
    "TOP",  "MODULE", "PARAMETER", "INPUT",      "OUTPUT",      "OUTPUT_B", "BIDIR", "KVAR",
    "WIRE", "ASSIGN", "Version:",  "HS",         "ES",          "FS",       "LS",    "QS",
    "#",    "\t",     "\r\n",      "\n",         "\r",          "\t\t",     "NA",    "Y",
    "S",    "-1",     "0",         "2147483648", "-2147483649", "99999",    "W-1",   "%M",
    "%P",   "u1",     "clk",       "top",        "\tK\t"};

// The starting inputs: the example project, a project made by the editor's own writer and a
// bare project text as the engine gives it.
std::vector<std::string> ProjectStarts() {
    std::vector<std::string> starts;
    starts.push_back(PlainContent(std::string(ZUN_TEST_DATA) + "/../../examples/demo/demo.zun"));
    ProjectModel made;
    made.LineList = LinesFromText(SmallProject);
    made.LineList.push_back(MakeLine({"ASSIGN", " dout = q"}));
    made.LineList.push_back(MakeLine({"#INPUT", "3", "", "bad"}));
    made.LineList.push_back(MakeLine({"MODULE", "pwm", "u3", "pwm.v", "verilog", "Y"}));
    made.LineList.push_back(MakeLine({"KVAR", "NA", "NA", "v", "", "W-1", "0"}));
    made.LineList.push_back(MakeLine({"BIDIR", "", "", "io", "Y"}));
    made.LineList.push_back(MakeLine({"WIRE", "u3", "v", "top", "clk", "clk"}));
    made.PrjOpen = true;
    made.UpdatePicExecute(RebuildSender::MainWindow);
    starts.push_back(BuildProjectText(made));
    starts.push_back("Version:\tZUN2012\t1.0\nTOP\t\ttop\nINPUT\t\t\tclk\nMODULE\tcounter\tu_"
                     "counter_0\tcounter.v\tverilog\nPARAMETER\t\t\tWIDTH\t8\t\tK\nINPUT\t\t\tclk\n"
                     "OUTPUT\tNA\tNA\tcount\t\tWIDTH-1\t0\n");
    return starts;
}

// One round of the project driver.
RoundOutcome ProjectRound(std::uint64_t seed, const std::vector<std::string>& starts) {
    Mutator mutator(seed, kProjectTokens);
    Random& rng = mutator.Rng();
    const std::string& start = starts[rng.Below(starts.size())];
    std::string bytes;
    if (rng.OneIn(8)) {
        // Damage to the stored bytes: the whole key stream shifts and the text reads as noise.
        bytes = start;
        ProjectScramble(bytes);
        bytes = mutator.Mutate(bytes, 2);
    } else {
        bytes = mutator.Mutate(start, 6);
        ProjectScramble(bytes);
    }
    Sandbox box;
    const std::string path = box.dir.Path("mutated.zun");
    WriteBytes(path, bytes);

    ProjectModel first;
    box.Prepare(first);
    if (!OpenProjectFile(first, box.services, path))
        return {"a file that is there was not read"};
    if (!first.PrjOpen) {
        // Refused: the reason is in the log and in a message box, and nothing stays open.
        if (!Logged(first, "Error: Illegal project.") || box.prompt.messages.empty())
            return {"a refused file was not told as refused"};
        if (!first.LineList.empty())
            return {"a refused file left project lines"};
        return {};
    }
    const std::string saved = box.dir.Path("saved.zun");
    if (!FileSaveAs1Accept(first, saved).Saved)
        return {"the opened project could not be saved"};

    ProjectModel second;
    box.Prepare(second);
    if (!OpenProjectFile(second, box.services, saved) || !second.PrjOpen)
        return {"the saved project did not open"};
    const std::string again = box.dir.Path("again.zun");
    if (!FileSaveAs1Accept(second, again).Saved)
        return {"the reopened project could not be saved"};
    const std::string once = PlainContent(saved);
    const std::string twice = PlainContent(again);
    if (once != twice) {
        std::string opened = bytes;
        ProjectScramble(opened);
        return {"open, save, open changed the text: " + LineDifferences(once, twice) +
                "the mutated file's text begins:\n" + opened.substr(0, 2000)};
    }
    if (second.PortList.size() != first.PortList.size() ||
        second.MduList.size() != first.MduList.size() ||
        second.WireList.size() != first.WireList.size())
        return {"the reopened project has other records"};
    return {{}, true};
}

// Seeds that once failed, with the fault each found.
const FixedSeed kProjectFixedSeeds[] = {
    {4294967385u, "a line \"C\" read as a font line moved after the settings lines at a save"},
    {4294969605u, "a parameter line after the ports of a module was taken for one of an empty "
                  "module once the duplicate port after it had been dropped"},
};

constexpr std::uint64_t kProjectDriver = 1;

} // namespace

TEST(RandomProjectFiles, SeedsThatOnceFailedStillOpenSaveAndOpenToTheSameText) {
    const std::vector<std::string> starts = ProjectStarts();
    RunFixedSeeds(kProjectFixedSeeds,
                  [&](std::uint64_t seed) { return ProjectRound(seed, starts); });
}

TEST(RandomProjectFiles, MutatedProjectFilesOpenSaveAndOpenToTheSameText) {
    const std::vector<std::string> starts = ProjectStarts();
    const std::size_t rounds = RandomRounds(100);
    const std::size_t opened = RunDriverRounds(
        kProjectDriver, rounds, [&](std::uint64_t seed) { return ProjectRound(seed, starts); });
    // A driver whose inputs are all refused tests the refusal only.
    std::cout << opened << " of " << rounds << " mutated projects opened\n";
    EXPECT_GT(opened, rounds / 2);
}

namespace {

std::string IniKey(const std::string& line) {
    const std::size_t eq = line.find('=');
    if (eq == std::string::npos)
        return {};
    const std::size_t b = line.find_first_not_of(" \t");
    const std::size_t e = line.find_last_not_of(" \t", eq == 0 ? 0 : eq - 1);
    if (b == std::string::npos || b >= eq || e == std::string::npos || e < b)
        return {};
    return line.substr(b, e - b + 1);
}

// The work directory is tried by writing a file into it: a mutated one could name any folder
// of the machine, so it is taken out and the default (the sandbox) is used.
std::string WithoutWorkDirectory(const std::string& text) {
    std::string out;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find_first_of("\r\n", start);
        const std::size_t next = end == std::string::npos ? text.size() : end + 1;
        const std::string line =
            text.substr(start, (end == std::string::npos ? text.size() : end) - start);
        if (!platform::SameIgnoringAsciiCase(IniKey(line), "E16"))
            out += text.substr(start, next - start);
        start = next;
    }
    return out;
}

const std::vector<std::string> kSettingsTokens = {"[QVsetting]", "[FA]",
                                                  "[FH]",        "=",
                                                  "\n",          "\r\n",
                                                  ";",           "E01=",
                                                  "E18=",        "E26=",
                                                  "E27=",        "E28=",
                                                  "F4=",         "F2=",
                                                  "0x",          "$",
                                                  "-",           "%D",
                                                  "%M",          "%P",
                                                  "^",           "$",
                                                  "2147483647",  "-2147483648",
                                                  "0xFFFFFFFF",  "RecnetProject1=",
                                                  "Recnet=",     "GenBox="};

std::vector<std::string> SettingsStarts() {
    std::vector<std::string> starts;
    for (int variant = 0; variant < 2; ++variant) {
        Sandbox box;
        ProjectModel m;
        box.Prepare(m);
        m.IniPath = box.dir.Path("zun2012.ini");
        WriteBytes(m.IniPath, "");
        if (variant == 1) {
            m.MduFont = {0, "DejaVu Sans", -2147483640, 11, true, false, true, false};
            m.InstNameRule = "i_%M_%D";
            m.ReplaceFrom = {"^a", "b$", ""};
            m.ReplaceWith = {"x", "y", ""};
            m.AssignOpenOut = 'Z';
            m.RecentList = {"/p/a.zun", "/p/b.zun"};
            m.AppMisc.Recnet = 46000;
            m.AppMisc.GenBox = 7;
        }
        SaveSettings(m, box.services, 'S');
        SaveSettings(m, box.services, 'R');
        starts.push_back(ReadBytes(m.IniPath));
    }
    return starts;
}

// Loads the file at path into a fresh model and saves it in both modes: the file's text after.
std::string LoadAndSave(Sandbox& box, const std::string& path, bool& saved) {
    ProjectModel m;
    box.Prepare(m);
    m.IniPath = path;
    LoadSettings(m, box.services);
    saved = SaveSettings(m, box.services, 'S') && SaveSettings(m, box.services, 'R');
    return ReadBytes(path);
}

RoundOutcome SettingsRound(std::uint64_t seed, const std::vector<std::string>& starts) {
    Mutator mutator(seed, kSettingsTokens);
    const std::string& start = starts[mutator.Rng().Below(starts.size())];
    Sandbox box;
    const std::string path = box.dir.Path("zun2012.ini");
    WriteBytes(path, WithoutWorkDirectory(mutator.Mutate(start, 6)));
    bool saved = false;
    const std::string once = LoadAndSave(box, path, saved);
    if (!saved)
        return {"the loaded settings could not be saved"};
    const std::string twice = LoadAndSave(box, path, saved);
    if (!saved)
        return {"the reloaded settings could not be saved"};
    if (once != twice)
        return {"load, save, load changed the file: " + LineDifferences(once, twice)};
    return {{}, true};
}

const FixedSeed kSettingsFixedSeeds[] = {
    {8589937382u,
     "a face name cut at the longest value read ended in a blank, written but not read "
     "back"},
};

constexpr std::uint64_t kSettingsDriver = 2;

} // namespace

TEST(RandomSettingsFiles, SeedsThatOnceFailedStillLoadAndSaveToTheSameText) {
    const std::vector<std::string> starts = SettingsStarts();
    RunFixedSeeds(kSettingsFixedSeeds,
                  [&](std::uint64_t seed) { return SettingsRound(seed, starts); });
}

TEST(RandomSettingsFiles, MutatedSettingsFilesLoadAndSaveToTheSameText) {
    const std::vector<std::string> starts = SettingsStarts();
    // Every round saves four times, each save flushed to the disk: fewer rounds than the others.
    RunDriverRounds(kSettingsDriver, RandomRounds(40),
                    [&](std::uint64_t seed) { return SettingsRound(seed, starts); });
}
