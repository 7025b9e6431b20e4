// SmartLink: rules of regular-expression patterns over instance and port names that propose
// wires from one port. A rule's source patterns must match the port's instance and port names;
// what they captured fills its destination templates, whose patterns select the target ports.
// Proposals are WIRE lines marked "S" in field 12, appended at the end of the lines: the engine
// never rebuilds and takes no undo snapshot, and dropping old proposals first is the caller's.
#pragma once

#include "editor/model/ProjectModel.h"

#include <memory>
#include <string>
#include <string_view>
#include <vector>

// Logged at validation, directly followed by the pattern.
extern const char* const UnrecognizedPattern; // "Unrecognized pattern:"
// Logged when a pattern matched more groups than the ten captures hold.
extern const char* const CapturesLimited; // "Limited to 9captured substrings"

// Offsets of the strings of one rule in SLRules.
inline constexpr int RuleOnce = 0;
inline constexpr int RuleMenuCaption = 1;
inline constexpr int RuleSrcInstance = 2;
inline constexpr int RuleSrcPort = 3;
inline constexpr int RuleDesInstance = 4;
inline constexpr int RuleDesPort = 5;
// The engine reads the strings up to RuleDesPort: a narrower rule list holds no rules.
inline constexpr int MinRuleWidth = RuleDesPort + 1;

// Captures kept of one match: the whole match and nine groups.
inline constexpr int MaxCaptures = 10;
// Longest destination pattern an expansion may make; a capture that holds capture tokens
// multiplies the text at each digit, and a longer pattern would only be refused or crawl.
inline constexpr std::size_t MaxExpandedPattern = 16 * 1024;

// The number of whole rules in SLRules; 0 while SLRuleWidth is below what the engine reads.
int SmartLinkRuleCount(const ProjectModel& model);

// One rule as the context menu offers it: the index of its first text in SLRules (what
// ApplySmartLinkRules takes) and its caption, text 1.
struct SmartLinkRuleItem {
    int Start = 0;
    std::string Caption;
    bool operator==(const SmartLinkRuleItem&) const = default;
};
std::vector<SmartLinkRuleItem> SmartLinkRuleItems(const ProjectModel& model);

class SmartLink {
public:
    explicit SmartLink(ProjectModel& model);
    ~SmartLink();
    SmartLink(const SmartLink&) = delete;
    SmartLink& operator=(const SmartLink&) = delete;

    // Runs the rules for the port at portIndex of PortList. kind is the pointer's hit kind: any
    // but 'P' answers false and leaves summary alone. ruleIndex -1 runs every rule in order and
    // sets summary; otherwise only the rule whose first string is at ruleIndex runs (an index
    // that starts no rule runs nothing). True when a target was found. A port is proposed once a
    // run: a rule that meets a port already proposed passes it over as unmatched.
    bool ApplySmartLinkRules(char kind, int portIndex, int ruleIndex, std::string& summary);

    // Compiles the source patterns of SLRules under the present case option, so that hovering
    // compiles none; Apply calls it. Rules or an option changed since are compiled again at the
    // next run.
    void CompileRules();

    // Whether the pattern compiles; when not, "Unrecognized pattern:" and the pattern are logged.
    bool ValidatePattern(std::string_view pattern);

    // Compiles the pattern and searches it anywhere in subject (an empty subject is searched as
    // well). With collect and a capture list, the whole match and the groups up to the last one
    // that took part are appended (an unset group as ""); more groups than ten keep the first ten
    // with a warning. A pattern that does not compile, or a search the library gives up, is no
    // match.
    bool RegexMatch(std::string_view subject, std::string_view pattern, bool collect,
                    std::vector<std::string>* captures);

    // The template with "%M" and a digit k replaced by MduCaptures[k] and "%P" and k by
    // PrtCaptures[k], for k from 0 to 9 in turn, on the text made so far; tokens without a
    // capture stay. False (text empty) when the text would grow beyond MaxExpandedPattern.
    bool ExpandCaptures(std::string_view pattern, std::string& text) const;

    // Scans the lines for targets of the source port: ports of instances other than the source's
    // whose instance name matches desInstance and whose name matches desPort, lone, not yet
    // proposed in this run, and accepted by CanConnect. Appends one suggestion line per target
    // after the scan and answers their number; lastTarget receives the PortList index of the last
    // one. With onlyOne the scan stops at the first target. A pattern that does not compile finds
    // nothing.
    int FindSmartLinkTargets(std::string_view desInstance, std::string_view desPort, bool onlyOne,
                             int sourcePort, int& lastTarget);

private:
    struct Compiled;
    struct Pattern;

    bool SourceMatches(int rule, const std::string& inst, const std::string& portName);
    // The PortList index of a port line of instance inst; -1 when it has no record.
    int PortOfLine(const ProjectLine& line, const std::string& inst) const;
    void EnsureCompiled();
    bool Collect(const Pattern& pattern, std::string_view subject, bool collect,
                 std::vector<std::string>* captures);

    ProjectModel& model_;
    std::unique_ptr<Compiled> compiled_;
    // Ports proposed in the present run, by PortList index.
    std::vector<char> proposed_;
    bool inRun_ = false;
};
