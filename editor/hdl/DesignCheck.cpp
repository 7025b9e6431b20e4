// CheckDesign.
#include "editor/hdl/DesignCheck.h"

#include "editor/hdl/NetFacts.h"
#include "editor/model/ProjectModel.h"

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
    if (unconnected == 1)
        model.LogWarning("Found 1 port without connection.");
    else if (unconnected > 1)
        model.LogWarning("Found " + std::to_string(unconnected) + " ports without connection.");
    return ok;
}
