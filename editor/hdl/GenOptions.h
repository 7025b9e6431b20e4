// The choices of the generation command: the remembered GenBox bits, the options dialog
// TFormConnect without its window, and the banners that head every generated top level.
#pragma once

#include <array>
#include <functional>
#include <optional>
#include <string>

class Prompt;

// Languages of the dialog's buttons, as GenBox bits 1-2 hold them.
inline constexpr int Verilog2001 = 0;
inline constexpr int Verilog1995 = 1;
inline constexpr int VhdlLanguage = 2;
// A language value no button stands for: the dialog keeps the button that was checked.
inline constexpr int NoLanguage = 3;

// RadioGroup1's items.
inline constexpr int FullSourceCode = 0;
inline constexpr int FrameworkOnly = 1;

// GenBox read as the unsigned bits it packs, so a negative settings value stays within them.
struct GenBoxChoices {
    bool SkipDialog = false;     // bit 0
    int Language = Verilog2001;  // bits 1-2, 0 to 3
    int Choice = FullSourceCode; // bit 3
};
GenBoxChoices DecodeGenBox(int genBox);
// What an accepted dialog stores: 2 x language + 8 x choice.
int EncodeGenBox(int language, int choice);

// Three comment lines, each ended by CR LF, in front of every generated top level.
extern const std::string VerilogBanner;
extern const std::string VhdlBanner;

// The dialog "Generate source code": its controls' state and the rules that keep them
// consistent. One instance lives as long as the window, so a choice the dialog does not
// overwrite stays from the last use.
struct ConnectForm {
    std::string LE_RenTM; // "Rename top module to: "
    int RadioGroup1 = FullSourceCode;
    // RadioButton1 to RadioButton3: "Verilog HDL 2001", "Verilog HDL 1995", "VHDL".
    std::array<bool, 3> RadioButtonChecked{false, true, false};
    bool RadioButton1Enabled = true;
    // "Framework only" can be chosen only while a framework generator exists.
    bool FrameworkEnabled = false;
    // Whether a module of the project has the name: the top module cannot take it.
    std::function<bool(const std::string& name)> ModuleNameUsed;

    // Full source code is always 1995-style Verilog, so "Verilog HDL 2001" is offered only with
    // the framework.
    void RadioGroup1Click();
    void FormShow() { RadioGroup1Click(); }

    // Checks the button of a language; NoLanguage leaves the buttons as they are.
    void CheckLanguage(int language);
    // 0 when RadioButton1 is checked, else 1 when RadioButton2 is, else 2.
    int CheckedLanguage() const;

    // Why OK may not close the dialog: a new title that is no legal identifier would give HDL
    // that no tool accepts and a file name outside the folder chosen; one that names a module of
    // the project would make the top instantiate itself and offer that module's source file as
    // the file to save over. Empty keeps the name.
    std::optional<std::string> OkRefusal() const;
    // The OK button: a refusal is shown and the dialog stays open (false).
    bool BitBtn1Click(Prompt& prompt) const;
};
