// The SmartLink rule engine: source patterns, capture expansion and the target scan.
#include "editor/canvas/SmartLink.h"

#include "editor/model/Nets.h"
#include "editor/model/TopLevel.h"
#include "regex/Regex.h"

#include <optional>

const char* const UnrecognizedPattern = "Unrecognized pattern:";
const char* const CapturesLimited = "Limited to 9captured substrings";

namespace {

const char* const kOnceYes = "Yes";
const char* const kSuggestionMark = "S";

// One pattern of a rule as the engine runs it: caseless unless the rules match case, bounded
// by a match limit, with match data of exactly ten pairs, so that a result of 0 tells of more
// groups than the captures hold.
std::optional<rx::Regex> CompilePattern(std::string_view pattern, bool caseSensitive) {
    std::uint32_t flags = rx::kRegexBounded;
    if (!caseSensitive)
        flags |= rx::kRegexCaseless;
    return rx::Regex::TryCompile(pattern, flags, MaxCaptures);
}

bool Found(const std::optional<rx::Regex>& re, std::string_view subject) {
    if (!re)
        return false;
    rx::RegexMatch match;
    return re->Exec(subject, match) >= 0;
}

// Every occurrence of token in text replaced by value, the search going on after what was put
// in; false as soon as the result would pass the cap.
bool ReplaceToken(std::string& text, const std::string& token, const std::string& value) {
    std::size_t at = text.find(token);
    if (at == std::string::npos)
        return true;
    std::string out;
    std::size_t copied = 0;
    for (; at != std::string::npos; at = text.find(token, copied)) {
        out.append(text, copied, at - copied);
        out.append(value);
        copied = at + token.size();
        if (out.size() > MaxExpandedPattern)
            return false;
    }
    out.append(text, copied, std::string::npos);
    if (out.size() > MaxExpandedPattern)
        return false;
    text = std::move(out);
    return true;
}

} // namespace

int SmartLinkRuleCount(const ProjectModel& model) {
    if (model.SLRuleWidth < MinRuleWidth)
        return 0;
    return static_cast<int>(model.SLRules.size() / static_cast<std::size_t>(model.SLRuleWidth));
}

std::vector<SmartLinkRuleItem> SmartLinkRuleItems(const ProjectModel& model) {
    std::vector<SmartLinkRuleItem> items;
    const int count = SmartLinkRuleCount(model);
    for (int rule = 0; rule < count; ++rule) {
        const int start = rule * model.SLRuleWidth;
        items.push_back({start, model.SLRules[static_cast<std::size_t>(start + RuleMenuCaption)]});
    }
    return items;
}

struct SmartLink::Pattern {
    std::optional<rx::Regex> re;
};

// The source patterns of the rules, compiled for the rule list and case option they were made
// from.
struct SmartLink::Compiled {
    std::vector<std::string> rules;
    int width = 0;
    bool caseSensitive = false;
    std::vector<Pattern> instance; // by rule number
    std::vector<Pattern> port;
};

SmartLink::SmartLink(ProjectModel& model) : model_(model) {}

SmartLink::~SmartLink() = default;

void SmartLink::CompileRules() {
    auto c = std::make_unique<Compiled>();
    c->rules = model_.SLRules;
    c->width = model_.SLRuleWidth;
    c->caseSensitive = model_.SLCaseSensitive;
    if (c->width >= MinRuleWidth) {
        const std::size_t width = static_cast<std::size_t>(c->width);
        for (std::size_t start = 0; start + width <= c->rules.size(); start += width) {
            c->instance.push_back(
                {CompilePattern(c->rules[start + RuleSrcInstance], c->caseSensitive)});
            c->port.push_back({CompilePattern(c->rules[start + RuleSrcPort], c->caseSensitive)});
        }
    }
    compiled_ = std::move(c);
}

void SmartLink::EnsureCompiled() {
    if (!compiled_ || compiled_->width != model_.SLRuleWidth ||
        compiled_->caseSensitive != model_.SLCaseSensitive || compiled_->rules != model_.SLRules)
        CompileRules();
}

