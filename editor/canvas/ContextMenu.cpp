// The context menu's items and its dispatcher.
#include "editor/canvas/ContextMenu.h"

#include "editor/canvas/ContextEdits.h"
#include "editor/canvas/LonePorts.h"
#include "editor/canvas/SmartLink.h"
#include "editor/model/Documents.h"
#include "editor/model/Nets.h"
#include "editor/model/TopLevel.h"
#include "platform/TextFile.h"

#include <algorithm>

namespace {

bool ValidPort(const ProjectModel& model, int index) {
    return index >= 0 && static_cast<std::size_t>(index) < model.PortList.size();
}

bool ValidInstance(const ProjectModel& model, int index) {
    return index >= 0 && static_cast<std::size_t>(index) < model.MduList.size();
}

bool Selected(const ProjectModel& model, int index) {
    return std::find(model.SelList.begin(), model.SelList.end(), index) != model.SelList.end();
}

// The commands that change nothing: they take no undo snapshot, so the last edit stays undoable
// and the project unmodified.
bool ReadsOnly(int command) {
    switch (command) {
    case CmdSummary:
    case CmdViewSource:
    case CmdListInstance:
    case CmdOpenQemProject:
    case CmdNewModule:
    case CmdListPort:
        return true;
    default:
        return false;
    }
}

// The stored part of the lines (suggestions left out) is the same.
bool SameProject(const ProjectLines& a, const ProjectLines& b) {
    auto stored = [](const ProjectLine& line) { return line[FieldSuggestion] != "S"; };
    auto ia = a.begin();
    auto ib = b.begin();
    for (;;) {
        ia = std::find_if(ia, a.end(), stored);
        ib = std::find_if(ib, b.end(), stored);
        if (ia == a.end() || ib == b.end())
            return ia == a.end() && ib == b.end();
        if (!std::equal(ia->begin(), ia->begin() + 8, ib->begin()))
            return false;
        ++ia;
        ++ib;
    }
}

} // namespace

bool CanCombine(const ProjectModel& model) {
    const std::vector<int>& sel = model.SelList;
    if (sel.size() < 2 || !ValidPort(model, sel.front()))
        return false;
    const char kind = model.PortList[sel.front()].Kind;
    return std::all_of(sel.begin(), sel.end(), [&](int s) {
        if (!ValidPort(model, s))
            return false;
        const port& p = model.PortList[s];
        return IsTopPort(model, p) && !p.Combined && !p.Lone && p.Kind != 'B' && p.Kind == kind;
    });
}

std::optional<std::array<int, 3>> InoutRoles(const ProjectModel& model) {
    const std::vector<int>& sel = model.SelList;
    if (sel.size() != 3)
        return std::nullopt;
    int in = -1;
    int enable = -1;
    std::vector<int> outputs;
    for (int s : sel) {
        if (!ValidPort(model, s))
            return std::nullopt;
        const port& p = model.PortList[s];
        // All three must be top-level ports: the edit deletes top-level port lines by name.
        if (!IsTopPort(model, p) || p.Combined || p.Lone)
            return std::nullopt;
        if (p.Kind == 'I' && in < 0)
            in = s;
        else if (p.Kind == 'O')
            outputs.push_back(s);
        else
            return std::nullopt;
    }
    if (in < 0 || outputs.size() != 2)
        return std::nullopt;
    for (int s : outputs)
        if (enable < 0 && model.PortList[s].Span == 0)
            enable = s;
    if (enable < 0)
        return std::nullopt;
    const int out = outputs[0] == enable ? outputs[1] : outputs[0];
    if (model.PortList[in].Span != model.PortList[out].Span)
        return std::nullopt;
    return std::array<int, 3>{in, out, enable};
}

