// CheckDesign.
#include "editor/hdl/DesignCheck.h"

#include "editor/hdl/NetFacts.h"
#include "editor/hdl/TopCommon.h"
#include "editor/hdl/VhdlEntitySource.h"
#include "editor/model/ProjectModel.h"

#include <string>
#include <unordered_map>

namespace {

// The tools refuse a top that declares one name twice: an instance and a top port share the
// module's names in both languages, and in VHDL an instance and a component too, letter case
// ignored; two instances apart by letter case only are one label there.
bool InstanceNamesAreFree(ProjectModel& model, char language) {
    const bool vhdl = language == CheckVhdl;
    auto key = [vhdl](const std::string& name) { return vhdl ? VhdlClauseKey(name) : name; };
    std::unordered_map<std::string, std::string> named; // by key: what has the name
    if (const mdu* top = FindTopModule(model); top && HasPorts(*top))
        for (int k = top->FirstPort; k <= top->LastPort; ++k) {
            const std::string& name = model.PortList[static_cast<std::size_t>(k)].Name;
            named.try_emplace(key(name), "top level port " + name);
        }
    if (vhdl)
        for (const mdu& m : model.MduList)
            if (!m.IsTop())
                named.try_emplace(key(m.ModuleName), "module " + m.ModuleName);
    bool ok = true;
    for (const mdu& m : model.MduList) {
        if (m.IsTop())
            continue;
        const auto [at, isNew] = named.try_emplace(key(m.InstName), "instance " + m.InstName);
        if (isNew)
            continue;
        model.LogError("The instance name " + m.InstName + " is also the name of the " +
                       at->second + ".");
        ok = false;
    }
    return ok;
}

} // namespace

bool CheckDesign(ProjectModel& model, char language) {
    bool ok = true;
    int unconnected = 0;
    NetFacts facts(model);
    for (const port& p : model.PortList) {
        if (!p.Numeric) {
            model.LogError("The width of port " + p.Name + "(" + p.OwnerName +
                           ") has undefined parameter.");
            ok = false;
        }
        if (p.Lone) {
            ++unconnected;
            continue;
        }
        if (!facts.HasDriver(p, true))
            model.LogWarning("The internal input port " + p.Name + " (" + p.OwnerName +
                             ") does not have a driver.");
    }
    if (ok && language == CheckVhdl) {
        for (const mdu& m : model.MduList)
            for (std::size_t k = ParamVhdlType; k < m.Params.size(); k += ParamTexts)
                if (NormalizeBlanks(m.Params[k], false).empty()) {
                    model.LogError("No valid VHDL type found in GENERIC " +
                                   m.Params[k - ParamVhdlType + ParamName] + " (" + m.InstName +
                                   ").");
                    ok = false;
                }
    }
    if (!InstanceNamesAreFree(model, language))
        ok = false;
    if (unconnected == 1)
        model.LogWarning("Found 1 port without connection.");
    else if (unconnected > 1)
        model.LogWarning("Found " + std::to_string(unconnected) + " ports without connection.");
    return ok;
}