bool SmartLink::ValidatePattern(std::string_view pattern) {
    if (CompilePattern(pattern, model_.SLCaseSensitive))
        return true;
    model_.LogError(std::string(UnrecognizedPattern) + std::string(pattern));
    return false;
}

bool SmartLink::Collect(const Pattern& pattern, std::string_view subject, bool collect,
                        std::vector<std::string>* captures) {
    if (!pattern.re)
        return false;
    rx::RegexMatch match;
    const int found = pattern.re->Exec(subject, match);
    if (found < 0)
        return false;
    if (!collect || captures == nullptr)
        return true;
    int count = found;
    if (found == 0) {
        count = MaxCaptures;
        model_.LogWarning(CapturesLimited);
    }
    for (int k = 0; k < count; ++k)
        captures->emplace_back(match.Group(subject, k));
    return true;
}

bool SmartLink::RegexMatch(std::string_view subject, std::string_view pattern, bool collect,
                           std::vector<std::string>* captures) {
    const Pattern compiled{CompilePattern(pattern, model_.SLCaseSensitive)};
    return Collect(compiled, subject, collect, captures);
}

bool SmartLink::ExpandCaptures(std::string_view pattern, std::string& text) const {
    text.assign(pattern);
    for (int k = 0; k < MaxCaptures; ++k) {
        const std::string digit(1, static_cast<char>('0' + k));
        if (static_cast<std::size_t>(k) < model_.MduCaptures.size() &&
            !ReplaceToken(text, "%M" + digit, model_.MduCaptures[k])) {
            text.clear();
            return false;
        }
        if (static_cast<std::size_t>(k) < model_.PrtCaptures.size() &&
            !ReplaceToken(text, "%P" + digit, model_.PrtCaptures[k])) {
            text.clear();
            return false;
        }
    }
    return true;
}

int SmartLink::PortOfLine(const ProjectLine& line, const std::string& inst) const {
    // The rebuild wrote the record's index into the line; a line whose record does not answer to
    // it is looked up by name.
    const std::optional<int> k = ParseDecimal(line[FieldIndex]);
    if (k && *k >= 0 && static_cast<std::size_t>(*k) < model_.PortList.size()) {
        const port& p = model_.PortList[static_cast<std::size_t>(*k)];
        if (p.Name == line[3] && p.OwnerName == inst)
            return *k;
    }
    return model_.FindPortQuiet(inst, line[3]);
}

bool SmartLink::SourceMatches(int rule, const std::string& inst, const std::string& portName) {
    const std::size_t r = static_cast<std::size_t>(rule);
    return Collect(compiled_->instance[r], inst, true, &model_.MduCaptures) &&
           Collect(compiled_->port[r], portName, true, &model_.PrtCaptures);
}

