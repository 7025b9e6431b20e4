// Running the HDL tools of the corpus comparisons, and reading what they write (JSON, XML).
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace corpus {

// Runs the program with the argument vector (no shell) in the directory; standard error goes to
// the log file, and so does standard output unless an output file is named. The exit status, or
// -1 when it could not run.
int RunTool(const std::vector<std::string>& argv, const std::string& directory,
            const std::string& logFile, const std::string& outputFile = "");

// A parsed XML element: its tag, attributes and child elements (text content is dropped).
struct XmlElement {
    std::string tag;
    std::map<std::string, std::string> attributes;
    std::vector<std::unique_ptr<XmlElement>> children;
    std::string Attribute(const std::string& name) const;
};
std::unique_ptr<XmlElement> ParseXml(const std::string& text);

} // namespace corpus
