// A Prompt for tests: it answers from a script, in order, and fails the test on a prompt the
// script did not expect, on a prompt of another kind or text, and on script lines left unused.
#pragma once

#include "editor/model/Prompt.h"

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <string>
#include <vector>

class ScriptedPrompt : public Prompt {
public:
    enum class Kind {
        Message,
        YesNo,
        YesNoCancel,
        OkCancel,
        OpenFile,
        OpenFiles,
        SaveFile,
        ChooseFolder,
        ChooseColor,
        ChooseFont
    };

    struct Step {
        Kind kind;
        std::string text; // expected message text, or chooser title; empty = any
        PromptAnswer answer = PromptAnswer::Yes;
        std::vector<std::string> files; // chosen files; empty = cancelled chooser
        std::optional<int> color = {};  // chosen colour; none = cancelled
        std::optional<FontValue> font = {}; // chosen font; none = cancelled
        bool fixedPitch = false;            // the font chooser must offer fixed pitch only
        std::optional<std::string> folder = {}; // the folder a file chooser must open in
    };

    // Script builders.
    ScriptedPrompt& ExpectMessage(std::string text) {
        steps_.push_back({Kind::Message, std::move(text), PromptAnswer::Yes, {}});
        return *this;
    }
    ScriptedPrompt& ExpectYesNo(std::string text, bool yes) {
        steps_.push_back(
            {Kind::YesNo, std::move(text), yes ? PromptAnswer::Yes : PromptAnswer::No, {}});
        return *this;
    }
    ScriptedPrompt& ExpectYesNoCancel(std::string text, PromptAnswer answer) {
        steps_.push_back({Kind::YesNoCancel, std::move(text), answer, {}});
        return *this;
    }
    ScriptedPrompt& ExpectOkCancel(std::string text, bool ok) {
        steps_.push_back(
            {Kind::OkCancel, std::move(text), ok ? PromptAnswer::Yes : PromptAnswer::Cancel, {}});
        return *this;
    }
    ScriptedPrompt& ExpectOpenFile(std::string title, std::vector<std::string> files) {
        steps_.push_back({Kind::OpenFile, std::move(title), PromptAnswer::Yes, std::move(files)});
        return *this;
    }
    ScriptedPrompt& ExpectOpenFiles(std::string title, std::vector<std::string> files) {
        steps_.push_back({Kind::OpenFiles, std::move(title), PromptAnswer::Yes, std::move(files)});
        return *this;
    }
    ScriptedPrompt& ExpectSaveFile(std::string title, std::vector<std::string> files) {
        steps_.push_back({Kind::SaveFile, std::move(title), PromptAnswer::Yes, std::move(files)});
        return *this;
    }
    // A save chooser that must open in folder.
    ScriptedPrompt& ExpectSaveFileIn(std::string title, std::string folder,
                                     std::vector<std::string> files) {
        Step s{Kind::SaveFile, std::move(title), PromptAnswer::Yes, std::move(files)};
        s.folder = std::move(folder);
        steps_.push_back(std::move(s));
        return *this;
    }

    // A folder chooser of this title; folder empty = cancelled.
    ScriptedPrompt& ExpectChooseFolder(std::string title, std::string folder) {
        std::vector<std::string> files;
        if (!folder.empty())
            files.push_back(std::move(folder));
        steps_.push_back({Kind::ChooseFolder, std::move(title), PromptAnswer::Yes, files});
        return *this;
    }
    ScriptedPrompt& ExpectChooseColor(std::optional<int> color) {
        Step s{Kind::ChooseColor, "", PromptAnswer::Yes, {}};
        s.color = color;
        steps_.push_back(s);
        return *this;
    }
    ScriptedPrompt& ExpectChooseFont(std::optional<FontValue> font, bool fixedPitch) {
        Step s{Kind::ChooseFont, "", PromptAnswer::Yes, {}};
        s.font = std::move(font);
        s.fixedPitch = fixedPitch;
        steps_.push_back(s);
        return *this;
    }

    ~ScriptedPrompt() override {
        for (const Step& s : steps_)
            ADD_FAILURE() << "scripted prompt never shown: " << Name(s.kind) << " \"" << s.text
                          << "\"";
    }

