// Small builders of connection-file and skeleton lines for the finishing-job tests.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

namespace qve::test {

// A project line as the editor writes it to the connection file: fields 0 to 7, seven TABs.
inline std::string ProjectLine(std::initializer_list<std::string_view> fields) {
    std::string line;
    int count = 0;
    for (std::string_view field : fields) {
        if (count++ > 0)
            line += '\t';
        line += field;
    }
    for (; count < 8; ++count)
        line += '\t';
    return line + "\n";
}

inline std::string Blanks(std::size_t count) {
    return std::string(count, ' ');
}

// The text padded with blanks to width, as the generators and the engine pad names.
inline std::string Padded(std::string_view text, std::size_t width) {
    std::string padded(text);
    if (padded.size() < width)
        padded += Blanks(width - padded.size());
    return padded;
}

// A Verilog port connection line as the generator writes it: "\t.%-20s (__)" and a comma.
inline std::string VerilogConnection(std::string_view port, bool last = false) {
    return "\t." + Padded(port, 20) + " (__)" + (last ? "\n" : ",\n");
}

// A VHDL port association line: "\t\t%-20s => __", then "," or ");".
inline std::string VhdlAssociation(std::string_view port, bool last = false) {
    return "\t\t" + Padded(port, 20) + " => __" + (last ? ");\n" : ",\n");
}

} // namespace qve::test
