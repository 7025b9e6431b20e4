// The INI layer: value parsing, case-blind names, lines that survive a rewrite, failed saves.
#include "platform/IniFile.h"

#include "support/FileFixtures.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

using platform::IniFile;
using platform::ParseIniInteger;

namespace {

struct IntegerCase {
    const char* name;
    const char* text;
    std::optional<std::int32_t> expected;
};

} // namespace

TEST(IniInteger, ParsesEveryValueFormOfTheSettingsFile) {
    const IntegerCase cases[] = {
        {"decimal", "800", 800},
        {"negative decimal", "-2147483626", -2147483626},
        {"plus sign", "+5", 5},
        {"smallest 32-bit", "-2147483648", INT32_MIN},
        {"largest 32-bit", "2147483647", INT32_MAX},
        {"decimal overflow", "2147483648", std::nullopt},
        {"negative overflow", "-2147483649", std::nullopt},
        {"huge decimal", "99999999999999999999999", std::nullopt},
        {"hex 0x", "0xFF8080", 0xFF8080},
        {"hex 0X lower digits", "0Xff8080", 0xFF8080},
        {"system colour in hex", "0x80000016", -2147483626},
        {"dollar hex", "$93D8EC", 0x93D8EC},
        {"dollar system colour", "$80000016", -2147483626},
        {"all bits", "0xFFFFFFFF", -1},
        {"hex overflow", "0x100000000", std::nullopt},
        {"bare 0x", "0x", std::nullopt},
        {"bare dollar", "$", std::nullopt},
        {"bad hex digit", "0x12G", std::nullopt},
        {"empty", "", std::nullopt},
        {"blanks only", "   ", std::nullopt},
        {"blanks around", "  42 ", 42},
        {"sign only", "-", std::nullopt},
        {"words", "red", std::nullopt},
        {"trailing junk", "12px", std::nullopt},
        {"zero", "0", 0},
    };
    for (const IntegerCase& c : cases)
        EXPECT_EQ(ParseIniInteger(c.text), c.expected) << c.name << ": \"" << c.text << "\"";
}

TEST(IniFile, FindsSectionsAndKeysWhateverTheirLetterCase) {
    TempDir dir;
    WriteBytes(dir.Path("z.ini"),
               "[QVsetting]\r\nE01=12\r\nrecnetproject1=/a.zun\r\n[fa]\r\nF2=Mono\r\n");
    IniFile ini(dir.Path("z.ini"));
    ASSERT_TRUE(ini.Load());
    EXPECT_EQ(ini.ReadInteger("qvsetting", "e01", 0), 12);
    EXPECT_EQ(ini.ReadString("QVSETTING", "RecnetProject1", ""), "/a.zun");
    EXPECT_EQ(ini.ReadString("FA", "f2", ""), "Mono");
    EXPECT_EQ(ini.ReadString("FB", "F2", "dflt"), "dflt");
}

TEST(IniFile, TakesTheValueAfterTheFirstEqualsSignWithoutSurroundingBlanks) {
    TempDir dir;
    WriteBytes(dir.Path("z.ini"),
               "[S]\n E14 = -o %F=x \nE13=\nE20\nE21=$1F90\nE22=a=b=c\nE23=;not a comment\n");
    IniFile ini(dir.Path("z.ini"));
    ASSERT_TRUE(ini.Load());
    EXPECT_EQ(ini.ReadString("S", "E14", ""), "-o %F=x");
    EXPECT_EQ(ini.ReadString("S", "E13", "dflt"), ""); // present but empty is not missing
    EXPECT_EQ(ini.ReadString("S", "E20", "dflt"), "dflt");
    EXPECT_EQ(ini.ReadInteger("S", "E21", 0), 8080);
    EXPECT_EQ(ini.ReadString("S", "E22", ""), "a=b=c");
    EXPECT_EQ(ini.ReadString("S", "E23", ""), ";not a comment");
}

TEST(IniFile, MissingOrUnreadableNumbersGiveTheDefault) {
    IniFile ini("/nonexistent/z.ini");
    EXPECT_FALSE(ini.Load());
    EXPECT_EQ(ini.ReadInteger("S", "K", 7), 7);
    ini.WriteString("S", "K", "seven");
    EXPECT_EQ(ini.ReadInteger("S", "K", 7), 7);
    ini.WriteString("S", "B", "2");
    EXPECT_TRUE(ini.ReadBool("S", "B", false));
    ini.WriteString("S", "B", "0");
    EXPECT_FALSE(ini.ReadBool("S", "B", true));
    ini.WriteString("S", "B", "yes");
    EXPECT_TRUE(ini.ReadBool("S", "B", true));
    EXPECT_FALSE(ini.ReadBool("S", "B", false));
}

TEST(IniFile, CutsLongValuesTo2047Characters) {
    IniFile ini("");
    ini.WriteString("S", "K", std::string(3000, 'v'));
    EXPECT_EQ(ini.ReadString("S", "K", "").size(), 2047u);
}