    bool Done() const { return steps_.empty(); }
    // Every text shown, in order, for tests that check what the user saw.
    const std::vector<std::string>& Shown() const { return shown_; }
    // The last file chooser shown, for tests of its file name and filter.
    const FileChooser& LastChooser() const { return chooser_; }
    // Called with each text as it is shown, before the answer: a test can look at what was
    // logged by then.
    std::function<void(const std::string&)> OnShow;

    void Message(const std::string& text, const std::string&, MessageKind) override {
        Next(Kind::Message, text);
    }
    bool YesNo(const std::string& text, const std::string&) override {
        return Next(Kind::YesNo, text).answer == PromptAnswer::Yes;
    }
    PromptAnswer YesNoCancel(const std::string& text, const std::string&) override {
        return Next(Kind::YesNoCancel, text).answer;
    }
    bool OkCancel(const std::string& text, const std::string&) override {
        return Next(Kind::OkCancel, text).answer == PromptAnswer::Yes;
    }
    std::optional<std::string> OpenFile(const FileChooser& c) override {
        chooser_ = c;
        Step s = Next(Kind::OpenFile, c.title);
        if (s.files.empty())
            return std::nullopt;
        return s.files.front();
    }
    std::vector<std::string> OpenFiles(const FileChooser& c) override {
        chooser_ = c;
        return Next(Kind::OpenFiles, c.title).files;
    }
    std::optional<std::string> SaveFile(const FileChooser& c) override {
        chooser_ = c;
        Step s = Next(Kind::SaveFile, c.title);
        if (s.folder) {
            EXPECT_EQ(c.initialDir, *s.folder) << "the folder \"" << c.title << "\" opens in";
        }
        if (s.files.empty())
            return std::nullopt;
        return s.files.front();
    }

    std::optional<std::string> ChooseFolder(const std::string& title, const std::string&) override {
        Step s = Next(Kind::ChooseFolder, title);
        if (s.files.empty())
            return std::nullopt;
        return s.files.front();
    }
    // The colour the last colour chooser started at.
    int LastColorStart() const { return colorStart_; }
    std::optional<int> ChooseColor(int initial) override {
        colorStart_ = initial;
        return Next(Kind::ChooseColor, "").color;
    }
    std::optional<FontValue> ChooseFont(const FontValue&, bool fixedPitch) override {
        Step s = Next(Kind::ChooseFont, "");
        EXPECT_EQ(s.fixedPitch, fixedPitch) << "font chooser's fixed pitch";
        return s.font;
    }

private:
    static const char* Name(Kind k) {
        switch (k) {
        case Kind::Message:
            return "Message";
        case Kind::YesNo:
            return "YesNo";
        case Kind::YesNoCancel:
            return "YesNoCancel";
        case Kind::OkCancel:
            return "OkCancel";
        case Kind::OpenFile:
            return "OpenFile";
        case Kind::OpenFiles:
            return "OpenFiles";
        case Kind::SaveFile:
            return "SaveFile";
        case Kind::ChooseFolder:
            return "ChooseFolder";
        case Kind::ChooseColor:
            return "ChooseColor";
        case Kind::ChooseFont:
            return "ChooseFont";
        }
        return "?";
    }

    Step Next(Kind kind, const std::string& text) {
        shown_.push_back(text);
        if (OnShow)
            OnShow(text);
        if (steps_.empty()) {
            ADD_FAILURE() << "unexpected prompt: " << Name(kind) << " \"" << text << "\"";
            // Unexpected questions are answered in the most harmless way.
            return {kind,
                    text,
                    kind == Kind::YesNoCancel ? PromptAnswer::Cancel : PromptAnswer::No,
                    {}};
        }
        Step s = steps_.front();
        steps_.pop_front();
        EXPECT_EQ(Name(s.kind), std::string(Name(kind))) << "prompt \"" << text << "\"";
        if (!s.text.empty()) {
            EXPECT_EQ(s.text, text);
        }
        return s;
    }

    std::deque<Step> steps_;
    std::vector<std::string> shown_;
    FileChooser chooser_;
    int colorStart_ = 0;
};
