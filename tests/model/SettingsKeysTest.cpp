// The one table of settings keys: each key once, and every key a save writes comes back from a
// load into the member it left, whatever its kind.
#include "editor/model/Settings.h"

#include "ModelFileFixture.h"
#include "platform/IniFile.h"

#include <set>
#include <utility>

namespace {

class SettingsKeysTest : public ModelFileFixture {
protected:
    std::string IniPath() const { return dir.Path("zun2012.ini"); }
};

// A value of the key's kind that no default has, different for every key.
void SetDistinct(const SettingKey& k, ProjectModel& m, int n, const std::string& workDir) {
    const std::string tag = std::to_string(n);
    switch (k.kind) {
    case SettingKind::Integer:
        k.integer(m) = -1000 - n;
        break;
    case SettingKind::Flag:
        k.flag(m) = !k.flagDefault;
        break;
    case SettingKind::Text:
        // The naming rules must stay legal, or the load puts the defaults back.
        k.text(m) = std::string(k.key) == "E26"   ? "i" + tag + "_%M_%D"
                    : std::string(k.key) == "E27" ? "w" + tag + "_%P"
                                                  : "text " + tag;
        break;
    case SettingKind::Pattern:
        k.text(m) = "p" + tag + "$";
        break;
    case SettingKind::Letter:
        k.letter(m) = 'Z';
        break;
    case SettingKind::WorkDir:
        k.text(m) = workDir;
        break;
    case SettingKind::Font:
        k.font(m) = {n, "Face " + tag, 0x10000 + n, 20 + n, true, false, true, false};
        break;
    case SettingKind::Program:
    case SettingKind::Recent:
    case SettingKind::Guestbook:
        break;
    }
}

// The member's value as text, whatever its kind.
std::string Shown(const SettingKey& k, ProjectModel& m) {
    switch (k.kind) {
    case SettingKind::Integer:
    case SettingKind::Guestbook:
        return std::to_string(k.integer(m));
    case SettingKind::Flag:
        return k.flag(m) ? "true" : "false";
    case SettingKind::Letter:
        return std::string(1, k.letter(m));
    case SettingKind::Font: {
        const FontValue& f = k.font(m);
        return std::to_string(f.Charset) + "/" + f.Face + "/" + std::to_string(f.Color) + "/" +
               std::to_string(f.Size) + "/" + std::to_string(f.Bold) + std::to_string(f.Italic) +
               std::to_string(f.Underline) + std::to_string(f.StrikeOut);
    }
    case SettingKind::Recent:
        return "";
    default:
        return k.text(m);
    }
}

TEST_F(SettingsKeysTest, EachKeyIsInTheTableOnce) {
    std::set<std::pair<std::string, std::string>> seen;
    for (const SettingKey& k : SettingsKeys())
        EXPECT_TRUE(seen.insert({k.section, k.key}).second) << k.section << " " << k.key;
    // Fonts FA to FH, E01 to E33 without E24 and E25, F01 to F16, GenBox, NewModuleProgram,
    // nine recent projects and Recnet.
    EXPECT_EQ(SettingsKeys().size(), 8u + 12u + 16u + 20u + 2u + 9u + 1u);
}

TEST_F(SettingsKeysTest, EveryKeyModeSWritesIsReadBackIntoItsMember) {
    model.IniPath = IniPath();
    int n = 0;
    for (const SettingKey& k : SettingsKeys())
        if (k.savedBy == SavedBy::Settings)
            SetDistinct(k, model, ++n, dir.Dir());
    ASSERT_GT(n, 50);
    ASSERT_TRUE(SaveSettings(model, services, 'S'));

    platform::IniFile ini(IniPath());
    ASSERT_TRUE(ini.Load());
    ProjectModel back;
    back.AppDir = model.AppDir;
    back.IniPath = IniPath();
    LoadSettings(back, services);
    for (const SettingKey& k : SettingsKeys()) {
        if (k.savedBy != SavedBy::Settings)
            continue;
        if (k.kind != SettingKind::Font) {
            EXPECT_TRUE(ini.Find(k.section, k.key)) << k.key << " not written";
        }
        EXPECT_EQ(Shown(k, back), Shown(k, model)) << k.section << " " << k.key;
    }
    EXPECT_TRUE(prompt.Done());
}

TEST_F(SettingsKeysTest, EveryKeyModeRWritesIsReadBackAndNoOther) {
    model.IniPath = IniPath();
    model.RecentList = {"/a.zun", "/b.zun", "/c.zun", "/d.zun", "/e.zun",
                        "/f.zun", "/g.zun", "/h.zun", "/i.zun", "/j.zun"};
    model.AppMisc.GenBox = 77;
    model.AppMisc.Recnet = 0;
    model.BackColor = 12345; // a mode 'S' key: not written here
    today = 45000;
    ASSERT_TRUE(SaveSettings(model, services, 'R'));

    platform::IniFile ini(IniPath());
    ASSERT_TRUE(ini.Load());
    for (const SettingKey& k : SettingsKeys())
        EXPECT_EQ(ini.Find(k.section, k.key).has_value(), k.savedBy == SavedBy::Recent)
            << k.section << " " << k.key;
    ProjectModel back;
    back.AppDir = model.AppDir;
    back.IniPath = IniPath();
    LoadSettings(back, services);
    EXPECT_EQ(back.RecentList,
              std::vector<std::string>(model.RecentList.begin(), model.RecentList.begin() + 9));
    EXPECT_EQ(back.AppMisc.GenBox, 77);
    EXPECT_EQ(back.AppMisc.Recnet, 45000);
}

} // namespace
