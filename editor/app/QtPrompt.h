// The prompt interface shown with real Qt message boxes and file dialogs.
#pragma once

#include "editor/model/Prompt.h"

class QWidget;

class QtPrompt : public Prompt {
public:
    explicit QtPrompt(QWidget* parent = nullptr) : parent_(parent) {}
    void SetParent(QWidget* parent) { parent_ = parent; }

    void Message(const std::string& text, const std::string& caption = "",
                 MessageKind kind = MessageKind::Plain) override;
    bool YesNo(const std::string& text, const std::string& caption = "") override;
    PromptAnswer YesNoCancel(const std::string& text, const std::string& caption = "") override;
    bool OkCancel(const std::string& text, const std::string& caption = "") override;
    std::optional<std::string> OpenFile(const FileChooser& chooser) override;
    std::vector<std::string> OpenFiles(const FileChooser& chooser) override;
    std::optional<std::string> SaveFile(const FileChooser& chooser) override;
    std::optional<std::string> ChooseFolder(const std::string& title,
                                            const std::string& initialDir) override;
    std::optional<int> ChooseColor(int initial) override;
    std::optional<FontValue> ChooseFont(const FontValue& initial, bool fixedPitch) override;

private:
    QWidget* parent_;
};
