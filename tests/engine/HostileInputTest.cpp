// Hostile and unusual input through the built qve, each run under a time limit: bodies of any
// size, failures with digits of their own, pipes and devices, includes, macros over several
// sources, bounded instance counts and included text.
#include "EngineFixture.h"
#include "QveProgram.h"

#include "engine/Preprocessor.h"
#include "engine/ProjectText.h"

#include <sys/stat.h>

namespace qve {
namespace {

using namespace std::chrono_literals;
using testing::QveRun;

// The text with CR LF made LF, and every "$D" made the scratch folder.
std::string Lf(const std::string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i)
        if (!(text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n'))
            out.push_back(text[i]);
    return out;
}

struct ListCase {
    const char* name;
    std::vector<std::pair<std::string, std::string>> files; // under the case's folder
    std::vector<std::string> sources;                       // scanned in this order, kind 0
    // The module list, "$D" for the case's folder.
    std::string expected;
};

class HostileInput : public testing::EngineFixture {
protected:
    // One run of the real engine; whatever the job, it ends in time, writes nothing on standard
    // output, and leaves its output exactly when it exits with 0.
    QveRun Qve(const std::vector<std::string>& arguments, std::chrono::milliseconds limit = 2min,
               long memoryLimit = 0) {
        std::filesystem::remove(PathOf("out.tmp"));
        QveRun run = testing::RunQve(arguments, dir_.string(), limit, 0, memoryLimit);
        EXPECT_FALSE(run.timedOut) << "qve ran past its time limit";
        EXPECT_EQ(run.standardOutput, "");
        EXPECT_EQ(run.exitStatus == 0, Output().has_value()) << run.standardError;
        if (run.exitStatus == 0) {
            EXPECT_EQ(run.standardError, "");
        }
        return run;
    }

    // The module list of a scan (pairs of path and kind), LF line ends; nothing on a failure.
    std::optional<std::string> ScanList(const std::vector<std::string>& pairs,
                                        std::chrono::milliseconds limit = 2min) {
        std::vector<std::string> arguments = {"0x1898a5" + PathOf("out.tmp")};
        arguments.insert(arguments.end(), pairs.begin(), pairs.end());
        QveRun run = Qve(arguments, limit);
        if (run.exitStatus != 0)
            return std::nullopt;
        return Lf(*Output());
    }

    // The project text for a request, LF line ends; nothing on a failure.
    std::optional<std::string> ProjectTextOf(const std::string& request,
                                             std::chrono::milliseconds limit = 2min) {
        std::string cfg = Write("cfg.tmp", request);
        QveRun run = Qve({"0x1898b5" + PathOf("out.tmp"), "", cfg}, limit);
        if (run.exitStatus != 0)
            return std::nullopt;
        return Lf(*Output());
    }

    // The request the wizard writes for every module of a list, one instance each: its "D-"
    // lines where the defined names change, then "F" and "M-" lines.
    static std::string RequestFromList(const std::string& list) {
        std::string request = "R-%M\r\n";
        std::string path, kind, defined, written;
        std::size_t start = 0;
        while (start < list.size()) {
            std::size_t end = list.find('\n', start);
            std::string line = list.substr(start, end - start);
            start = end == std::string::npos ? list.size() : end + 1;
            if (line.starts_with("D-")) {
                defined = line.substr(2);
            } else if (line.starts_with("F0-") || line.starts_with("F1-")) {
                kind = line.substr(1, 1);
                path = line.substr(3);
            } else if (line.starts_with("M-")) {
                if (kind == "0" && defined != written) {
                    request += "D-" + defined + "\r\n";
                    written = defined;
                }
                request += "F" + kind + "-" + path + "\r\n" + line + "\t1\r\n";
            }
        }
        return request;
    }

    // The case's files written under the folder, its sources scanned, the list checked; the list.
    std::optional<std::string> ScanOfCase(const ListCase& c, const TempDir& folder) {
        std::vector<std::string> pairs;
        for (const auto& [name, text] : c.files) {
            std::filesystem::create_directories(
                std::filesystem::path(folder.Path(name)).parent_path());
            WriteBytes(folder.Path(name), text);
        }
        for (const std::string& source : c.sources) {
            pairs.push_back(folder.Path(source));
            pairs.push_back("0");
        }
        std::optional<std::string> list = ScanList(pairs);
        std::string expected = c.expected;
        for (std::size_t at; (at = expected.find("$D")) != std::string::npos;)
            expected.replace(at, 2, folder.Root());
        EXPECT_EQ(list, std::optional<std::string>(expected));
        return list;
    }

    std::string Fifo(const std::string& name) {
        std::string path = PathOf(name);
        EXPECT_EQ(::mkfifo(path.c_str(), 0600), 0);
        return path;
    }

    std::string Expand(std::string text) const {
        for (std::size_t at; (at = text.find("$D")) != std::string::npos;)
            text.replace(at, 2, dir_.string());
        return text;
    }
};

struct LargeSource {
    const char* name;
    std::function<std::string()> text;
    const char* kind;
    // The modules the scan lists, and for each a port line its project text holds.
    std::vector<std::pair<std::string, std::string>> modules;
    // The port lines of the whole project text.
    std::size_t ports;
};

// One declaration of `count` names, "a0, a1, ...".
std::string Names(std::size_t count) {
    std::string text;
    for (std::size_t i = 0; i < count; ++i)
        text += (i ? ", a" : "a") + std::to_string(i);
    return text;
}

// A body of about `bytes` bytes, the line repeated.
std::string Repeated(const std::string& line, std::size_t bytes) {
    std::string text;
    text.reserve(bytes + line.size());
    while (text.size() < bytes)
        text += line;
    return text;
}

// Regression: every definition was matched whole, and so was every declaration, and a body
// (or one declaration) of more than some megabytes made the pattern library give up, which
// failed the scan and the project text.
const LargeSource kLargeSources[] = {
    {"a Verilog module of 20 MB of assign lines, then a small one",
     [] {
         return "module big(input a, output y);\n" +
                Repeated("  assign w = a & b | c ^ d;\n", 20u << 20) +
                "endmodule\nmodule small(input c); endmodule\n";
     },
     "0",
     {{"big", "INPUT\t\t\ta\t\t\t"}, {"small", "INPUT\t\t\tc\t\t\t"}},
     3},
    {"a function of 12 MB inside a module",
     [] {
         return "module f(input a, output q);\nfunction g; input x;\n" +
                Repeated("  g = x + 1;\n", 12u << 20) +
                "endfunction\nendmodule\nmodule small(input c); endmodule\n";
     },
     "0",
     {{"f", "OUTPUT\t\t\tq\t\t\t"}, {"small", "INPUT\t\t\tc\t\t\t"}},
     3},
    {"one Verilog declaration of 800000 names, 7 MB",
     [] { return "module wide(input " + Names(800000) + ");\nendmodule\n"; },
     "0",
     {{"wide", "INPUT\t\t\ta799999\t\t\t"}},
     800000},
    {"a VHDL entity with 12 MB of passive statements, then a small one",
     [] {
         return "entity big is port (a : in std_logic); begin\n" +
                Repeated("  assert true report \"x\";\n", 12u << 20) +
                "end entity big;\nentity small is port (c : out std_logic); end small;\n";
     },
     "1",
     {{"big", "INPUT\t\t\ta\t\t\t"}, {"small", "OUTPUT\t\t\tc\t\t\t"}},
     2},
    {"one VHDL declaration of 600000 names, 5 MB",
     [] { return "entity wide is port (" + Names(600000) + " : in std_logic); end;\n"; },
     "1",
     {{"wide", "INPUT\t\t\ta599999\t\t\t"}},
     600000},
};

class LargeDefinitions : public HostileInput, public ::testing::WithParamInterface<LargeSource> {};

// One test per source, so each has a time of its own where the sanitizers slow the engine.
TEST_P(LargeDefinitions, AreListedAndRead) {
    const LargeSource& source = GetParam();
    std::string path =
        Write(std::string("large.") + (source.kind[0] == '1' ? "vhd" : "v"), source.text());
    std::optional<std::string> list = ScanList({path, source.kind});
    ASSERT_TRUE(list.has_value());
    std::string expected, request = "R-%M\r\n";
    for (const auto& [module, port] : source.modules) {
        expected += "F" + std::string(source.kind) + "-" + path + "\nM-" + module + "\n";
        request += "F" + std::string(source.kind) + "-" + path + "\r\nM-" + module + "\t1\r\n";
    }
    EXPECT_EQ(*list, expected);
    std::optional<std::string> text = ProjectTextOf(request);
    ASSERT_TRUE(text.has_value());
    for (const auto& [module, port] : source.modules) {
        std::size_t block = text->find("MODULE\t" + module + "\t");
        ASSERT_NE(block, std::string::npos) << module;
        EXPECT_NE(text->find(port + "\n", block), std::string::npos) << module;
    }
    std::size_t ports = 0;
    for (std::size_t at = 0; (at = text->find("PUT\t", at)) != std::string::npos; ++at)
        ++ports;
    EXPECT_EQ(ports, source.ports);
    std::filesystem::remove(path);
}

void PrintTo(const LargeSource& source, std::ostream* os) {
    *os << source.name;
}

INSTANTIATE_TEST_SUITE_P(OfAnySize, LargeDefinitions, ::testing::ValuesIn(kLargeSources),
                         [](const ::testing::TestParamInfo<LargeSource>& param) {
                             std::string name;
                             for (const char* p = param.param.name; *p; ++p)
                                 name += std::isalnum(static_cast<unsigned char>(*p)) ? *p : '_';
                             return name;
                         });

TEST_F(HostileInput, EntitiesThatNeverCloseAreSkippedInOnePass) {
    // Regression: each unclosed entity searched the rest of the text for its end, so 3.7 MB of
    // them took over a minute; ten megabytes would take many.
    std::string path =
        Write("open.vhd", Repeated("entity e is port (a : in std_logic);\n", 10u << 20) +
                              "entity last is port (b : in std_logic); end last;\n");
    std::optional<std::string> list = ScanList({path, "1"});
    ASSERT_TRUE(list.has_value());
    EXPECT_EQ(*list, "F1-" + path + "\nM-last\n");
    std::optional<std::string> text = ProjectTextOf("R-%M\r\nF1-" + path + "\r\nM-last\t1\r\n");
    ASSERT_TRUE(text.has_value());
    EXPECT_EQ(*text, "MODULE\tlast\tlast\t" + path + "\tvhdl\nINPUT\t\t\tb\t\t\t\n");
}

TEST_F(HostileInput, LongNamesAreListedAndRead) {
    // Regression: a module name of some 46000 bytes, listed by the scan, failed the project text
    // with "4".
    const struct {
        std::string name;
        const char* kind;
        const char* language;
        std::string source;
    } cases[] = {
        {"m" + std::string(46000, 'x'), "0", "verilog", " (input a); endmodule\n"},
        {"\\" + std::string(46000, '.'), "0", "verilog", " (input a); endmodule\n"},
        {"e" + std::string(46000, 'x'), "1", "vhdl", " is port (a : in std_logic); end;\n"},
        {"\\" + std::string(46000, 'v') + "\\", "1", "vhdl",
         " is port (a : in std_logic); end entity;\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name.substr(0, 2));
        std::string path = Write(c.kind[0] == '1' ? "long.vhd" : "long.v",
                                 (c.kind[0] == '1' ? "entity " : "module ") + c.name + c.source);
        std::optional<std::string> list = ScanList({path, c.kind});
        ASSERT_TRUE(list.has_value());
        EXPECT_EQ(*list, "F" + std::string(c.kind) + "-" + path + "\nM-" + c.name + "\n");
        std::optional<std::string> text = ProjectTextOf("R-u\r\nF" + std::string(c.kind) + "-" +
                                                        path + "\r\nM-" + c.name + "\t1\r\n");
        ASSERT_TRUE(text.has_value());
        EXPECT_EQ(*text, "MODULE\t" + c.name + "\tu\t" + path + "\t" + c.language +
                             "\nINPUT\t\t\ta\t\t\t\n");
    }
}

struct FailureCase {
    const char* name;
    // "$O" the output path, "$S" a good source, "$R" a request written from `request`, "$C" a
    // good connection file, "$K" a good skeleton, "$F" a FIFO, "$D" the scratch folder.
    std::vector<std::string> arguments;
    std::string request;
    const char* digit;
};

TEST_F(HostileInput, EachFailureInsideAJobEndsWithItsOwnDigitAndNoOutput) {
    const std::string ok = "R-u\r\nF0-$S\r\nM-m\t1\r\n";
    const FailureCase cases[] = {
        {"a missing source", {"0x1898a5$O", "$D/gone.v", "0"}, "", "2\n"},
        {"a folder as a source", {"0x1898a5$O", "$D", "0"}, "", "2\n"},
        {"a device as a source", {"0x1898a5$O", "/dev/zero", "2"}, "", "2\n"},
        {"a FIFO as a source", {"0x1898a5$O", "$S", "0", "$F", "1"}, "", "2\n"},
        {"a FIFO as the request", {"0x1898b5$O", "top", "$F"}, "", "2\n"},
        {"a folder as the request", {"0x1898b5$O", "top", "$D"}, "", "2\n"},
        {"a device as the request", {"0x1898b5$O", "", "/dev/zero"}, "", "2\n"},
        {"a folder as a module's source",
         {"0x1898b5$O", "", "$R"},
         "R-u\r\nF0-$D\r\nM-m\t1\r\n",
         "2\n"},
        {"a device as a module's source",
         {"0x1898b5$O", "", "$R"},
         "R-u\r\nF1-/dev/zero\r\nM-m\t1\r\n",
         "2\n"},
        {"a FIFO as a module's source",
         {"0x1898b5$O", "", "$R"},
         "R-u\r\nF0-$F\r\nM-m\t1\r\n",
         "2\n"},
        {"a FIFO as the connection file", {"0x1898c5$O", "$F", "$K"}, "", "2\n"},
        {"a FIFO as the skeleton", {"0x1898d5$O", "$C", "$F"}, "", "2\n"},
        {"a folder as the connection file", {"0x1898d5$O", "$D", "$K"}, "", "2\n"},
        {"a device as the skeleton", {"0x1898c5$O", "$C", "/dev/zero"}, "", "2\n"},
        {"two arguments", {"0x1898b5$O", "$R"}, ok, "3\n"},
        {"an output in a missing folder", {"0x1898b5$D/none/out.tmp", "", "$R"}, ok, "4\n"},
        {"a count that overflows",
         {"0x1898b5$O", "", "$R"},
         "R-u\r\nF0-$S\r\nM-m\t99999999999999999999\r\n",
         "7\n"},
        {"a count of ten million",
         {"0x1898b5$O", "", "$R"},
         "R-u\r\nF0-$S\r\nM-m\t10000000\r\n",
         "7\n"},
        {"a count one past the bound",
         {"0x1898b5$O", "", "$R"},
         "R-u\r\nF0-$S\r\nM-m\t" + std::to_string(kMaxInstanceCount + 1) + "\r\n",
         "7\n"},
        {"a count that is no number",
         {"0x1898b5$O", "", "$R"},
         "R-u\r\nF0-$S\r\nM-m\tmany\r\n",
         "7\n"},
        {"a negative count", {"0x1898b5$O", "", "$R"}, "R-u\r\nF0-$S\r\nM-m\t-1\r\n", "7\n"},
        {"a count with a sign", {"0x1898b5$O", "", "$R"}, "R-u\r\nF0-$S\r\nM-m\t+3\r\n", "7\n"},
        {"an empty count", {"0x1898b5$O", "", "$R"}, "R-u\r\nF0-$S\r\nM-m\t\r\n", "7\n"},
        {"a module line without a count",
         {"0x1898b5$O", "", "$R"},
         "R-u\r\nF0-$S\r\nM-m\r\n",
         "7\n"},
        {"a bad count after a good one leaves no part of the output",
         {"0x1898b5$O", "", "$R"},
         ok + "M-m\t1.5\r\n",
         "7\n"},
        {"a width that fits no integer", {"0x1898c5$O", "$D/wide.tmp", "$K"}, "", "8\n"},
    };
    std::string source = Write("m.v", "module m(input a); endmodule\n");
    std::string connection = Write("prj.tmp", "MODULE\tm\tu1\r\nOUTPUT\t3\t0\tq\r\n");
    std::string skeleton = Write("obj.tmp", "module top;\r\nm u1(\r\n.q(__)\r\n);\r\n");
    Write("wide.tmp", "MODULE\tm\tu1\r\nOUTPUT\t99999999999\t0\tq\r\nWIRE\tu1\tq\ttop\tq\tq\r\n");
    std::string fifo = Fifo("pipe");
    for (const FailureCase& c : cases) {
        SCOPED_TRACE(c.name);
        std::string request = c.request;
        for (std::size_t at; (at = request.find("$S")) != std::string::npos;)
            request.replace(at, 2, source);
        for (std::size_t at; (at = request.find("$F")) != std::string::npos;)
            request.replace(at, 2, fifo);
        std::string cfg = Write("cfg.tmp", request);
        std::vector<std::string> arguments;
        for (std::string a : c.arguments) {
            for (auto [key, value] : {std::pair<std::string, std::string>{"$O", PathOf("out.tmp")},
                                      {"$S", source},
                                      {"$R", cfg},
                                      {"$C", connection},
                                      {"$K", skeleton},
                                      {"$F", fifo}})
                for (std::size_t at; (at = a.find(key)) != std::string::npos;)
                    a.replace(at, 2, value);
            arguments.push_back(Expand(a));
        }
        // A pipe must be refused at once, not waited on: a short limit tells a hang.
        QveRun run = Qve(arguments, 30s);
        EXPECT_EQ(run.standardError, c.digit);
        EXPECT_NE(run.exitStatus, 0);
        EXPECT_FALSE(std::filesystem::exists(PathOf("none")));
    }
}

TEST_F(HostileInput, AJobThatRunsOutOfMemoryEndsWithItsOwnDigitAndNoOutput) {
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
    GTEST_SKIP() << "the sanitizer's own reservations leave no room for a memory limit";
#else
    // Regression: memory that ran out failed the job with "4", which says only that the output
    // could not be written. Instances of a module of many ports, within the count's bound, make
    // a project text of some hundreds of megabytes, far beyond the limit; a few of them fit in it.
    std::string source = Write("m.v", "module m(input " + Names(300) + "); endmodule\n");
    const long memoryLimit = 192l << 20;
    const struct {
        int count;
        const char* standardError;
    } cases[] = {{100, ""}, {kMaxInstanceCount, "6\n"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.count);
        std::string cfg = Write("cfg.tmp", "R-u%D\r\nF0-" + source + "\r\nM-m\t" +
                                               std::to_string(c.count) + "\r\n");
        QveRun run = Qve({"0x1898b5" + PathOf("out.tmp"), "", cfg}, 2min, memoryLimit);
        EXPECT_EQ(run.standardError, c.standardError);
    }
#endif
}

TEST_F(HostileInput, CountsUpToTheBoundAreMadeInFull) {
    std::string source = Write("m.v", "module m(input a); endmodule\n");
    std::optional<std::string> text = ProjectTextOf("R-u%D\r\nF0-" + source + "\r\nM-m\t" +
                                                    std::to_string(kMaxInstanceCount) + "\r\n");
    ASSERT_TRUE(text.has_value());
    std::size_t blocks = 0;
    for (std::size_t at = 0; (at = text->find("MODULE\t", at)) != std::string::npos; ++at)
        ++blocks;
    EXPECT_EQ(blocks, static_cast<std::size_t>(kMaxInstanceCount));
    EXPECT_NE(text->find("\tu" + std::to_string(kMaxInstanceCount - 1) + "\t"), std::string::npos);
}

TEST_F(HostileInput, AModuleIsListedOnceUnderTheFileWhoseTextHoldsIt) {
    // Regression: a file that included itself listed its module 101 times, and a module reached
    // through an include was listed under the including file, so picking both files of a folder
    // listed it twice.
    const ListCase cases[] = {
        {"a file that includes itself",
         {{"self.v", "`include \"self.v\"\nmodule m; endmodule\n"}},
         {"self.v"},
         "F0-$D/self.v\nM-m\n"},
        {"the parent, then the child it includes",
         {{"parent.v", "`include \"child.v\"\nmodule parent; child c(); endmodule\n"},
          {"child.v", "module child; endmodule\n"}},
         {"parent.v", "child.v"},
         "F0-$D/child.v\nM-child\nF0-$D/parent.v\nM-parent\n"},
        {"the child, then the parent that includes it",
         {{"parent.v", "`include \"child.v\"\nmodule parent; endmodule\n"},
          {"child.v", "module child; endmodule\n"}},
         {"child.v", "parent.v"},
         "F0-$D/child.v\nM-child\nF0-$D/parent.v\nM-parent\n"},
        {"one header included twice by one file and once by another",
         {{"a.v", "`include \"inc/h.vh\"\n`include \"inc/h.vh\"\nmodule a; endmodule\n"},
          {"b.v", "`include \"inc/./h.vh\"\nmodule b; endmodule\n"},
          {"inc/h.vh", "module h; endmodule\n"}},
         {"a.v", "b.v"},
         "F0-$D/inc/h.vh\nM-h\nF0-$D/a.v\nM-a\nF0-$D/b.v\nM-b\n"},
        {"a header found through a folder above",
         {{"sub/top.v", "`include \"../inc/h.vh\"\nmodule top; endmodule\n"},
          {"inc/h.vh", "module h; endmodule\n"}},
         {"sub/top.v"},
         "F0-$D/inc/h.vh\nM-h\nF0-$D/sub/top.v\nM-top\n"},
        {"one name defined twice in one file is still listed twice",
         {{"twice.v", "module t; endmodule\nmodule t; endmodule\n"}},
         {"twice.v", "twice.v"},
         "F0-$D/twice.v\nM-t\nF0-$D/twice.v\nM-t\n"},
        {"a source that holds a NUL byte is named and lists nothing",
         {{"bin.v", std::string("module m; endmodule\n\0", 21)}, {"ok.v", "module k; endmodule\n"}},
         {"bin.v", "ok.v"},
         "F0-$D/ok.v\nM-k\nB-$D/bin.v\n"},
    };
    for (const ListCase& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir folder;
        std::optional<std::string> list = ScanOfCase(c, folder);
        ASSERT_TRUE(list.has_value());
        // Every module listed is read from the path the list gives it.
        std::optional<std::string> text = ProjectTextOf(RequestFromList(*list));
        ASSERT_TRUE(text.has_value());
        std::size_t listed = 0, read = 0;
        for (std::size_t at = 0; (at = list->find("\nM-", at)) != std::string::npos; ++at)
            ++listed;
        listed += list->starts_with("M-") ? 1 : 0;
        for (std::size_t at = 0; (at = text->find("MODULE\t", at)) != std::string::npos; ++at)
            ++read;
        EXPECT_EQ(read, listed);
    }
}

TEST_F(HostileInput, MacrosOfEarlierSourcesHoldForLaterOnesAndDroppedModulesAreNamed) {
    // Regression: every source began with nothing defined, so a module in `ifdef USE_FEATURE was
    // dropped without a word although another source defined the name.
    const ListCase cases[] = {
        {"a header of defines before the module",
         {{"defs.vh", "`define USE_FEATURE\n"},
          {"feature.v", "`ifdef USE_FEATURE\nmodule feature; endmodule\n`endif\n"}},
         {"defs.vh", "feature.v"},
         "D-USE_FEATURE\nF0-$D/feature.v\nM-feature\n"},
        {"the module alone is dropped and named with its macro",
         {{"feature.v", "`ifdef USE_FEATURE\nmodule feature; endmodule\n`endif\n"}},
         {"feature.v"},
         "C0-feature\t$D/feature.v\tUSE_FEATURE\n"},
        {"a define that comes after the module is too late",
         {{"defs.vh", "`define USE_FEATURE\n"},
          {"feature.v", "`ifdef USE_FEATURE\nmodule feature; endmodule\n`endif\n"}},
         {"feature.v", "defs.vh"},
         "C0-feature\t$D/feature.v\tUSE_FEATURE\n"},
        {"an ifndef whose name an earlier source defines",
         {{"defs.vh", "`define NO_SLOW\n"},
          {"slow.v", "`ifndef NO_SLOW\nmodule slow; endmodule\n`endif\nmodule fast; endmodule\n"}},
         {"defs.vh", "slow.v"},
         "D-NO_SLOW\nF0-$D/slow.v\nM-fast\nC1-slow\t$D/slow.v\tNO_SLOW\n"},
        {"the else branch of a taken ifdef names the macro that took it",
         {{"e.v",
           "`define A\n`ifdef A\nmodule a; endmodule\n`else\nmodule b; endmodule\n`endif\n"}},
         {"e.v"},
         "F0-$D/e.v\nM-a\nC1-b\t$D/e.v\tA\n"},
        {"a module whose other branch is listed is not called dropped",
         {{"m.v", "`ifdef FAST\nmodule m(input f); endmodule\n`else\nmodule m(input s); "
                  "endmodule\n`endif\n"}},
         {"m.v"},
         "F0-$D/m.v\nM-m\n"},
        {"an undef in a later source ends the name",
         {{"a.vh", "`define X\n"},
          {"b.vh", "`undef X\n"},
          {"x.v", "`ifdef X\nmodule x; endmodule\n`endif\nmodule y; endmodule\n"}},
         {"a.vh", "b.vh", "x.v"},
         "F0-$D/x.v\nM-y\nC0-x\t$D/x.v\tX\n"},
        {"a module nested in a dropped branch names the outer macro",
         {{"n.v", "`ifdef OUTER\n`ifdef INNER\nmodule n; endmodule\n`endif\n`endif\n"}},
         {"n.v"},
         "C0-n\t$D/n.v\tOUTER\n"},
    };
    for (const ListCase& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir folder;
        ScanOfCase(c, folder);
    }
}

TEST_F(HostileInput, ADefineOfAnAutoOrVhdlNeighbourCarriesOnAndVhdlStaysOutOfIt) {
    TempDir folder;
    WriteBytes(folder.Path("defs.inc"), "`define WIDE\n");
    WriteBytes(folder.Path("e.vhd"), "entity e is port (a : in std_logic); end;\n");
    WriteBytes(folder.Path("m.v"), "`ifdef WIDE\nmodule m; endmodule\n`endif\n");
    // An auto file with neither modules nor entities is a header of defines; a VHDL file between
    // them changes nothing.
    std::optional<std::string> list = ScanList(
        {folder.Path("defs.inc"), "2", folder.Path("e.vhd"), "1", folder.Path("m.v"), "0"});
    ASSERT_TRUE(list.has_value());
    EXPECT_EQ(*list, Expand("F1-" + folder.Path("e.vhd") + "\nM-e\nD-WIDE\nF0-" +
                            folder.Path("m.v") + "\nM-m\n"));
}

TEST_F(HostileInput, PortsAreReadWithTheMacrosTheScanSaw) {
    // Regression: the project text read every source with nothing defined, so a port behind a
    // name that another source defined was lost between the scan and the project.
    TempDir folder;
    WriteBytes(folder.Path("defs.vh"), "`define WIDE\n`define W 32\n");
    WriteBytes(folder.Path("m.v"), "module m (input a\n`ifdef WIDE\n  , input [`W-1:0] w\n"
                                   "`endif\n);\nendmodule\n");
    std::optional<std::string> list =
        ScanList({folder.Path("defs.vh"), "0", folder.Path("m.v"), "0"});
    ASSERT_TRUE(list.has_value());
    EXPECT_EQ(*list, "D-W WIDE\nF0-" + folder.Path("m.v") + "\nM-m\n");
    const std::string block =
        "MODULE\tm\tm\t" + folder.Path("m.v") + "\tverilog\nINPUT\t\t\ta\t\t\t\n";
    std::optional<std::string> text = ProjectTextOf(RequestFromList(*list));
    ASSERT_TRUE(text.has_value());
    EXPECT_EQ(*text, block + "INPUT\tNA\t0\tw\t\t`W-1\t0\n");
    // A request of the older form, without the names, reads the source alone.
    text = ProjectTextOf("R-%M\r\nF0-" + folder.Path("m.v") + "\r\nM-m\t1\r\n");
    ASSERT_TRUE(text.has_value());
    EXPECT_EQ(*text, block);
}

TEST_F(HostileInput, IncludedTextIntoOneSourceStopsAtItsBoundAndTheListSaysSo) {
    // Regression: a small file that pulled in large headers many times built all of their text,
    // some hundreds of megabytes for a few megabytes of files.
    TempDir folder;
    const std::size_t header = kMaxIncludedBytes / 80;
    WriteBytes(folder.Path("big.vh"), Repeated("wire [7:0] filler_signal_name;\n", header));
    std::string many;
    for (int i = 0; i < kMaxIncludesOfOneFile; ++i)
        many += "`include \"big.vh\"\n";
    WriteBytes(folder.Path("top.v"), many + "module top(input a); endmodule\n");
    WriteBytes(folder.Path("few.v"), "`include \"big.vh\"\nmodule few(input b); endmodule\n");
    std::optional<std::string> list =
        ScanList({folder.Path("top.v"), "0", folder.Path("few.v"), "0"});
    ASSERT_TRUE(list.has_value());
    EXPECT_EQ(*list, "F0-" + folder.Path("top.v") + "\nM-top\nF0-" + folder.Path("few.v") +
                         "\nM-few\nL-" + folder.Path("top.v") + "\t" +
                         std::to_string(kMaxIncludedBytes) + "\n");
    std::optional<std::string> text = ProjectTextOf(RequestFromList(*list));
    ASSERT_TRUE(text.has_value());
    EXPECT_NE(text->find("INPUT\t\t\ta\t\t\t\n"), std::string::npos);
    EXPECT_NE(text->find("INPUT\t\t\tb\t\t\t\n"), std::string::npos);
}

} // namespace
} // namespace qve