std::vector<PopupItem> BuildPopupItems(ProjectModel& model, const PopupContext& c) {
    std::vector<PopupItem> items;
    if (!c.WireEditDown)
        return items;
    auto add = [&](std::string caption, int command, bool multi = false, int rule = -1,
                   bool enabled = true) {
        PopupItem item;
        item.Caption = std::move(caption);
        item.Command = command;
        item.Multi = multi;
        item.Rule = rule;
        item.Tag = command + (multi ? MultiOffset : 0) + (rule >= 0 ? rule : 0);
        item.Enabled = enabled;
        items.push_back(std::move(item));
        return &items.back();
    };
    auto separator = [&] {
        items.emplace_back();
        items.back().Caption = "-";
    };

    if (c.HitKind == 'M' && ValidInstance(model, c.HitIdx)) {
        const bool top = model.MduList[c.HitIdx].IsTop();
        add("Isolate", CmdIsolateInstance);
        if (!top) {
            add("Update Module...", CmdUpdateModule, false, -1, c.UpdateAvailable);
            add("Open QEM Project...", CmdOpenQemProject);
            add("View Source...", CmdViewSource, false, -1, c.ViewSourceAvailable);
            add("Duplicate", CmdDuplicate);
            add("Delete", CmdDeleteInstance);
        } else {
            PopupItem* import = add("Import Top Port", CmdImportTopPort);
            for (const auto& [caption, action] :
                 {std::pair{"From HDL Source", "ImptTopPrt_HDL"},
                  std::pair{"From Custom Ports List", "ImptTopPrt_Cstm"}}) {
                PopupItem child;
                child.Caption = caption;
                child.Action = action;
                import->Children.push_back(std::move(child));
            }
        }
        add("Summary", CmdSummary, false, -1, c.SummaryAvailable);
        add("List Connections", CmdListInstance);
    } else if (c.HitKind == 'P' && ValidPort(model, c.HitIdx)) {
        const port& p = model.PortList[c.HitIdx];
        const bool multi = Selected(model, c.HitIdx) && model.SelList.size() > 1;
        if (IsTopPort(model, p)) {
            if (!p.Lone)
                add("Isolate", CmdIsolatePort, multi);
            add("Delete", CmdDeletePort, multi);
            add("List Connections", CmdListPort, multi);
            if (p.Kind != 'V' && p.Lone)
                add("Set to Variant", CmdSetToVariant, multi);
            if (!multi && p.Kind == 'B' && p.Combined) {
                bool wasOne = false;
                if (ToggleOutputEnable(model, p.Name, wasOne, false))
                    add(wasOne ? "OutEn from 0 to 1" : "OutEn from 1 to 0", CmdToggleOutEn);
                else
                    model.LogError("Internal error. Can not find assignment for " + p.Name + ".");
            }
            if (multi && CanCombine(model))
                add("Combine...", CmdCombine);
            if (multi && InoutRoles(model))
                add("Combine to inout...", CmdCombineToInout);
        } else {
            add("Map to top", CmdMapToTop, multi);
            if (!p.Lone) {
                add("Isolate", CmdIsolatePort, multi);
                add("Set as Main Port", CmdSetMainPort, multi);
            }
            add("List Connections", CmdListPort, multi);
            const std::vector<SmartLinkRuleItem> rules = SmartLinkRuleItems(model);
            if (!rules.empty())
                separator();
            if (rules.size() > 1) {
                add("Apply all rules", CmdApplyAllRules, multi, -1, c.RulesAvailable);
                separator();
            }
            for (const SmartLinkRuleItem& r : rules)
                add(r.Caption, CmdRule, multi, r.Start, c.RulesAvailable);
        }
    } else {
        if (c.MouseY > c.ClientHeight / 3)
            add("Here as max client height.", CmdMaxClientHeight);
        add("Add Module", CmdAddModule)->Action = "AddMdu";
        add("New Module", CmdNewModule);
    }
    return items;
}

ContextMenu::ContextMenu(ProjectModel& model, const ViewState& view, CanvasController& canvas,
                         CanvasHost& host, MenuDialogs& dialogs, Prompt& prompt)
    : FormComb(model, prompt), FormCinout(model, prompt), model_(model), view_(view),
      canvas_(canvas), host_(host), dialogs_(dialogs), prompt_(prompt) {
    FormComb.FormCreate();
}

const std::vector<PopupItem>& ContextMenu::PopupMenu1Popup(int x, int y, int clientHeight) {
    Items.clear();
    if (view_.EditMode != 'W')
        return Items;
    int index = 0;
    PopupHitKind = canvas_.HitTest(x, y, index);
    PopupHitIdx = index;
    PopupMouseY = y;
    PopupContext c;
    c.HitKind = PopupHitKind;
    c.HitIdx = PopupHitIdx;
    c.MouseY = y;
    c.ClientHeight = clientHeight;
    c.WireEditDown = true;
    c.SummaryAvailable = bool(Hooks.MakeModuleSummary);
    c.UpdateAvailable = bool(Hooks.UpdateModuleDefinition);
    c.ViewSourceAvailable = bool(host_.ShowSourceFile);
    c.RulesAvailable = bool(Hooks.ApplySmartLinkRules);
    Items = BuildPopupItems(model_, c);
    return Items;
}

