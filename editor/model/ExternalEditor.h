// Opening a file in the user's external editor: the program and its parameters from the settings,
// started with an argument vector, never through a shell.
#pragma once

#include "editor/model/Documents.h"

#include <string>
#include <string_view>
#include <vector>

class ProjectModel;

// The words of a parameter text: blanks and tabs separate words, double quotes group (and are
// dropped), so "-n \"my file\"" gives -n and my file; "" is an empty word.
std::vector<std::string> SplitEditorParams(std::string_view params);
// The argument vector for opening path: EditorProgram as one word, then the words of
// EditorParams, with every "%F" in each replaced by path.
std::vector<std::string> ExternalEditorCommand(const ProjectModel& model, const std::string& path);
// Starts the external editor on path without waiting for it; a failure is logged. False then.
bool StartExternalEditor(ProjectModel& model, EditorServices& services, const std::string& path);
