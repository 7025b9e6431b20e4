// The scripted prompt double that every window-logic test relies on.
#include "support/ScriptedPrompt.h"

#include <gtest/gtest-spi.h>

TEST(ScriptedPrompt, AnswersInScriptOrder) {
    ScriptedPrompt p;
    p.ExpectYesNoCancel("Save changes?", PromptAnswer::No)
        .ExpectSaveFile("Save As", {"/tmp/a.zun"})
        .ExpectOpenFile("", {});
    EXPECT_EQ(p.YesNoCancel("Save changes?", ""), PromptAnswer::No);
    EXPECT_EQ(p.SaveFile({"Save As", "", "", "", ""}), std::optional<std::string>("/tmp/a.zun"));
    EXPECT_EQ(p.OpenFile({"Open", "", "", "", ""}), std::nullopt);
    EXPECT_TRUE(p.Done());
}

TEST(ScriptedPrompt, FailsOnAPromptItDidNotExpect) {
    EXPECT_NONFATAL_FAILURE(
        {
            ScriptedPrompt p;
            EXPECT_FALSE(p.YesNo("Delete?", ""));
        },
        "unexpected prompt");
}

TEST(ScriptedPrompt, FailsOnAnotherTextOrKind) {
    EXPECT_NONFATAL_FAILURE(
        {
            ScriptedPrompt p;
            p.ExpectMessage("File missing.");
            p.Message("Other text", "", MessageKind::Plain);
        },
        "File missing.");
    EXPECT_NONFATAL_FAILURE(
        {
            ScriptedPrompt p;
            p.ExpectMessage("x");
            p.YesNo("x", "");
        },
        "Message");
}

TEST(ScriptedPrompt, FailsOnScriptLinesLeftUnused) {
    EXPECT_NONFATAL_FAILURE(
        {
            ScriptedPrompt p;
            p.ExpectMessage("never shown");
        },
        "never shown");
}

TEST(ScriptedPrompt, AnswersTheChoosersAndChecksTheFontChoosersPitch) {
    ScriptedPrompt p;
    FontValue courier;
    courier.Face = "Courier";
    p.ExpectChooseFolder("Choose the work directory", "/tmp/w")
        .ExpectChooseFolder("", "")
        .ExpectChooseColor(0x00FF00)
        .ExpectChooseColor(std::nullopt)
        .ExpectChooseFont(courier, true);
    EXPECT_EQ(p.ChooseFolder("Choose the work directory", ""),
              std::optional<std::string>("/tmp/w"));
    EXPECT_EQ(p.ChooseFolder("any", ""), std::nullopt);
    EXPECT_EQ(p.ChooseColor(0), std::optional<int>(0x00FF00));
    EXPECT_EQ(p.ChooseColor(0), std::nullopt);
    EXPECT_EQ(p.ChooseFont(FontValue{}, true), std::optional<FontValue>(courier));
    EXPECT_NONFATAL_FAILURE(
        {
            ScriptedPrompt q;
            q.ExpectChooseFont(std::nullopt, true);
            q.ChooseFont(FontValue{}, false);
        },
        "fixed pitch");
    EXPECT_NONFATAL_FAILURE(
        {
            ScriptedPrompt q;
            EXPECT_EQ(q.ChooseColor(5), std::nullopt);
        },
        "unexpected prompt");
}