void ContextMenu::PopupItemClick(const PopupItem* item) {
    if (!item || item->IsSeparator() || !item->Action.empty() || !item->Children.empty() ||
        !item->Enabled || item->Command < 0)
        return;
    if (Hooks.Busy)
        Hooks.Busy(true);
    const bool readOnly = ReadsOnly(item->Command);
    // The snapshot is the project before the command, kept only when the command changed it: a
    // cancelled dialog or a refused edit leaves the last edit undoable and the project as it was.
    ProjectLines before;
    if (!readOnly)
        before = model_.LineList;
    linesAtRebuild_ = model_.LineList.size();
    const Outcome outcome = Run(*item);
    if (outcome != Outcome::EndedEarly) {
        if (outcome == Outcome::Cleared) {
            canvas_.ClearSelection();
            model_.ClearMarks();
        }
        if (host_.Rebuild)
            host_.Rebuild();
        else
            RebuildRecords();
    }
    if (!readOnly && !SameProject(before, model_.LineList))
        model_.CopyLineList(&before, model_.UndoList);
    if (Hooks.Busy)
        Hooks.Busy(false);
}

ContextMenu::Outcome ContextMenu::Run(const PopupItem& item) {
    if (item.Command == CmdMaxClientHeight) {
        // The range the project reader keeps for the column wrap height. The height is saved
        // with the project, so a new one leaves it modified, though no line changed.
        const int height = std::clamp(PopupMouseY, 300, 32760);
        if (height != model_.MaxViewHeight) {
            model_.MaxViewHeight = height;
            model_.Modified = true;
        }
        return Outcome::Kept;
    }
    if (item.Command == CmdNewModule) {
        StartModuleEditor({});
        return Outcome::Kept;
    }
    if (item.Command < CmdMaxClientHeight)
        return PopupHitKind == 'M' && ValidInstance(model_, PopupHitIdx)
                   ? RunInstanceCommand(item.Command)
                   : Outcome::EndedEarly;
    if (PopupHitKind != 'P' || !ValidPort(model_, PopupHitIdx))
        return Outcome::EndedEarly;
    return item.Multi ? RunSelectionCommand(item) : RunPortCommand(item);
}

void ContextMenu::RebuildRecords() {
    model_.UpdatePicExecute(RebuildSender::MainWindow);
    linesAtRebuild_ = model_.LineList.size();
}

void ContextMenu::RebuildIfLineCountChanged() {
    if (model_.LineList.size() != linesAtRebuild_)
        RebuildRecords();
}

const port* ContextMenu::Find(const NetEnd& end) const {
    const int k = model_.FindPortQuiet(end.Inst, end.Port);
    return k < 0 ? nullptr : &model_.PortList[k];
}

std::vector<NetEnd> ContextMenu::Selected() const {
    std::vector<NetEnd> ends;
    for (int s : model_.SelList)
        if (ValidPort(model_, s))
            ends.push_back({model_.PortList[s].OwnerName, model_.PortList[s].Name});
    return ends;
}

void ContextMenu::StartModuleEditor(const std::vector<std::string>& arguments) {
    const std::string& program = model_.AppMisc.NewModuleProgram;
    if (!platform::FileExists(program)) {
        model_.LogError("Cannot find " + program + ". You can download Module Editor from " +
                        HomePageAddress + " and install it to " + model_.AppDir + ".");
        return;
    }
    std::vector<std::string> argv{program};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    if (host_.services && host_.services->Spawn) {
        const IoStatus started = host_.services->Spawn(argv);
        if (!started)
            model_.LogError(started.message);
    }
}

