#include "engine/system_path.h"
#include <gtest/gtest.h>
#include <algorithm>
#include "support/repeated.h"

namespace tarvo {

namespace {

// The system's full path from C:\work, "/" as "\"; a path holding "|" cannot be made full.
std::u16string fullPathInWork(const std::u16string& path) {
    if (path.find(u'|') != std::u16string::npos) return {};
    std::u16string full = path;
    std::replace(full.begin(), full.end(), u'/', u'\\');
    if (full.starts_with(u"\\\\") || (full.size() > 2 && full[1] == u':')) return full;
    if (full.starts_with(u"\\")) return u"C:" + full;
    return u"C:\\work\\" + full;
}

}  // namespace

// From 260 UTF-16 units (not bytes) a path takes the long form, unless long, a device or not full.
TEST(SystemPath, LongFormAndTheLongestPathTheSystemNames) {
    const std::string a256(256, 'a'), a257(257, 'a'), a259(259, 'a');
    const std::u16string u256(256, u'a'), u257(257, u'a'), u259(259, u'a');
    const std::string cyrillic = testing::repeated(200, "\xd0\x96");  // 400 bytes
    const std::pair<std::string, std::u16string> rows[] = {
        {"C:\\src\\a.c", u"C:\\src\\a.c"},
        {"src\\a.c", u"src\\a.c"},
        {"C:\\J\xfcrgen\\caf\xc3\xa9\\\xd0\x96\xe6\x97\xa5",
         u"C:\\J\u00fcrgen\\caf\u00e9\\\u0416\u65e5"},
        {"C:\\" + a256, u"C:\\" + u256},
        {"C:\\" + a257, u"\\\\?\\C:\\" + u257},
        {"C:\\" + cyrillic, u"C:\\" + std::u16string(200, u'\u0416')},
        {"C:/" + a257, u"\\\\?\\C:\\" + u257},
        {"\\\\server\\share\\" + a256, u"\\\\?\\UNC\\server\\share\\" + u256},
        {"//server/share/" + a256, u"\\\\?\\UNC\\server\\share\\" + u256},
        {"\\\\?\\C:\\" + a256, u"\\\\?\\C:\\" + u256},
        {"\\\\?\\UNC\\server\\" + a256, u"\\\\?\\UNC\\server\\" + u256},
        {"\\\\.\\" + a256, u"\\\\.\\" + u256},
        {"src\\" + a256, u"\\\\?\\C:\\work\\src\\" + u256},
        {"\\" + a259, u"\\\\?\\C:\\" + u259},
        {"|" + a259, u"|" + u259},
        {"C:\\J\xfc\\" + a256, u"\\\\?\\C:\\J\u00fc\\" + u256}};
    for (const auto& [path, wide] : rows) {
        SCOPED_TRACE(path.substr(0, 24) + " (" + std::to_string(path.size()) + " bytes)");
        EXPECT_EQ(systemPath(path, fullPathInWork), wide);
    }
    // The long form the system hands back, as a user writes the path.
    const std::pair<std::string, std::string> ordinary[] = {
        {"\\\\?\\C:\\src\\a.c", "C:\\src\\a.c"},
        {"\\\\?\\UNC\\server\\share\\a.c", "\\\\server\\share\\a.c"},
        {"C:\\src\\a.c", "C:\\src\\a.c"},
        {"\\\\.\\pipe\\p", "\\\\.\\pipe\\p"}};
    for (const auto& [path, written] : ordinary)
        EXPECT_EQ(ordinaryPath(path), written) << path;
// What the walk may build: 32,767 units with the long prefix and "\*", or PATH_MAX with the NUL.
#ifdef _WIN32
    const std::pair<std::string, bool> lengths[] = {
        {std::string(32759, 'a'), true},
        {std::string(32760, 'a'), false},
        {testing::repeated(32759, "\xd0\x96"), true},
        {testing::repeated(16380, "\xf0\x9f\x98\x80"), false}};  // two units each
#else
    const std::pair<std::string, bool> lengths[] = {{std::string(4095, 'a'), true},
                                                    {std::string(4096, 'a'), false},
                                                    {std::string(300, 'a'), true}};
#endif
    for (const auto& [path, named] : lengths) {
        SCOPED_TRACE(path.size());
        EXPECT_EQ(systemCanName(path), named);
    }
}

}  // namespace tarvo
