// The local files of a dropped uri list, as file managers and Qt write it.
#include "platform/DroppedFiles.h"

#include <gtest/gtest.h>

#include <climits>
#include <unistd.h>

namespace {

using Files = std::vector<std::string>;

TEST(DroppedFiles, LocalFileUrisGiveTheirPathsInListOrder) {
    struct Case {
        const char* name;
        std::string list;
        Files files;
    };
    const Case cases[] = {
        {"empty", "", {}},
        {"one without a line end", "file:///home/me/a.v", {"/home/me/a.v"}},
        {"CR LF lines", "file:///a.v\r\nfile:///b.vhd\r\n", {"/a.v", "/b.vhd"}},
        {"LF lines", "file:///a.v\nfile:///b.vhd\n", {"/a.v", "/b.vhd"}},
        {"comments and blank lines", "# dragged\r\n\r\nfile:///a.v\r\n", {"/a.v"}},
        {"localhost", "file://localhost/a.v\r\n", {"/a.v"}},
        {"no authority", "file:/a.v\r\n", {"/a.v"}},
        {"scheme in capitals", "FILE:///a.v\r\n", {"/a.v"}},
        {"blank and percent", "file:///my%20designs/50%25.v", {"/my designs/50%.v"}},
        {"hex in either case", "file:///%c3%A9t%C3%a9.v", {"/\xc3\xa9t\xc3\xa9.v"}},
        {"a byte that is not UTF-8", "file:///old%E9.v", {"/old\xe9.v"}},
        {"a lone percent stands for itself", "file:///100%.v\nfile:///a%4", {"/100%.v", "/a%4"}},
        {"query and fragment are cut", "file:///a.v?x=1\nfile:///b.v#top", {"/a.v", "/b.v"}},
        {"other schemes are left out",
         "https://example.org/a.v\nsmb://srv/a.v\nfile:///b.v",
         {"/b.v"}},
        {"another machine is left out", "file://elsewhere.example/a.v\nfile:///b.v", {"/b.v"}},
        {"a zero byte is refused", "file:///a%00.zun\nfile:///b.v", {"/b.v"}},
        {"relative forms are refused", "file:a.v\nfile://\n/plain/path\n", {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(platform::LocalFilesOfUriList(c.list), c.files) << c.name;
}

TEST(DroppedFiles, ThisMachinesOwnNameCountsAsLocal) {
    char name[HOST_NAME_MAX + 1] = {};
    ASSERT_EQ(::gethostname(name, sizeof name - 1), 0);
    EXPECT_EQ(platform::LocalFilesOfUriList("file://" + std::string(name) + "/a.v"), Files{"/a.v"});
}

} // namespace
