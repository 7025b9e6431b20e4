// The context menu's dialogs answered as a user who keeps every proposal but the names given.
#pragma once

#include "editor/canvas/NamingDialogs.h"

#include <string>

namespace zun::e2e {

class AcceptingDialogs : public MenuDialogs {
public:
    std::string BusName;
    std::string InoutName;
    bool ShowDupName(DupNameDialog&) override { return true; }
    bool ShowComb(CombineDialog& d) override {
        d.LabeledEdit1 = BusName;
        return d.BitBtn1Click();
    }
    bool ShowCinout(CinoutDialog& d) override {
        d.LabeledEdit1 = InoutName;
        d.LabeledEdit1Change();
        return d.BitBtn2Click();
    }
};

} // namespace zun::e2e