int SmartLink::FindSmartLinkTargets(std::string_view desInstance, std::string_view desPort,
                                    bool onlyOne, int sourcePort, int& lastTarget) {
    if (sourcePort < 0 || static_cast<std::size_t>(sourcePort) >= model_.PortList.size())
        return 0;
    const std::optional<rx::Regex> instRe = CompilePattern(desInstance, model_.SLCaseSensitive);
    const std::optional<rx::Regex> portRe = CompilePattern(desPort, model_.SLCaseSensitive);
    if (!instRe || !portRe)
        return 0;
    // A scan of its own is a run of its own; within ApplySmartLinkRules the run spans the rules.
    if (!inRun_ || proposed_.size() != model_.PortList.size())
        proposed_.assign(model_.PortList.size(), 0);
    const port source = model_.PortList[static_cast<std::size_t>(sourcePort)];

    // The source's driver is found once per scan and only when a port gets as far as the wire
    // rules; the index is the rebuild's while the lines are the ones it read.
    std::optional<NetIndex> scratch;
    const NetIndex* nets = nullptr;
    bool sourceDriven = false;
    std::vector<int> targets;
    std::string current;
    bool selected = false;
    for (const ProjectLine& line : model_.LineList) {
        const std::string& mark = line[FieldKind];
        if (mark == "W")
            break;
        if (mark == "M") {
            current = line[2];
            selected = current != source.OwnerName && Found(instRe, current);
            continue;
        }
        if (mark != "P" || !selected || !Found(portRe, line[3]))
            continue;
        const int k = PortOfLine(line, current);
        if (k < 0 || proposed_[static_cast<std::size_t>(k)])
            continue;
        const port& target = model_.PortList[static_cast<std::size_t>(k)];
        if (!target.Lone)
            continue;
        if (!nets) {
            nets = &NetsOf(model_, scratch);
            sourceDriven =
                HasDriver(*nets, model_.PortList[static_cast<std::size_t>(sourcePort)], true);
        }
        if (!CanConnect(*nets, source, target, sourceDriven))
            continue;
        proposed_[static_cast<std::size_t>(k)] = 1;
        targets.push_back(k);
        if (onlyOne)
            break;
    }
    nets = nullptr;
    scratch.reset();

    const std::string netName = "Wire_" + source.OwnerName + "_" + source.Name;
    for (int k : targets) {
        const port& target = model_.PortList[static_cast<std::size_t>(k)];
        ProjectLine line = MakeLine(
            {"WIRE", source.OwnerName, source.Name, target.OwnerName, target.Name, netName});
        line[FieldSuggestion] = kSuggestionMark;
        model_.InsertLine(-1, std::move(line));
        lastTarget = k;
    }
    return static_cast<int>(targets.size());
}

bool SmartLink::ApplySmartLinkRules(char kind, int portIndex, int ruleIndex, std::string& summary) {
    if (kind != 'P')
        return false;
    if (portIndex < 0 || static_cast<std::size_t>(portIndex) >= model_.PortList.size())
        return false;
    const int width = model_.SLRuleWidth;
    const bool allRules = ruleIndex == -1;
    const int ruleCount = SmartLinkRuleCount(model_);
    if (!allRules && (ruleIndex < 0 || ruleIndex % std::max(width, 1) != 0 ||
                      ruleIndex / std::max(width, 1) >= ruleCount))
        return false;
    EnsureCompiled();
    proposed_.assign(model_.PortList.size(), 0);
    // The run ends with this call, however it leaves.
    struct RunScope {
        bool& inRun;
        explicit RunScope(bool& flag) : inRun(flag) { inRun = true; }
        ~RunScope() { inRun = false; }
    } run(inRun_);

    const port& source = model_.PortList[static_cast<std::size_t>(portIndex)];
    const std::string inst = source.OwnerName;
    const std::string portName = source.Name;
    int total = 0;
    bool matched = false;
    std::string single;
    const int first = allRules ? 0 : ruleIndex / width;
    const int last = allRules ? ruleCount : first + 1;
    for (int rule = first; rule < last; ++rule) {
        const std::size_t start = static_cast<std::size_t>(rule) * static_cast<std::size_t>(width);
        const bool once = model_.SLRules[start + RuleOnce] == kOnceYes;
        model_.MduCaptures.clear();
        model_.PrtCaptures.clear();
        int n = 0;
        int target = -1;
        if (SourceMatches(rule, inst, portName)) {
            std::string desInstance;
            std::string desPort;
            if (ExpandCaptures(model_.SLRules[start + RuleDesInstance], desInstance) &&
                ExpandCaptures(model_.SLRules[start + RuleDesPort], desPort))
                n = FindSmartLinkTargets(desInstance, desPort, once || model_.SLFindOne, portIndex,
                                         target);
        }
        if (n <= 0)
            continue;
        matched = true;
        if (!allRules) {
            total = n;
            continue;
        }
        total += n;
        if (n == 1 && total == 1) {
            const port& t = model_.PortList[static_cast<std::size_t>(target)];
            single = "?->" + PortTypeWord(model_.Log, t.Kind, ' ', false) + ":" + t.Name + "(" +
                     t.OwnerName + ")";
        }
        if (model_.SLFindOne || model_.SLStopFirstRule)
            break;
    }
    if (allRules)
        summary = total == 1 ? single : std::to_string(total) + " Matched";
    return matched;
}