ContextMenu::Outcome ContextMenu::RunInstanceCommand(int command) {
    const mdu instance = model_.MduList[PopupHitIdx];
    switch (command) {
    case CmdIsolateInstance:
    case CmdDeleteInstance: {
        std::vector<NetEnd> ports;
        for (int i = instance.FirstPort; instance.FirstPort >= 0 && i <= instance.LastPort; ++i)
            ports.push_back({instance.InstName, model_.PortList[i].Name});
        bool kept = false;
        for (const NetEnd& end : ports) {
            RebuildIfLineCountChanged();
            if (const port* p = Find(end))
                kept = !IsolatePort(model_, port(*p), false) || kept;
        }
        // An instance whose port kept a wire to a combined bus stays, or the wire would end on
        // nothing.
        if (command == CmdDeleteInstance && !kept) {
            RebuildIfLineCountChanged();
            const int k = model_.FindInstance(instance.InstName);
            if (k >= 0)
                DeleteInstance(model_, model_.MduList[k]);
        }
        return Outcome::Cleared;
    }
    case CmdDuplicate:
        return instance.IsTop() ? Outcome::EndedEarly : Duplicate(instance);
    case CmdSummary:
        if (Hooks.MakeModuleSummary)
            Hooks.MakeModuleSummary(instance.InstName);
        return Outcome::Kept;
    case CmdViewSource:
        if (host_.ShowSourceFile)
            host_.ShowSourceFile(instance.SrcPath);
        return Outcome::Kept;
    case CmdUpdateModule:
        if (Hooks.UpdateModuleDefinition)
            Hooks.UpdateModuleDefinition(instance.InstName);
        return Outcome::Cleared;
    case CmdListInstance:
        ListConnections(model_, ListInstance, &instance, nullptr);
        return Outcome::Kept;
    case CmdOpenQemProject:
        StartModuleEditor({"-openprj", instance.SrcPath});
        return Outcome::Kept;
    default:
        return Outcome::EndedEarly;
    }
}

ContextMenu::Outcome ContextMenu::Duplicate(const mdu& instance) {
    if (const std::optional<std::string> name =
            SuggestInstanceName(model_, instance.InstName, instance.ModuleName))
        FormDupName.LabeledEdit1 = *name;
    for (;;) {
        if (!dialogs_.ShowDupName(FormDupName))
            return Outcome::EndedEarly;
        const std::string name = NormalizeBlanks(FormDupName.LabeledEdit1, false);
        if (!name.empty() && model_.FindInstance(name) == -1 && IsLegalIdent(name)) {
            DuplicateInstance(model_, instance, name);
            return Outcome::Cleared;
        }
        prompt_.Message("Illegal instance name.");
    }
}

ContextMenu::Outcome ContextMenu::RunPortCommand(const PopupItem& item) {
    const port p = model_.PortList[PopupHitIdx];
    switch (item.Command) {
    case CmdMapToTop:
        MapPortToTop(model_, p, model_.FirstMduLine, "", true);
        return Outcome::Cleared;
    case CmdIsolatePort:
        IsolatePort(model_, p, false);
        return Outcome::Cleared;
    case CmdDeletePort:
        IsolatePort(model_, p, true);
        return Outcome::Cleared;
    case CmdCombine:
        return Combine(p);
    case CmdCombineToInout:
        return CombineToInout();
    case CmdSetToVariant:
        model_.SetPortLineFields(p.OwnerName, p.Name, "P", 0, "KVAR", 1, "", 2, "");
        return Outcome::Cleared;
    case CmdToggleOutEn: {
        bool wasOne = false;
        if (!ToggleOutputEnable(model_, p.Name, wasOne, true))
            model_.LogError("Internal error. Inout modification failed.");
        return Outcome::Cleared;
    }
    case CmdSetMainPort:
        SetMainPort(model_, p);
        return Outcome::Cleared;
    case CmdApplyAllRules:
    case CmdRule:
        ApplyRules({{p.OwnerName, p.Name}}, RulesOf(item));
        return Outcome::Kept;
    case CmdListPort:
        ListConnections(model_, ListPort, nullptr, &p);
        return Outcome::Kept;
    default:
        return Outcome::EndedEarly;
    }
}

