// The module summary: the template cut into its pieces once, each instance's values put in
// one pass.
#include "editor/hdl/ModuleSummary.h"

#include "editor/model/Documents.h"
#include "editor/model/ProjectFile.h"
#include "editor/model/ProjectModel.h"
#include "platform/TextLines.h"

#include <array>
#include <string_view>

const char* const SummaryFileName = "summary.htm";

namespace {

// The template's placeholders, in the order of the values a section is given.
enum Tag : std::size_t { Module, Type, Top, File, TotB, TotIB, TotOB, Ports, Home, TagCount };
constexpr std::array<std::string_view, TagCount> TagNames = {"TEM_MODULE", "TEM_TYPE",  "TEM_TOP",
                                                             "TEM_FILE",   "TEM_TOTB",  "TEM_TOTIB",
                                                             "TEM_TOTOB",  "TEM_PORTS", "TEM_HOME"};
constexpr std::string_view SectionBegin = "TEM_INSTANCE_BEGIN";
constexpr std::string_view SectionEnd = "TEM_INSTANCE_END";

// A stretch of template text, then the tag after it (TagCount for none).
struct Piece {
    std::string Text;
    std::size_t Tag = TagCount;
};
using Pieces = std::vector<Piece>;

// The lines of text joined again with CR LF, each ended by one.
std::string CrLfLines(std::string_view text) {
    return platform::JoinLines(platform::SplitLines(text));
}

// Splits text at every tag; a tag name is never the start of another, so the first that
// matches is the one.
Pieces Cut(const std::string& text) {
    Pieces pieces(1);
    std::size_t at = 0;
    while (at < text.size()) {
        const std::size_t found = text.find("TEM_", at);
        if (found == std::string::npos)
            break;
        std::size_t tag = TagCount;
        for (std::size_t t = 0; t < TagCount; ++t)
            if (text.compare(found, TagNames[t].size(), TagNames[t]) == 0)
                tag = t;
        const std::size_t next = found + (tag == TagCount ? 4 : TagNames[tag].size());
        pieces.back().Text.append(text, at,
                                  next - at - (tag == TagCount ? 0 : TagNames[tag].size()));
        if (tag != TagCount) {
            pieces.back().Tag = tag;
            pieces.emplace_back();
        }
        at = next;
    }
    pieces.back().Text.append(text, at, std::string::npos);
    return pieces;
}

struct Template {
    Pieces Head;
    Pieces Section;
    Pieces Foot;
};

// The template's three parts, each line ended by CR LF; the marker lines are left out. A
// template without markers is one section.
const Template& TheTemplate() {
    static const Template parsed = [] {
        const std::string text = CrLfLines(SummaryTemplate);
        const std::size_t begin = text.find(SectionBegin);
        const std::size_t end = text.find(SectionEnd);
        Template t;
        if (begin == std::string::npos || end == std::string::npos || end < begin) {
            t.Section = Cut(text);
            return t;
        }
        const auto lineStart = [&](std::size_t at) {
            const std::size_t nl = text.rfind('\n', at);
            return nl == std::string::npos ? 0 : nl + 1;
        };
        const auto lineEnd = [&](std::size_t at) {
            const std::size_t nl = text.find('\n', at);
            return nl == std::string::npos ? text.size() : nl + 1;
        };
        t.Head = Cut(text.substr(0, lineStart(begin)));
        const std::size_t sectionStart = lineEnd(begin);
        t.Section = Cut(text.substr(sectionStart, lineStart(end) - sectionStart));
        t.Foot = Cut(text.substr(lineEnd(end)));
        return t;
    }();
    return parsed;
}

// What stands for the characters HTML gives a meaning.
void AppendEscaped(std::string& out, std::string_view text) {
    for (char c : text) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        default:
            out += c;
        }
    }
}

using Values = std::array<std::string, TagCount>;

// The pieces with the values put in; the ports' rows are HTML already, every other value is
// text.
void Fill(std::string& out, const Pieces& pieces, const Values& values) {
    for (const Piece& piece : pieces) {
        out += piece.Text;
        if (piece.Tag == Ports)
            out += values[Ports];
        else if (piece.Tag != TagCount)
            AppendEscaped(out, values[piece.Tag]);
    }
}

// A bit total: the sum of the widths that are known, and "+?" when a width is not a number.
struct Total {
    long long Bits = 0;
    bool Unknown = false;

    void Add(const port& p) {
        if (p.Numeric)
            Bits += static_cast<long long>(p.Span) + 1;
        else
            Unknown = true;
    }
    std::string Text() const { return std::to_string(Bits) + (Unknown ? "+?" : ""); }
};

Values PageValues() {
    Values v;
    v[Home] = HomePageAddress;
    return v;
}

} // namespace

void ModuleSummary::MakeModuleSummary(const mdu& instance, bool first) {
    if (first)
        sections_.clear();
    Values v;
    v[Module] = instance.InstName;
    v[Type] = instance.IsTop() ? "Top Module" : instance.ModuleName;
    v[Top] = model_.TopName;
    v[File] = instance.IsTop() ? "NA" : instance.SrcPath;
    v[Home] = HomePageAddress;
    Total all;
    Total inputs;
    Total outputs;
    if (instance.FirstPort >= 0 && instance.LastPort >= 0) {
        for (int k = instance.FirstPort; k <= instance.LastPort; ++k) {
            const port& p = model_.PortList[static_cast<std::size_t>(k)];
            std::string& rows = v[Ports];
            rows += "<tr><td width=\"51%\">";
            AppendEscaped(rows, p.Name);
            rows += "</td><td width=\"23%\">";
            AppendEscaped(rows, p.WidthText);
            rows += "&nbsp;</td><td width=\"26%\">";
            rows += p.Kind;
            rows += "</td></tr>\r\n";
            all.Add(p);
            if (p.Kind == 'I')
                inputs.Add(p);
            else if (p.Kind == 'O')
                outputs.Add(p);
        }
    }
    // The rows stand on a line of their own in the template, whose end follows the last row.
    if (!v[Ports].empty())
        v[Ports].resize(v[Ports].size() - 2);
    v[TotB] = all.Text();
    v[TotIB] = inputs.Text();
    v[TotOB] = outputs.Text();
    Fill(sections_, TheTemplate().Section, v);
}

std::string ModuleSummary::HtmlBuf() const {
    const Template& t = TheTemplate();
    const Values page = PageValues();
    std::string html;
    Fill(html, t.Head, page);
    html += sections_;
    Fill(html, t.Foot, page);
    return html;
}

std::vector<std::string> ModuleSummary::HtmlBufLines() const {
    return platform::SplitLines(HtmlBuf());
}

bool ShowModuleSummary(ProjectModel& model, EditorServices& services, int instance) {
    ModuleSummary summary(model);
    if (instance >= 0) {
        if (static_cast<std::size_t>(instance) >= model.MduList.size())
            return false;
        summary.MakeModuleSummary(model.MduList[static_cast<std::size_t>(instance)], true);
    } else {
        bool first = true;
        for (const mdu& m : model.MduList) {
            summary.MakeModuleSummary(m, first);
            first = false;
        }
    }
    const std::string path = model.WorkDir + SummaryFileName;
    if (!SaveTextFile(path, summary.HtmlBuf(), &model.Log)) {
        model.LogError("Can't write the file " + path + ".");
        return false;
    }
    return OpenWithDesktop(model, services, path);
}