TEST(IniFile, RewriteKeepsUnknownSectionsKeysAndCommentsInTheirPlaces) {
    TempDir dir;
    std::string text = "; my notes\n[Other]\nmine=1\n\n[QVsetting]\nE01=1\nUnknown=keep\n"
                       "E02=2\n\n[FA]\nF1=1\n";
    WriteBytes(dir.Path("z.ini"), text);
    IniFile ini(dir.Path("z.ini"));
    ASSERT_TRUE(ini.Load());
    ini.WriteInteger("qvsetting", "e02", -5);
    ini.WriteString("QVsetting", "E03", "new");
    ini.WriteBool("FB", "F5", true);
    ASSERT_TRUE(ini.Save());
    EXPECT_EQ(ReadBytes(dir.Path("z.ini")),
              "; my notes\n[Other]\nmine=1\n\n[QVsetting]\nE01=1\nUnknown=keep\n"
              "E02=-5\nE03=new\n\n[FA]\nF1=1\n\n[FB]\nF5=1\n");
}

TEST(IniFile, KeepsTheWindowsLineEndsOfAFileThatHasThem) {
    TempDir dir;
    WriteBytes(dir.Path("z.ini"), "[S]\r\nA=1\r\n");
    IniFile ini(dir.Path("z.ini"));
    ASSERT_TRUE(ini.Load());
    ini.WriteString("S", "B", "2");
    EXPECT_EQ(ini.Text(), "[S]\r\nA=1\r\nB=2\r\n");
}

TEST(IniFile, AValueWithALineEndStaysOneLine) {
    IniFile ini("");
    ini.WriteString("S", "K", "a\r\nb");
    ini.WriteString("S", "L", "c");
    EXPECT_EQ(ini.Text(), "[S]\nK=a  b\nL=c\n");
    EXPECT_EQ(ini.ReadString("S", "L", ""), "c");
}

TEST(IniFile, AWrittenFileReadsBackTheSameValues) {
    TempDir dir;
    IniFile out(dir.Path("new.ini"));
    EXPECT_FALSE(out.Load());
    out.WriteInteger("QVsetting", "E01", -2147483626);
    out.WriteString("QVsetting", "E16", "/home/me/work/");
    out.WriteBool("FA", "F5", true);
    ASSERT_TRUE(out.Save());
    IniFile in(dir.Path("new.ini"));
    ASSERT_TRUE(in.Load());
    EXPECT_EQ(in.ReadInteger("QVsetting", "E01", 0), -2147483626);
    EXPECT_EQ(in.ReadString("QVsetting", "E16", ""), "/home/me/work/");
    EXPECT_TRUE(in.ReadBool("FA", "F5", false));
}

// Regression (found by the random driver): a value was written with the blanks around it, which
// no read gives back, so a face name cut at 2047 characters just before a blank changed at the
// next save.
TEST(IniFile, AValueIsWrittenAsItIsReadBackWithoutTheBlanksAroundIt) {
    IniFile ini("");
    ini.WriteString("S", "K", "  Sans Serif \t");
    ini.WriteString("S", "K2", std::string(2046, 'v') + " w");
    EXPECT_EQ(ini.Text(), "[S]\nK=Sans Serif\nK2=" + std::string(2046, 'v') + " w\n");
    const std::string cut = ini.ReadString("S", "K2", "");
    EXPECT_EQ(cut, std::string(2046, 'v') + " ");
    ini.WriteString("S", "K2", cut);
    EXPECT_EQ(ini.ReadString("S", "K2", ""), std::string(2046, 'v'));
    ini.WriteString("S", "K2", ini.ReadString("S", "K2", ""));
    EXPECT_EQ(ini.Text(), "[S]\nK=Sans Serif\nK2=" + std::string(2046, 'v') + "\n");
}

TEST(IniFile, SavingAReadOnlyFileFailsAndLeavesItAsItWas) {
    TempDir dir;
    std::string text = "[QVsetting]\nE01=1\n";
    WriteBytes(dir.Path("z.ini"), text);
    ::chmod(dir.Path("z.ini").c_str(), 0444);
    IniFile ini(dir.Path("z.ini"));
    ASSERT_TRUE(ini.Load());
    ini.WriteInteger("QVsetting", "E01", 2);
    IoStatus st = ini.Save();
    EXPECT_FALSE(st);
    EXPECT_FALSE(st.message.empty());
    EXPECT_EQ(ReadBytes(dir.Path("z.ini")), text);
}

TEST(IniFile, TheFirstOfTwoEqualKeysIsReadAndWritten) {
    TempDir dir;
    WriteBytes(dir.Path("z.ini"), "[S]\nK=first\nk=second\n");
    IniFile ini(dir.Path("z.ini"));
    ASSERT_TRUE(ini.Load());
    EXPECT_EQ(ini.ReadString("S", "K", ""), "first");
    ini.WriteString("S", "K", "new");
    EXPECT_EQ(ini.Text(), "[S]\nK=new\nk=second\n");
}