ContextMenu::Outcome ContextMenu::RunSelectionCommand(const PopupItem& item) {
    const std::vector<NetEnd> selected = Selected();
    switch (item.Command) {
    case CmdMapToTop: {
        model_.LogAction("Map selected ports to top level.");
        int mapped = 0;
        for (const NetEnd& end : selected) {
            const port* p = Find(end);
            if (!p)
                continue;
            if (IsTopPort(model_, *p)) {
                model_.LogWarning("Can not map a top port. A top level port found.");
                continue;
            }
            if (MapPortToTop(model_, port(*p), model_.FirstMduLine, "", true)) {
                ++mapped;
                RebuildRecords();
            }
        }
        model_.LogAction("Done. " + std::to_string(mapped) + " port(s) mapped.");
        canvas_.ClearSelection();
        return Outcome::Cleared;
    }
    case CmdIsolatePort:
    case CmdDeletePort:
        for (const NetEnd& end : selected) {
            RebuildIfLineCountChanged();
            const port* p = Find(end);
            // Delete is a command of top-level ports: a selected module port keeps its line.
            if (p && (item.Command == CmdIsolatePort || IsTopPort(model_, *p)))
                IsolatePort(model_, port(*p), item.Command == CmdDeletePort);
        }
        return Outcome::Cleared;
    case CmdSetToVariant:
        for (const NetEnd& end : selected)
            if (const port* p = Find(end); p && IsTopPort(model_, *p) && p->Kind != 'V' && p->Lone)
                model_.SetPortLineFields(p->OwnerName, p->Name, "P", 0, "KVAR", 1, "", 2, "");
        return Outcome::Cleared;
    case CmdSetMainPort:
        for (const NetEnd& end : selected)
            if (const port* p = Find(end); p && SetMainPort(model_, port(*p)))
                RebuildRecords();
        return Outcome::Cleared;
    case CmdApplyAllRules:
    case CmdRule:
        ApplyRules(selected, RulesOf(item));
        return Outcome::Kept;
    case CmdListPort:
        ListConnections(model_, ListSelection, nullptr, nullptr);
        return Outcome::Kept;
    default:
        return Outcome::EndedEarly;
    }
}

std::vector<int> ContextMenu::RulesOf(const PopupItem& item) const {
    if (item.Command == CmdRule)
        return {item.Rule};
    std::vector<int> rules;
    for (const SmartLinkRuleItem& r : SmartLinkRuleItems(model_))
        rules.push_back(r.Start);
    return rules;
}

void ContextMenu::ApplyRules(const std::vector<NetEnd>& ports, const std::vector<int>& rules) {
    if (!Hooks.ApplySmartLinkRules)
        return;
    // Proposals left by the last hover are not the rule's: they go before the first run.
    DropSuggestionLines(model_);
    RebuildRecords();
    for (int rule : rules) {
        for (const NetEnd& end : ports) {
            const int k = model_.FindPortQuiet(end.Inst, end.Port);
            std::string summary;
            if (k < 0 || !Hooks.ApplySmartLinkRules(k, rule, summary))
                continue;
            RebuildRecords();
            AcceptSuggestions(model_);
            RebuildRecords();
        }
    }
}

ContextMenu::Outcome ContextMenu::Combine(const port& clicked) {
    if (clicked.Kind != 'I' && clicked.Kind != 'O') {
        model_.LogError("Wrong port type.");
        return Outcome::EndedEarly;
    }
    std::vector<port> ports;
    for (int s : model_.SelList)
        if (ValidPort(model_, s))
            ports.push_back(model_.PortList[s]);
    FormComb.Fill(clicked.Kind == 'I' ? "bus_in" : "bus_out", ports);
    if (!dialogs_.ShowComb(FormComb))
        return Outcome::Cleared;
    CombinePorts(model_, clicked.Kind, FormComb.BusName(), FormComb.Msb, FormComb.Lsb,
                 FormComb.Rows);
    return Outcome::Cleared;
}

ContextMenu::Outcome ContextMenu::CombineToInout() {
    const std::optional<std::array<int, 3>> roles = InoutRoles(model_);
    if (!roles)
        return Outcome::EndedEarly;
    FormCinout.Prepare((*roles)[0], (*roles)[1], (*roles)[2]);
    if (!dialogs_.ShowCinout(FormCinout))
        return Outcome::Cleared;
    const std::string io = FormCinout.InoutName();
    std::array<std::string, 3> wires;
    for (int i = 0; i < 3; ++i) {
        wires[i] = FreeWireNameExcept(model_, i + 1, io);
        if (wires[i].empty()) {
            model_.LogError("No wire for inout.");
            return Outcome::EndedEarly;
        }
    }
    const CapturedPort in = CapturePort(model_, model_.PortList[FormCinout.InPrtIdx]);
    const CapturedPort out = CapturePort(model_, model_.PortList[FormCinout.OutPrtIdx]);
    const CapturedPort enable = CapturePort(model_, model_.PortList[FormCinout.EnPrtIdx]);
    ::CombineToInout(model_, in, out, enable, io, FormCinout.EnCondition, wires);
    return Outcome::Cleared;
}
