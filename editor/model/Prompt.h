// The one interface through which the editor shows message boxes, asks questions and lets the
// user choose files. The windows give a Qt implementation; tests give a scripted one.
#pragma once

#include "editor/model/FontValue.h"

#include <optional>
#include <string>
#include <vector>

enum class MessageKind { Plain, Information, Warning, Error };

enum class PromptAnswer { Yes, No, Cancel };

// What a file chooser shows: title, filter ("Project files (*.zun);;All files (*)"), the folder
// and file name it starts with and the extension added to a name typed without one.
struct FileChooser {
    std::string title;
    std::string filter;
    std::string initialDir;
    std::string fileName;
    std::string defaultExt;
    // The entry of the filter (from 1) that the chooser starts with.
    int filterIndex = 1;
};

class Prompt {
public:
    virtual ~Prompt() = default;
    // A message box with an OK button only.
    virtual void Message(const std::string& text, const std::string& caption = "",
                         MessageKind kind = MessageKind::Plain) = 0;
    // Yes/No: true for Yes.
    virtual bool YesNo(const std::string& text, const std::string& caption = "") = 0;
    virtual PromptAnswer YesNoCancel(const std::string& text, const std::string& caption = "") = 0;
    // OK/Cancel: true for OK. A prompt without such a box asks Yes/No.
    virtual bool OkCancel(const std::string& text, const std::string& caption = "") {
        return YesNo(text, caption);
    }
    // File choosers: nothing when the user cancels.
    virtual std::optional<std::string> OpenFile(const FileChooser& chooser) = 0;
    virtual std::vector<std::string> OpenFiles(const FileChooser& chooser) = 0;
    virtual std::optional<std::string> SaveFile(const FileChooser& chooser) = 0;
    // A folder chooser with a title, starting in initialDir (none: anywhere). A prompt that has
    // no such chooser answers as if the user cancelled, as the three below do.
    virtual std::optional<std::string> ChooseFolder(const std::string& title,
                                                    const std::string& initialDir) {
        (void)title;
        (void)initialDir;
        return std::nullopt;
    }
    // A colour chooser starting at a Windows colour value (0x00BBGGRR); answers one of the same.
    virtual std::optional<int> ChooseColor(int initial) {
        (void)initial;
        return std::nullopt;
    }
    // A font chooser with the font's colour; with fixedPitch it offers fixed-pitch faces only.
    virtual std::optional<FontValue> ChooseFont(const FontValue& initial, bool fixedPitch) {
        (void)initial;
        (void)fixedPitch;
        return std::nullopt;
    }
};
