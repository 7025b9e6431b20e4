// Real VHDL with its std_ulogic ports written as std_logic, the two types the engine reads, so
// that the engine sees every one-bit and vector port of the real design.
#pragma once

#include <regex>
#include <string>

namespace corpus {

inline std::string AsStdLogic(const std::string& text) {
    // std_ulogic or std_ulogic_vector as a whole word, in any letter case.
    static const std::regex ulogic(R"(\bstd_ulogic(_vector)?\b)", std::regex::icase);
    return std::regex_replace(text, ulogic, "std_logic$1");
}

} // namespace corpus
